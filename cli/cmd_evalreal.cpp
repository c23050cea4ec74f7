// tessarel-cli evalreal: the value and status of a real formula, as the
// interval fields compute it.
#include "cli/command.h"
#include "realformula/interpreter.h"
#include "text/cp1252.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

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
// The module state carries over from line to line, as in the program. Output
// that cannot be written ends the batch.
int RunBatch(double x, double q, bool raw) {
    std::string line;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        const std::string where = "line " + std::to_string(number);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> fields = Fields(line);
        if (fields.size() > 3) throw cli::UsageError(where + ": more than three fields");
        if (fields[0].size() > surfaceoptions::MaxFormulaLength)
            throw cli::UsageError(where + ": formula longer than " +
                                  std::to_string(surfaceoptions::MaxFormulaLength) + " characters");
        const double lineX = fields.size() > 1 ? cli::ParseDouble(where + ": X", fields[1]) : x;
        ParamQ = fields.size() > 2 ? cli::ParseDouble(where + ": Q", fields[2]) : q;
        PrintResult(fields[0], lineX, raw);
        if (!cli::StdoutArrived()) return cli::ExitOutputFailed;
    }
    return 0;
}

struct Options {
    bool raw = false;
    bool batch = false;
    std::string x, q, p;
    std::vector<std::string> formula;
};

int Run(const CLI::App& app, const Options& o) {
    const double x = app.count("--x") ? cli::ParseDouble("--x", o.x) : 1.0;
    const double q = app.count("--q") ? cli::ParseDouble("--q", o.q) : 0.0;
    ParamQ = q;
    if (app.count("--p")) ParamP = cli::ParseDouble("--p", o.p);
    const auto formulas = surfaceoptions::FormulaArguments(app, o.formula);
    if (o.batch) {
        if (!formulas.empty()) throw cli::UsageError("FORMULA: none with --batch");
        return RunBatch(x, q, o.raw);
    }
    if (formulas.size() != 1) throw cli::UsageError("FORMULA: expected one");
    if (formulas[0].size() > surfaceoptions::MaxFormulaLength)
        throw cli::UsageError("FORMULA: longer than " +
                              std::to_string(surfaceoptions::MaxFormulaLength) + " characters");
    PrintResult(formulas[0], x, o.raw);
    return 0;
}

std::function<int()> Setup(CLI::App& app) {
    auto o = std::make_shared<Options>();
    app.allow_extras();
    surfaceoptions::AddFormulaOption(app, o->formula,
                                     "real formula in X, Q and P, as the interval fields take");
    app.add_flag("--raw", o->raw, "take the formula as typed: no upper-casing, \",\" stays");
    app.add_flag("--batch", o->batch,
                 "read lines FORMULA[<TAB>X[<TAB>Q]] from standard input, one result line each");
    app.add_option("--x", o->x, "the variable X (default 1)")->type_name("X");
    app.add_option("--q", o->q, "the parameter Q (default 0)")->type_name("Q");
    app.add_option("--p", o->p, "the parameter P before the formula runs")->type_name("P");
    app.footer("Prints the value and the status (0 ok; 1 syntax, 2 domain, 4 too large, ...).");
    return [&app, o] { return Run(app, *o); };
}

const cli::Registrar registrar({"evalreal", "value and status of a real formula (interval fields)",
                                Setup});

} // namespace
