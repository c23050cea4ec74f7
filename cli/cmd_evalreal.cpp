// tessarel-cli evalreal: the value and status of a real formula, as the
// interval fields compute it.
#include "text/cp1252.h"
#include "cli/command.h"
#include "realformula/interpreter.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "evalreal [--raw] [--x X] [--q Q] [--p P] (FORMULA | --batch)";

// The preparation of an interval field: upper case a..z, decimal comma to point.
std::string Prepare(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c == ',')
            c = '.';
    }
    return text;
}

void PrintResult(const std::string& utf8, double x, bool raw) {
    std::string text = text::Utf8ToCp1252(utf8);
    if (!raw) text = Prepare(std::move(text));
    const double value = EvalReal(text, x);
    std::printf("%.17g %u\n", value, static_cast<unsigned>(RealStatus));
}

// Splits a batch line at its tabs.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// Lines FORMULA<TAB>X<TAB>Q; a missing X or Q takes the value of the options.
// The module state carries over from line to line, as in the program.
int RunBatch(double x, double q, bool raw) {
    std::string line;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> fields = Fields(line);
        if (fields.size() > 3)
            throw cli::UsageError("line " + std::to_string(number) + ": more than three fields");
        try {
            const double lineX = fields.size() > 1 ? cli::ParseDouble(fields[1]) : x;
            ParamQ = fields.size() > 2 ? cli::ParseDouble(fields[2]) : q;
            PrintResult(fields[0], lineX, raw);
        } catch (const cli::UsageError& e) {
            throw cli::UsageError("line " + std::to_string(number) + ": " + e.what());
        }
        std::fflush(stdout);
    }
    return 0;
}

int Run(const cli::Args& args) {
    const cli::OptionReader options(args, {"--raw", "--batch"}, {"--x", "--q", "--p"});
    const bool raw = options.Has("--raw");
    const double x = options.Has("--x") ? cli::ParseDouble(*options.Value("--x")) : 1.0;
    const double q = options.Has("--q") ? cli::ParseDouble(*options.Value("--q")) : 0.0;
    ParamQ = q;
    if (options.Has("--p")) ParamP = cli::ParseDouble(*options.Value("--p"));
    if (options.Has("--batch")) {
        if (!options.Positional().empty()) throw cli::UsageError("no FORMULA with --batch");
        return RunBatch(x, q, raw);
    }
    if (options.Positional().size() != 1) throw cli::UsageError("expected one FORMULA");
    PrintResult(options.Positional().front(), x, raw);
    return 0;
}

const cli::Registrar registrar({"evalreal", kUsage,
                                "value and status of a real formula (interval fields)", Run});

} // namespace
