// The subcommands of tessarel-cli register themselves here; each lives in its
// own cmd_*.cpp file.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

struct Command {
    std::string name;
    std::string usage;                   // one line: "eval [--raw] [--q Q] [--z RE,IM] FORMULA"
    std::string summary;                 // what it does, a few words
    std::function<int(const Args&)> run; // arguments after the subcommand name
};

// Bad usage: main prints "usage: tessarel-cli <the command's usage>" and exits 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Registrar {
    explicit Registrar(Command command);
};
const std::vector<Command>& Commands();

// Strict number parsing: the whole text must be a number ("1e3", "-4", "0.5").
double ParseDouble(const std::string& text);
// "RE,IM" as two numbers.
std::pair<double, double> ParsePair(const std::string& text);

// A small option reader: flags and options with a value taken as it stands,
// even when it starts with "-"; everything else is positional.
class OptionReader {
  public:
    OptionReader(const Args& args, std::vector<std::string> flags, std::vector<std::string> valued);
    bool Has(const std::string& name) const;
    const std::string* Value(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return m_positional; }

  private:
    std::vector<std::pair<std::string, std::string>> m_options;
    std::vector<std::string> m_positional;
};

} // namespace cli
