// tessarel-cli: a headless companion of the window that evaluates formulas,
// prints sampled grids and renders pictures.
#include "cli/command.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace cli {

namespace {
std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}
} // namespace

Registrar::Registrar(Command command) {
    Registry().push_back(std::move(command));
}

const std::vector<Command>& Commands() {
    return Registry();
}

double ParseDouble(const std::string& text) {
    if (text.empty()) throw UsageError("not a number: ''");
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || std::isnan(v))
        throw UsageError("not a number: '" + text + "'");
    return v;
}

std::pair<double, double> ParsePair(const std::string& text) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) throw UsageError("expected two numbers A,B: '" + text + "'");
    return {ParseDouble(text.substr(0, comma)), ParseDouble(text.substr(comma + 1))};
}

OptionReader::OptionReader(const Args& args, std::vector<std::string> flags,
                           std::vector<std::string> valued) {
    auto contains = [](const std::vector<std::string>& v, const std::string& s) {
        for (const auto& x : v)
            if (x == s) return true;
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.rfind("--", 0) == 0) {
            if (contains(flags, a)) {
                m_options.emplace_back(a, "");
            } else if (contains(valued, a)) {
                if (i + 1 >= args.size()) throw UsageError("missing value after " + a);
                m_options.emplace_back(a, args[++i]);
            } else {
                throw UsageError("unknown option " + a);
            }
        } else {
            m_positional.push_back(a);
        }
    }
}

bool OptionReader::Has(const std::string& name) const {
    return Value(name) != nullptr;
}

const std::string* OptionReader::Value(const std::string& name) const {
    const std::string* found = nullptr;
    for (const auto& [k, v] : m_options)
        if (k == name) found = &v; // the last occurrence wins
    return found;
}

} // namespace cli

namespace {

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "usage: tessarel-cli COMMAND [OPTIONS]\n\ncommands:\n");
    for (const auto& c : cli::Commands())
        std::fprintf(out, "  %-64s %s\n", c.usage.c_str(), c.summary.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintHelp(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(stdout);
        return 0;
    }
    for (const auto& c : cli::Commands()) {
        if (c.name != name) continue;
        try {
            return c.run(cli::Args(argv + 2, argv + argc));
        } catch (const cli::UsageError& e) {
            std::fprintf(stderr, "usage: tessarel-cli %s (%s)\n", c.usage.c_str(), e.what());
            return 2;
        }
    }
    std::fprintf(stderr, "usage: tessarel-cli COMMAND ... (unknown command '%s'; see --help)\n",
                 name.c_str());
    return 2;
}
