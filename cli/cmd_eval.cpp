// tessarel-cli eval: the value of a complex formula at one point, or at many
// points read from standard input.
#include "cli/command.h"
#include "complexformula/compiled.h"
#include "complexformula/interpreter.h"
#include "runtime/fpu.h"
#include "text/cp1252.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const kUsage = "eval [--raw] [--batch] [--q Q] [--z RE,IM] FORMULA";

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
// goes on. A malformed line is bad usage and ends the batch.
int RunBatch(bool raw) {
    std::string line;
    std::size_t number = 0;
    while (std::getline(std::cin, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto fields = SplitTabs(line);
        if (fields.size() < 3 || fields.size() > 4)
            throw cli::UsageError("line " + std::to_string(number) +
                                  ": expected FORMULA<TAB>RE<TAB>IM<TAB>Q");
        const double re = cli::ParseDouble(fields[1]);
        const double im = cli::ParseDouble(fields[2]);
        const double q = fields.size() == 4 && !fields[3].empty() ? cli::ParseDouble(fields[3]) : 0;
        std::string out;
        Evaluate(FormulaBytes(fields[0], raw), Complex{re, im}, q, out);
        std::printf("%s\n", out.c_str());
        std::fflush(stdout);
    }
    return 0;
}

int Run(const cli::Args& args) {
    const cli::OptionReader options(args, {"--raw", "--batch"}, {"--q", "--z"});
    const bool raw = options.Has("--raw");
    if (options.Has("--batch")) {
        if (!options.Positional().empty())
            throw cli::UsageError("--batch reads its formulas from standard input");
        if (options.Has("--q") || options.Has("--z"))
            throw cli::UsageError("--batch takes Z and Q from each line");
        return RunBatch(raw);
    }
    if (options.Positional().empty()) throw cli::UsageError("missing formula");
    if (options.Positional().size() > 1) throw cli::UsageError("one formula only (quote it)");
    double q = 0;
    if (const std::string* value = options.Value("--q")) q = cli::ParseDouble(*value);
    Complex z;
    if (const std::string* value = options.Value("--z")) {
        const auto [re, im] = cli::ParsePair(*value);
        z = Complex{re, im};
    }
    std::string out;
    if (!Evaluate(FormulaBytes(options.Positional().front(), raw), z, q, out)) {
        std::fprintf(stderr, "%s\n", out.c_str());
        return 3;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}

const cli::Registrar kEval{
    cli::Command{"eval", kUsage, "value and status of a complex formula F(Z)", Run}};

} // namespace
