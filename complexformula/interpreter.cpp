// The complex interpreter: the module state, the preparation of the text, and
// EvalComplex, which reads the text once and computes each step as it reads.
#include "complexformula/interpreter.h"
#include "complexformula/operations.h"
#include "complexformula/parser.h"

#include "runtime/fpu.h"

#include <algorithm>
#include <vector>

std::uint8_t ComplexStatus = 0;
Complex ComplexParamQ{};
Complex ComplexParamP{};

const long double ComplexLimit = 1e30L;
const double JacobiModulus = 0.2;

namespace {

// Computes each step as soon as it is read.
struct Computing {
    using Value = Complex;
    Complex Z;
    CEvalState& State;

    Complex Number(long double x) { return Complex{x, 0}; }
    Complex Constant(Complex c) { return c; }
    Complex Variable(char name) { return name == 'Z' ? Z : name == 'Q' ? State.Q : State.P; }
    Complex Zero() { return Complex{}; }
    void SyntaxError() { State.Status = 1; }
    Complex Negate(Complex v) { return Complex{-v.re, -v.im}; }
    Complex Modulus(Complex w) { return cformula::Modulus(w); }
    Complex Apply(Complex left, Complex right, unsigned char op) {
        return cformula::OperatorStep<cformula::Faults::Checked>(left, right, op, State.Status);
    }
    Complex Call(int k, Complex w) {
        return cformula::FunctionStep<cformula::Faults::Checked>(k, w, State.Status);
    }
    Complex Check(Complex v) {
        rt::Settle(v);
        cformula::CheckFault();
        return v;
    }
};

// Reads without computing: the reading takes the same path whatever the values.
struct Tracing {
    using Value = int;
    int Number(long double) { return 0; }
    int Constant(Complex) { return 0; }
    int Variable(char) { return 0; }
    int Zero() { return 0; }
    void SyntaxError() {}
    int Negate(int) { return 0; }
    int Modulus(int) { return 0; }
    int Apply(int, int, unsigned char) { return 0; }
    int Call(int, int) { return 0; }
    int Check(int) { return 0; }
};

} // namespace

CSyntaxReport CheckComplexSyntax(const std::string& text) {
    if (text.empty()) return {CSyntaxReport::Error, 1};
    const std::string prepared = CPrepareText(text);
    // The preparation only turns "," into "." and inserts a "0" after "(" when
    // a "-" follows, then cuts the tail; origin[k] is the position in text of
    // prepared character k + 1 (an inserted "0" counts as the "-" after it).
    std::vector<std::size_t> origin(prepared.size() + 1);
    std::size_t from = 0;
    for (std::size_t k = 0; k < prepared.size(); ++k) {
        origin[k] = from + 1;
        const char original = text[from] == ',' ? '.' : text[from];
        if (!(prepared[k] == '0' && original == '-')) ++from;
    }
    origin[prepared.size()] = from + 1;
    const auto inText = [&](std::size_t pos) {
        return pos == 0 ? 0 : origin[std::min(pos, prepared.size() + 1) - 1];
    };

    Tracing tracing;
    cformula::CReader<Tracing> reader(prepared, tracing);
    reader.Read();
    if (reader.ErrorPosition() != 0) return {CSyntaxReport::Error, inText(reader.ErrorPosition())};
    const std::size_t readUpTo = inText(reader.ReadUpTo());
    if (readUpTo <= text.size()) return {CSyntaxReport::Unread, readUpTo};
    if (reader.UnclosedPosition() != 0)
        return {CSyntaxReport::Unclosed, inText(reader.UnclosedPosition())};
    return {};
}

std::string CPrepareText(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    // A minus right after "(" becomes a subtraction from 0; the text after each
    // such place is cut to 255 characters. The text before the first "(-" never
    // holds another, so the search goes on from there.
    constexpr std::size_t kTailLimit = 255;
    std::size_t from = 0;
    for (;;) {
        const std::size_t p = text.find("(-", from);
        if (p == std::string::npos) break;
        if (text.size() > p + 1 + kTailLimit) text.resize(p + 1 + kTailLimit);
        text.insert(p + 1, 1, '0');
        from = p + 1;
    }
    return text;
}

Complex CApplyOperator(Complex left, Complex right, char op) {
    return cformula::ApplyOperator(left, right, static_cast<unsigned char>(op), ComplexStatus);
}

Complex EvalComplex(const std::string& text, Complex z, CEvalState& state) {
    rt::ClearFaults();
    if (text.empty()) {
        state.Status = 1;
        return Complex{};
    }
    const std::string prepared = CPrepareText(text);
    state.Status = 0;
    Computing computing{z, state};
    cformula::CReader<Computing> reader(prepared, computing);
    const Complex v = reader.Read();
    return cformula::FinalValue(v, reader.TooDeep(), state.Status);
}

Complex EvalComplex(const std::string& text, Complex z) {
    cformula::ModuleState module;
    return EvalComplex(text, z, module.State);
}
