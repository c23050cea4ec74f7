// The steps of the complex formula language: the operators, the functions by
// keyword position, the modulus bars and the final overflow test.
#include "complexformula/operations.h"
#include "complexformula/higherfunctions.h"
#include "complexformula/parser.h"
#include "complexformula/zeta.h"

#include "runtime/fpu.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace cformula {

namespace {

constexpr Ext kProductLimit = 1e30L; // real parts at or above it make a product fail
constexpr Ext kTrigLimit = 120;      // SIN, COS, COSH, SINH give 0 beyond it

enum FunctionPosition : int {
    kSQR = 1,
    kSQRT = 5,
    kEXP = 10,
    kLN = 14,
    kABS = 17,
    kSIN = 21,
    kCOS = 25,
    kTAN = 29,
    kCOSH = 33,
    kSINH = 38,
    kTANH = 43,
    kGAMMA = 48,
    kBI0 = 54,
    kBJ0 = 58,
    kSEC = 62,
    kCSC = 66,
    kCOT = 70,
    kDN = 74,
    kSN = 77,
    kCN = 80,
    kRIEMANN = 83,
    kTRE = 91,
    kTIM = 95,
    kCOTH = 99,
    kEI = 104,
    kDIGAMMA = 107,
    kRE = 115,
    kIM = 118,
    kARG = 121,
    kCONJ = 125,
    kZETA = 130,
};

// The whole name stands at position k of the list, and the lookup finds it
// there: an original name as the first substring that matches, an added one
// where the original names select no function.
constexpr bool NameAt(std::string_view name, int k) {
    const auto start = static_cast<std::size_t>(k) - 1;
    const std::size_t end = start + name.size();
    const std::size_t original = ComplexOriginalKeywords.find(name) + 1;
    return IsFunctionPosition(k) && ComplexKeywordList.substr(start, name.size()) == name &&
           (end == ComplexKeywordList.size() || ComplexKeywordList[end] == ' ') &&
           (start < ComplexOriginalKeywordsSize ? original == static_cast<std::size_t>(k)
                                                : !IsFunctionPosition(static_cast<int>(original)));
}
static_assert(NameAt("SQR", kSQR) && NameAt("SQRT", kSQRT) && NameAt("EXP", kEXP) &&
              NameAt("LN", kLN) && NameAt("ABS", kABS) && NameAt("SIN", kSIN) &&
              NameAt("COS", kCOS) && NameAt("TAN", kTAN) && NameAt("COSH", kCOSH) &&
              NameAt("SINH", kSINH) && NameAt("TANH", kTANH) && NameAt("GAMMA", kGAMMA) &&
              NameAt("BI0", kBI0) && NameAt("BJ0", kBJ0) && NameAt("SEC", kSEC) &&
              NameAt("CSC", kCSC) && NameAt("COT", kCOT) && NameAt("DN", kDN) &&
              NameAt("SN", kSN) && NameAt("CN", kCN) && NameAt("RIEMANN", kRIEMANN) &&
              NameAt("TRE", kTRE) && NameAt("TIM", kTIM) && NameAt("COTH", kCOTH) &&
              NameAt("EI", kEI) && NameAt("DIGAMMA", kDIGAMMA) && NameAt("RE", kRE) &&
              NameAt("IM", kIM) && NameAt("ARG", kARG) && NameAt("CONJ", kCONJ) &&
              NameAt("ZETA", kZETA));

ComplexRec ToRec(const Complex& w) {
    return MakeComplex(cfRectangular, static_cast<double>(w.re), static_cast<double>(w.im));
}

Complex Widen(ComplexRec r) {
    return Complex{r.A, r.B};
}

template <Faults F>
void Check() {
    if constexpr (F == Faults::Checked) CheckFault();
}

template <Faults F>
ComplexRec ToCheckedRec(const Complex& w) {
    ComplexRec r = ToRec(w);
    rt::Settle(r);
    Check<F>(); // a part too large for a double
    return r;
}

template <Faults F>
Complex Via(ComplexRec (*operation)(ComplexRec), const Complex& w) {
    return Widen(operation(ToCheckedRec<F>(w)));
}

bool IsZero(const Complex& w) {
    return w.re == 0 && w.im == 0;
}

// DN, SN and CN, in extended precision, with the modulus kept within 0..1.
JacobiComplexTriple JacobiOf(Complex w) {
    double k = JacobiModulus;
    if (k < 0) k = 0;
    if (k > 1) k = 1;
    return JacobiComplex(w, k);
}

// EXP is the one function whose faults are caught: anything raised while its
// value is computed or stored gives the substitute (1e5, 0) with status 4.
// Faults raised earlier in the same evaluation are kept.
Complex GuardedExp(Complex w, std::uint8_t& status) {
    rt::ProtectedRegion region;
    rt::Settle(w);
    Complex v = Widen(CExp(ToRec(w))); // unchecked: the region catches all
    rt::Settle(v);
    if (!region.Faulted()) return v;
    status = 4;
    return Complex{1e5L, 0};
}

// GAMMA and DIGAMMA at 0, -1, -2, ... and EI at 0: a value too large for any
// number, given as the final overflow test gives one, with its status.
Complex TooLarge(std::uint8_t& status) {
    status = 4;
    return Complex{1e30L, 0};
}

template <Faults F>
Complex Gamma(const Complex& w, std::uint8_t& status) {
    const ComplexRec r = ToCheckedRec<F>(w);
    return IsGammaPole(r.A, r.B) ? TooLarge(status) : Widen(CGamma(r));
}

template <Faults F>
Complex Digamma(const Complex& w, std::uint8_t& status) {
    const ComplexRec r = ToCheckedRec<F>(w);
    if (IsGammaPole(r.A, r.B)) return TooLarge(status);
    double re = 0;
    double im = 0;
    DigammaComplex(r.A, r.B, re, im);
    return Complex{re, im};
}

template <Faults F>
Complex ExpIntegral(const Complex& w, std::uint8_t& status) {
    const ComplexRec r = ToCheckedRec<F>(w);
    if (r.A == 0 && r.B == 0) return TooLarge(status);
    double re = 0;
    double im = 0;
    ExpIntegralE1(r.A, r.B, re, im);
    return Complex{re, im};
}

// arg w in (-pi, pi], by the arithmetic's rule: pi on the negative real axis,
// also with -0 as imaginary part; 0 at 0.
Complex Argument(const Complex& w) {
    if (IsZero(w)) return Complex{};
    if (w.im == 0 && w.re < 0) return Complex{kPi, 0};
    return Complex{std::atan2(w.im, w.re), 0};
}

// The pole and the values beyond the extended range are too large; far up
// the plane the value is not computed: a domain error, with 0.
Complex Zeta(const Complex& w, std::uint8_t& status) {
    const ZetaValue v = RiemannZeta(w);
    switch (v.kind) {
    case ZetaValue::TooLarge:
        return TooLarge(status);
    case ZetaValue::TooHigh:
        status = 2;
        return Complex{};
    default:
        return v.value;
    }
}

bool BeyondTrigLimit(const Complex& w) {
    return std::fabs(w.re) >= kTrigLimit || std::fabs(w.im) >= kTrigLimit;
}

template <Faults F>
Complex ComputeFunction(int k, const Complex& w, std::uint8_t& status) {
    switch (k) {
    case kSQR:
        if (IsZero(w)) return Complex{};
        if (std::fabs(w.re) < kProductLimit)
            return Complex{w.re * w.re - w.im * w.im, 2 * w.re * w.im};
        status = 2;
        return Complex{1e20L, 0};
    case kSQRT:
        return Widen(CRoot(ToRec(w), 0, 2));
    case kEXP:
        return GuardedExp(w, status);
    case kLN: {
        if (IsZero(w)) {
            status = 2;
            return Complex{};
        }
        Ext phi;
        if (w.im == 0 && w.re < 0)
            phi = kPi; // the principal value, also with -0 as imaginary part
        else if (w.re != 0)
            phi = std::atan2(w.im, w.re);
        else
            phi = w.im < 0 ? -kPi / 2 : kPi / 2;
        return Complex{std::log(w.re * w.re + w.im * w.im) / 2, phi};
    }
    case kABS:
        return Complex{std::sqrt(w.re * w.re + w.im * w.im), 0};
    case kSIN:
        return BeyondTrigLimit(w) ? Complex{} : Via<F>(CSin, w);
    case kCOS:
        return BeyondTrigLimit(w) ? Complex{} : Via<F>(CCos, w);
    case kCOSH:
        return BeyondTrigLimit(w) ? Complex{} : Via<F>(CCosh, w);
    case kSINH:
        return BeyondTrigLimit(w) ? Complex{} : Via<F>(CSinh, w);
    case kTAN:
        return Via<F>(CTan, w);
    case kTANH:
        return Via<F>(CTanh, w);
    case kSEC:
        return Via<F>(CSec, w);
    case kCSC:
        return IsZero(w) ? Complex{} : Via<F>(CCsc, w);
    case kCOT:
        return IsZero(w) ? Complex{} : Via<F>(CCot, w);
    case kTRE:
    case kRE:
        return Complex{w.re, 0};
    case kTIM:
    case kIM:
        return Complex{0, w.im};
    case kARG:
        return Argument(w);
    case kCONJ:
        return Complex{w.re, -w.im};
    case kCOTH:
        return Via<F>(CCoth, w);

    case kGAMMA:
        return Gamma<F>(w, status);
    case kBI0:
        return Via<F>(CBesselI0, w);
    case kBJ0:
        return Via<F>(CBesselJ0, w);
    case kDN:
        return JacobiOf(w).dn;
    case kSN:
        return JacobiOf(w).sn;
    case kCN:
        return JacobiOf(w).cn;
    case kRIEMANN:
        return ZetaPartialSum(w);
    case kEI: // on the argument rounded to double, as DIGAMMA
        return ExpIntegral<F>(w, status);
    case kDIGAMMA:
        return Digamma<F>(w, status);
    case kZETA:
        return Zeta(w, status);

    default:
        status = 1;
        return Complex{};
    }
}

} // namespace

