// The subcommands of tessarel-cli register themselves here; each lives in its
// own cmd_*.cpp file. Parsing is CLI11's; the checks of the values and of the
// output are shared here.
#pragma once

#include "app/surfaceoptions.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace cli {

// Bad usage: main prints "tessarel-cli COMMAND: MESSAGE" and exits 2.
using surfaceoptions::UsageError;

// Exit statuses besides 0 and 2 (bad usage).
inline constexpr int ExitOutputFailed = 1;
inline constexpr int ExitMathError = 3;

// A subcommand: setup adds its options to the subcommand's app (binding them
// to its own state) and returns what runs once the command line is parsed.
struct Command {
    std::string name;
    std::string summary;
    std::function<std::function<int()>(CLI::App& sub)> setup;
};

struct Registrar {
    explicit Registrar(Command command);
};
const std::vector<Command>& Commands();

// A finite number; option names the option (or line) in the message.
double ParseDouble(const std::string& option, const std::string& text);
// "RE,IM" as two finite numbers.
std::pair<double, double> ParsePair(const std::string& option, const std::string& text);

// Flushes standard output and reports on standard error when anything
// written to it was lost (a full disk): true when all arrived. A closed pipe
// ends the program by SIGPIPE before this, without a word.
bool StdoutArrived();
// Reports, once, that standard output was lost for the errno reason (0: an
// unknown one); returns false.
bool StdoutLost(int reason);

// Prints "error: MESSAGE" on standard error.
void ReportError(const std::string& message);

} // namespace cli
