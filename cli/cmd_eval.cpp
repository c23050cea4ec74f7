// tessarel-cli eval: the value of a complex formula at one point, or at many
// points read from standard input.
#include "cli/command.h"
#include "complexformula/compiled.h"
#include "complexformula/interpreter.h"
#include "runtime/fpu.h"

#include "text/cp1252.h"
#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

// One part with 21 significant digits; infinities and NaN by name.
std::string FormatPart(long double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", v);
    return buffer;
}

std::string FormatResult(Complex v, unsigned status) {
    return FormatPart(v.re) + " " + FormatPart(v.im) + " " + std::to_string(status);
}

// The formula as the window's formula line would hand it over.
std::string FormulaBytes(const std::string& utf8, bool raw) {
    std::string text = text::Utf8ToCp1252(utf8);
    return raw ? text : text::UpperCase1252(text);
}

// Evaluates one formula; the line to print, or "error: MESSAGE" when a
// floating-point fault escaped.
bool Evaluate(const std::string& formula, Complex z, double q, std::string& line) {
    ComplexParamQ.re = q;
    try {
        const Complex v = CompiledFormula(formula).Eval(z);
        line = FormatResult(v, ComplexStatus);
        return true;
    } catch (const rt::EMathError& e) {
        line = std::string("error: ") + e.what();
        return false;
    }
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return fields;
}

// Lines FORMULA<TAB>RE<TAB>IM[<TAB>Q]; an empty or missing Q is 0. One output
// line per input line; an escaped fault is reported on its line and the batch
// goes on. A malformed line is bad usage and ends the batch, and so does
// output that cannot be written.
int RunBatch(bool raw) {
    std::string line;
    std::size_t number = 0;
    while (std::getline(std::cin, line)) {
        ++number;
        const std::string where = "line " + std::to_string(number);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto fields = SplitTabs(line);
        if (fields.size() < 3 || fields.size() > 4)
            throw cli::UsageError(where + ": expected FORMULA<TAB>RE<TAB>IM<TAB>Q");
        if (fields[0].size() > surfaceoptions::MaxFormulaLength)
            throw cli::UsageError(where + ": formula longer than " +
                                  std::to_string(surfaceoptions::MaxFormulaLength) + " characters");
        const double re = cli::ParseDouble(where + ": RE", fields[1]);
        const double im = cli::ParseDouble(where + ": IM", fields[2]);
        const double q = fields.size() == 4 && !fields[3].empty()
                             ? cli::ParseDouble(where + ": Q", fields[3])
                             : 0;
        std::string out;
        Evaluate(FormulaBytes(fields[0], raw), Complex{re, im}, q, out);
        std::printf("%s\n", out.c_str());
        if (!cli::StdoutArrived()) return cli::ExitOutputFailed;
    }
    return 0;
}

struct Options {
    bool raw = false;
    bool batch = false;
    std::string q, z;
    std::vector<std::string> formula;
};

int Run(const CLI::App& app, const Options& o) {
    if (o.batch) {
        if (!surfaceoptions::FormulaArguments(app, o.formula).empty())
            throw cli::UsageError("--batch reads its formulas from standard input");
        if (app.count("--q") || app.count("--z"))
            throw cli::UsageError("--batch takes Z and Q from each line");
        return RunBatch(o.raw);
    }
    const auto formulas = surfaceoptions::FormulaArguments(app, o.formula);
    if (formulas.empty()) throw cli::UsageError("FORMULA: missing");
    if (formulas.size() > 1) throw cli::UsageError("FORMULA: one formula only (quote it)");
    if (formulas[0].size() > surfaceoptions::MaxFormulaLength)
        throw cli::UsageError("FORMULA: longer than " +
                              std::to_string(surfaceoptions::MaxFormulaLength) + " characters");
    const double q = app.count("--q") ? cli::ParseDouble("--q", o.q) : 0;
    Complex z;
    if (app.count("--z")) {
        const auto [re, im] = cli::ParsePair("--z", o.z);
        z = Complex{re, im};
    }
    std::string out;
    if (!Evaluate(FormulaBytes(formulas[0], o.raw), z, q, out)) {
        std::fprintf(stderr, "%s\n", out.c_str());
        return cli::ExitMathError;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}

std::function<int()> Setup(CLI::App& app) {
    auto o = std::make_shared<Options>();
    app.allow_extras();
    surfaceoptions::AddFormulaOption(app, o->formula,
                                     "complex formula F(Z); put -- before one that starts with -");
    app.add_flag("--raw", o->raw, "take the formula as typed, without upper-casing it");
    app.add_flag("--batch", o->batch,
                 "read lines FORMULA<TAB>RE<TAB>IM[<TAB>Q] from standard input, one result "
                 "line each");
    app.add_option("--q", o->q, "the parameter Q (default 0)")->type_name("Q");
    app.add_option("--z", o->z, "the point Z as RE,IM (default 0,0)")->type_name("RE,IM");
    app.footer("Prints the real part, the imaginary part and the status (0 ok, 1 syntax error,\n"
               "2 domain error, 4 value too large). An arithmetic error prints\n"
               "\"error: MESSAGE\" and exits with status 3; in a batch it stands on its line.");
    return [&app, o] { return Run(app, *o); };
}

const cli::Registrar kEval{
    cli::Command{"eval", "value and status of a complex formula F(Z)", Setup}};

} // namespace