void CheckFault() {
    rt::ThrowPendingFault();
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsPlainDecimal(std::string_view token) {
    return std::ranges::count(token, '.') <= 1 && std::ranges::any_of(token, IsDigit) &&
           std::ranges::all_of(token, [](char c) { return IsDigit(c) || c == '.'; });
}

// The decimal exponent of a plain decimal's leading digit, plus one: 3 for
// 123.4, 0 for 0.5, -1 for 0.0123; a number without a nonzero digit counts as
// too small.
long DecimalMagnitude(std::string_view mantissa) {
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return std::numeric_limits<long>::min() / 2;
    return first < point ? static_cast<long>(point - first) : -static_cast<long>(first - point - 1);
}

// The exponent's value, held within +-10^6 (far beyond the extended range).
long ExponentValue(std::string_view exponent) {
    const bool negative = exponent.starts_with('-');
    long value = 0;
    for (const char c : exponent)
        if (IsDigit(c) && value < 1000000) value = value * 10 + (c - '0');
    return negative ? -value : value;
}

} // namespace

Ext DecimalToExtended(std::string_view token) {
    rt::ProtectedRegion quiet;
    const std::size_t e = token.find('E');
    const std::string_view mantissa = token.substr(0, e);
    const long exponent = e == std::string_view::npos ? 0 : ExponentValue(token.substr(e + 1));
    Ext value = 0;
    const auto format =
        e == std::string_view::npos ? std::chars_format::fixed : std::chars_format::general;
    const auto [end, ec] =
        std::from_chars(token.data(), token.data() + token.size(), value, format);
    (void)end;
    if (ec == std::errc::invalid_argument) return 0;
    if (ec == std::errc::result_out_of_range)
        return DecimalMagnitude(mantissa) + exponent > 0 ? HUGE_VALL : 0;
    return value;
}

