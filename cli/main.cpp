// tessarel-cli: a headless companion of the window that evaluates formulas,
// prints sampled grids and renders pictures and animations.
#include "cli/command.h"
#include "cli/progress.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>

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

double ParseDouble(const std::string& option, const std::string& text) {
    return surfaceoptions::ParseNumber(option, text);
}

std::pair<double, double> ParsePair(const std::string& option, const std::string& text) {
    return surfaceoptions::ParsePair(option, text);
}

namespace {
bool g_stdoutLost = false; // reported once
} // namespace

bool StdoutLost(int reason) {
    if (g_stdoutLost) return false;
    g_stdoutLost = true;
    std::fprintf(stderr, "error: cannot write standard output: %s\n",
                 std::strerror(reason != 0 ? reason : EIO));
    std::clearerr(stdout);
    return false;
}

bool StdoutArrived() {
    if (g_stdoutLost) return false;
    errno = 0;
    std::cout.flush();
    const bool arrived = std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good();
    return arrived || StdoutLost(errno);
}

void ReportError(const std::string& message) {
    ClearProgressLine();
    std::fprintf(stderr, "error: %s\n", message.c_str());
}

} // namespace cli

namespace {

// "tessarel-cli grid: MESSAGE; see tessarel-cli grid --help", on one line.
int UsageFailure(const CLI::App* command, const std::string& message) {
    const std::string name =
        command ? "tessarel-cli " + command->get_name() : std::string("tessarel-cli");
    std::fprintf(stderr, "%s: %s; see %s --help\n", name.c_str(), message.c_str(), name.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // A closed pipe ends the program quietly, as it ends other filters, also
    // where the caller has SIGPIPE ignored.
    std::signal(SIGPIPE, SIG_DFL);
    CLI::App app{"Evaluate, sample and render complex formulas F(Z) without a window.",
                 "tessarel-cli"};
    app.set_version_flag("--version", std::string("tessarel-cli ") + surfaceoptions::Version());
    app.require_subcommand(1, 1);
    app.footer("Exit status: 0 done, 1 output not written, 2 bad usage, 3 arithmetic error.");

    std::vector<std::pair<CLI::App*, std::function<int()>>> actions;
    for (const cli::Command& c : cli::Commands()) {
        CLI::App* sub = app.add_subcommand(c.name, c.summary);
        actions.emplace_back(sub, c.setup(*sub));
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        app.exit(e);
        return cli::StdoutArrived() ? 0 : cli::ExitOutputFailed;
    } catch (const CLI::CallForVersion& e) {
        app.exit(e);
        return cli::StdoutArrived() ? 0 : cli::ExitOutputFailed;
    } catch (const CLI::ParseError& e) {
        const auto chosen = app.get_subcommands();
        return UsageFailure(chosen.empty() ? nullptr : chosen.front(), e.what());
    }

    for (const auto& [sub, run] : actions) {
        if (!sub->parsed()) continue;
        try {
            const int status = run();
            // Whatever the command wrote must have arrived.
            return cli::StdoutArrived() ? status : cli::ExitOutputFailed;
        } catch (const cli::UsageError& e) {
            return UsageFailure(sub, e.what());
        }
    }
    return UsageFailure(nullptr, "no command");
}