std::size_t ExponentLength(std::string_view token, std::string_view rest) {
    if (!IsPlainDecimal(token) || !rest.starts_with('E')) return 0;
    std::size_t n = 1;
    if (n < rest.size() && (rest[n] == '+' || rest[n] == '-')) ++n;
    const std::size_t digits = n;
    while (n < rest.size() && IsDigit(rest[n])) ++n;
    return n > digits ? n : 0;
}

template <Faults F>
Complex ApplyOperatorAs(const Complex& left, const Complex& right, unsigned char op,
                        std::uint8_t& status) {
    // Both operands enter the arithmetic as doubles, whatever the operator.
    const ComplexRec a = ToCheckedRec<F>(left);
    const ComplexRec b = ToCheckedRec<F>(right);
    switch (op) {
    case '+':
        return Widen(CAdd(a, b));
    case '-':
        return Widen(CSub(a, b));
    case '*':
    case kMiddleDot:
        // Only the real parts are tested.
        if (std::fabs(left.re) < kProductLimit && std::fabs(right.re) < kProductLimit)
            return Widen(CMul(a, b));
        status = 2;
        return Complex{1e10L, 0};
    case '/':
        if (b.A == 0 && b.B == 0) { // the modulus, not rounded
            status = 2;
            return Complex{1e10L, 0};
        }
        return Widen(CDiv(a, b));
    case '^':
        // After a domain error or an overflow every power is 0.
        if (status == 2 || status == 4) {
            status = 2;
            return Complex{};
        }
        if (IsZero(right)) return Complex{1, 0};
        return Widen(CPower(a, b));
    default: // "#", "&", "<", ">", "%", "~" and "\" compute nothing
        return Complex{};
    }
}

Complex ApplyOperator(Complex left, Complex right, unsigned char op, std::uint8_t& status) {
    return ApplyOperatorAs<Faults::Checked>(left, right, op, status);
}

template <Faults F>
Complex OperatorStep(const Complex& left, const Complex& right, unsigned char op,
                     std::uint8_t& status) {
    Complex v = ApplyOperatorAs<F>(left, right, op, status);
    rt::Settle(v);
    Check<F>();
    return v;
}

template <Faults F>
Complex FunctionStep(int k, const Complex& w, std::uint8_t& status) {
    Complex v = ComputeFunction<F>(k, w, status);
    rt::Settle(v);
    Check<F>();
    return v;
}

template Complex OperatorStep<Faults::Checked>(const Complex&, const Complex&, unsigned char,
                                               std::uint8_t&);
template Complex OperatorStep<Faults::Deferred>(const Complex&, const Complex&, unsigned char,
                                                std::uint8_t&);
template Complex FunctionStep<Faults::Checked>(int, const Complex&, std::uint8_t&);
template Complex FunctionStep<Faults::Deferred>(int, const Complex&, std::uint8_t&);

Complex Modulus(Complex w) {
    return Complex{std::sqrt(w.re * w.re + w.im * w.im), 0};
}

Complex FinalValue(Complex v, bool tooDeep, std::uint8_t& status) {
    if (tooDeep) status = 1;
    // The final overflow test; a NaN fails it (quietly), and so does a part
    // too large to be squared in extended.
    Complex result = v;
    const Ext partLimit = std::sqrt(ComplexLimit);
    const bool within = std::islessequal(std::fabs(v.re), partLimit) &&
                        std::islessequal(std::fabs(v.im), partLimit) &&
                        std::islessequal(v.re * v.re + v.im * v.im, ComplexLimit);
    if (!within) {
        result = Complex{1e30L, 0};
        status = 4;
    }
    // A fault that no rule caught leaves the call as rt::EMathError.
    rt::Settle(result);
    rt::ThrowPendingFault();
    return result;
}

// Parser character classes and the name lookup, shared by every reading.

int OperatorLevel(unsigned char c) {
    switch (c) {
    case '+':
    case '-':
    case '#':
    case '&':
    case '<':
    case '>':
        return 1;
    case '*':
    case '/':
    case '%':
    case '~':
    case kMiddleDot:
        return 2;
    case '^':
    case '\\':
        return 3;
    case ')':
    case ']':
    case '|':
        return 0;
    default:
        return -1;
    }
}

bool IsNumberChar(unsigned char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == 'i' || c == kSmallEAcute;
}

bool StartsFunction(unsigned char c) {
    return (c >= 'A' && c <= 'H') || (c >= 'L' && c <= 'O') || (c >= 'R' && c <= 'T') || c == 'V' ||
           c == 'W';
}

namespace {

// The position of the added name that is exactly name, 0 when there is none.
int LookupAddedName(std::string_view name) {
    std::size_t start = ComplexOriginalKeywordsSize + 1;
    while (start < ComplexKeywordList.size()) {
        const std::size_t end =
            std::min(ComplexKeywordList.find(' ', start), ComplexKeywordList.size());
        if (ComplexKeywordList.substr(start, end - start) == name)
            return static_cast<int>(start) + 1;
        start = end + 1;
    }
    return 0;
}

std::string_view NameFrom(std::string_view text, std::size_t pos) {
    const std::size_t start = pos - 1; // 0-based
    const std::size_t end = std::min(text.find('(', start), text.size());
    return text.substr(start, end - start);
}

} // namespace

bool StartsCall(std::string_view text, std::size_t pos) {
    if (pos < 1 || pos > text.size()) return false;
    const auto c = static_cast<unsigned char>(text[pos - 1]);
    return StartsFunction(c) ||
           ((c == 'I' || c == 'Z') && LookupAddedName(NameFrom(text, pos)) != 0);
}

int LookupName(std::string_view text, std::size_t pos, std::size_t& next) {
    const std::string_view name = NameFrom(text, pos);
    const std::size_t open = pos - 1 + name.size();
    next = (open < text.size() ? open + 1 : text.size()) + 1;
    const std::size_t found = ComplexOriginalKeywords.find(name);
    const int k = found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
    if (IsFunctionPosition(k)) return k;
    const int added = LookupAddedName(name);
    return added != 0 ? added : k;
}

} // namespace cformula
