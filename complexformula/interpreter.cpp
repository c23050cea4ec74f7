#include "complexformula/interpreter.h"
#include "complexformula/higherfunctions.h"

#include "runtime/fpu.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

std::uint8_t ComplexStatus = 0;
Complex ComplexParamQ{};
Complex ComplexParamP{};

const long double ComplexLimit = 1e30L;
const double JacobiModulus = 0.2;

namespace {

using Ext = long double;

constexpr Ext kPi = 3.14159265358979323846264338327950288L;
constexpr Ext kE = 2.71828182845904523536028747135266250L;

constexpr unsigned char kMiddleDot = 0xB7;     // a second multiplication sign
constexpr unsigned char kCapitalEAcute = 0xC9; // Euler's number
constexpr unsigned char kSmallEAcute = 0xE9;   // tolerated inside numbers

constexpr Ext kProductLimit = 1e30L; // real parts at or above it make a product fail
constexpr Ext kTrigLimit = 120;      // SIN, COS, COSH, SINH give 0 beyond it

// Function names are found as substrings of this list; a function is known by
// the 1-based position of its name.
constexpr std::string_view ComplexKeywordList =
    "SQR SQRT EXP LN ABS SIN COS TAN COSH SINH TANH GAMMA BI0 BJ0 SEC CSC COT DN SN CN "
    "RIEMANN TRE TIM COTH EI DIGAMMA";
static_assert(ComplexKeywordList.size() == 113);

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
};

constexpr bool NameAt(std::string_view name, int k) {
    return ComplexKeywordList.find(name) + 1 == static_cast<std::size_t>(k);
}
static_assert(NameAt("SQR", kSQR) && NameAt("SQRT", kSQRT) && NameAt("EXP", kEXP) &&
              NameAt("LN", kLN) && NameAt("ABS", kABS) && NameAt("SIN", kSIN) &&
              NameAt("COS", kCOS) && NameAt("TAN", kTAN) && NameAt("COSH", kCOSH) &&
              NameAt("SINH", kSINH) && NameAt("TANH", kTANH) && NameAt("GAMMA", kGAMMA) &&
              NameAt("BI0", kBI0) && NameAt("BJ0", kBJ0) && NameAt("SEC", kSEC) &&
              NameAt("CSC", kCSC) && NameAt("COT", kCOT) && NameAt("DN", kDN) &&
              NameAt("SN", kSN) && NameAt("CN", kCN) && NameAt("RIEMANN", kRIEMANN) &&
              NameAt("TRE", kTRE) && NameAt("TIM", kTIM) && NameAt("COTH", kCOTH) &&
              NameAt("EI", kEI) && NameAt("DIGAMMA", kDIGAMMA));

// Every name of the list is a function: a position selects one exactly when a
// name starts there.
bool IsFunctionPosition(int k) {
    if (k < 1 || k > static_cast<int>(ComplexKeywordList.size())) return false;
    return k == 1 || ComplexKeywordList[static_cast<std::size_t>(k) - 2] == ' ';
}

// Per-call parser state. Positions are 1-based; reading past the end yields
// the character 0, which no rule accepts.
struct CParserState {
    std::string Text;
    std::size_t Length = 0;
    std::size_t Pos = 1;
    Complex Z;
    unsigned char CurOp = 0;
    std::uint8_t CurLevel = 0;
    unsigned char NextOp = 0;
    std::uint8_t NextLevel = 0;
    std::vector<std::pair<unsigned char, std::uint8_t>> SaveStack; // (CurOp, CurLevel)
    int Nesting = 0;      // brackets, modulus bars and function arguments open now
    bool TooDeep = false; // nesting passed ComplexMaxNesting: reading has stopped

    unsigned char At(std::size_t pos) const {
        return pos >= 1 && pos <= Length ? static_cast<unsigned char>(Text[pos - 1]) : 0;
    }
};

// Opens one nesting level for as long as it lives.
class NestingLevel {
  public:
    explicit NestingLevel(CParserState& s) : m_s(s) { ++m_s.Nesting; }
    ~NestingLevel() { --m_s.Nesting; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;

  private:
    CParserState& m_s;
};

ComplexRec ToRec(Complex w) {
    return MakeComplex(cfRectangular, static_cast<double>(w.re), static_cast<double>(w.im));
}

Complex Widen(ComplexRec r) {
    return Complex{r.A, r.B};
}

// Raises the first floating-point fault of the evaluation as soon as it is
// met: computing on with its infinities or NaNs (inf - inf, 0 * inf) would add
// an invalid operation that hides it. Never called inside an rt::ProtectedRegion.
void CheckFault() {
    rt::ThrowPendingFault();
}

ComplexRec ToCheckedRec(Complex w) {
    ComplexRec r = ToRec(w);
    rt::Settle(r);
    CheckFault(); // a part too large for a double
    return r;
}

Complex Via(ComplexRec (*operation)(ComplexRec), Complex w) {
    return Widen(operation(ToCheckedRec(w)));
}

bool IsZero(Complex w) {
    return w.re == 0 && w.im == 0;
}

// DN, SN and CN, in extended precision, with the modulus kept within 0..1.
JacobiComplexTriple JacobiOf(Complex w) {
    double k = JacobiModulus;
    if (k < 0) k = 0;
    if (k > 1) k = 1;
    return JacobiComplex(w, k);
}

// EI and DIGAMMA work on the argument rounded to double.
Complex OnDoubles(void (*function)(double, double, double&, double&), Complex w) {
    const ComplexRec r = ToCheckedRec(w);
    double re = 0;
    double im = 0;
    function(r.A, r.B, re, im);
    return Complex{re, im};
}

Complex CParseExpression(CParserState& s);

// Operator levels: 1 additive, 2 multiplicative, 3 power; 0 ends the current
// expression (the character is used up); -1 is not an operator.
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

// <operator> = one character, never the last one of the text. A last
// character other than a closing one is left unread, which is a syntax error:
// the text ends in an operator ("Z+") or in something that is none ("2Z").
void CReadOperator(CParserState& s) {
    if (s.TooDeep || s.Pos >= s.Length) {
        if (!s.TooDeep && s.Pos == s.Length && OperatorLevel(s.At(s.Pos)) != 0) ComplexStatus = 1;
        s.NextLevel = 0;
        return;
    }
    s.NextOp = s.At(s.Pos);
    ++s.Pos;
    const int level = OperatorLevel(s.NextOp);
    if (level < 0) {
        ComplexStatus = 1;
        s.NextLevel = 0;
    } else {
        s.NextLevel = static_cast<std::uint8_t>(level);
    }
}

bool IsNumberChar(unsigned char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == 'i' || c == kSmallEAcute;
}

// Decimal text to extended. A malformed token yields the value of its longest
// leading part of the form digits[.digits] (0 when there is none); a number too
// large for the extended range is +infinity, one too small 0. Nothing is
// reported and no fault flag is left behind.
Ext DecimalToExtended(std::string_view token) {
    rt::ProtectedRegion quiet;
    Ext value = 0;
    const auto [end, ec] =
        std::from_chars(token.data(), token.data() + token.size(), value, std::chars_format::fixed);
    (void)end;
    if (ec == std::errc::invalid_argument) return 0;
    if (ec == std::errc::result_out_of_range) {
        const auto intEnd = std::find(token.begin(), token.end(), '.');
        const bool large = std::any_of(token.begin(), intEnd, [](char c) { return c > '0'; });
        return large ? HUGE_VALL : 0;
    }
    return value;
}

// <number> = ("0".."9" | ".") {"0".."9" | "." | "i" | "é"}
Complex CScanNumber(CParserState& s) {
    std::size_t end = s.Pos;
    while (end <= s.Length && IsNumberChar(s.At(end))) ++end;
    const std::string_view token(s.Text.data() + (s.Pos - 1), end - s.Pos);
    s.Pos = end;
    return Complex{DecimalToExtended(token), 0};
}

// <name> = everything up to the first "(" (used up) or the end of the text.
// The result is the 1-based position of the name in the keyword list, 0 when
// it does not occur there.
int CLookupFunction(CParserState& s) {
    const std::size_t start = s.Pos - 1; // 0-based
    const std::size_t open = s.Text.find('(', start);
    const std::size_t end = open == std::string::npos ? s.Length : open;
    const std::string_view name(s.Text.data() + start, end - start);
    const std::size_t found = ComplexKeywordList.find(name);
    const int k = found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
    if (k == 0) ComplexStatus = 1;
    s.Pos = (open == std::string::npos ? s.Length : open + 1) + 1;
    return k;
}

// EXP is the one function whose faults are caught: anything raised while its
// value is computed or stored gives the substitute (1e5, 0) with status 4.
// Faults raised earlier in the same evaluation are kept.
Complex GuardedExp(Complex w) {
    rt::ProtectedRegion region;
    rt::Settle(w);
    Complex v = Widen(CExp(ToRec(w))); // unchecked: the region catches all
    rt::Settle(v);
    if (!region.Faulted()) return v;
    ComplexStatus = 4;
    return Complex{1e5L, 0};
}

bool BeyondTrigLimit(Complex w) {
    return std::fabs(w.re) >= kTrigLimit || std::fabs(w.im) >= kTrigLimit;
}

// <call> = <name> <expression>; the argument is read for every known name,
// then the function is computed.
Complex CCallFunction(CParserState& s, int k) {
    if (!IsFunctionPosition(k)) {
        ComplexStatus = 1;
        return Complex{};
    }
    const Complex w = CParseExpression(s);
    switch (k) {
    case kSQR:
        if (IsZero(w)) return Complex{};
        if (std::fabs(w.re) < kProductLimit)
            return Complex{w.re * w.re - w.im * w.im, 2 * w.re * w.im};
        ComplexStatus = 2;
        return Complex{1e20L, 0};
    case kSQRT:
        return Widen(CRoot(ToRec(w), 0, 2));
    case kEXP:
        return GuardedExp(w);
    case kLN: {
        if (IsZero(w)) {
            ComplexStatus = 2;
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
        return BeyondTrigLimit(w) ? Complex{} : Via(CSin, w);
    case kCOS:
        return BeyondTrigLimit(w) ? Complex{} : Via(CCos, w);
    case kCOSH:
        return BeyondTrigLimit(w) ? Complex{} : Via(CCosh, w);
    case kSINH:
        return BeyondTrigLimit(w) ? Complex{} : Via(CSinh, w);
    case kTAN:
        return Via(CTan, w);
    case kTANH:
        return Via(CTanh, w);
    case kSEC:
        return Via(CSec, w);
    case kCSC:
        return IsZero(w) ? Complex{} : Via(CCsc, w);
    case kCOT:
        return IsZero(w) ? Complex{} : Via(CCot, w);
    case kTRE:
        return Complex{w.re, 0};
    case kTIM:
        return Complex{0, w.im};
    case kCOTH:
        return Via(CCoth, w);

    case kGAMMA:
        return Via(CGamma, w);
    case kBI0:
        return Via(CBesselI0, w);
    case kBJ0:
        return Via(CBesselJ0, w);
    case kDN:
        return JacobiOf(w).dn;
    case kSN:
        return JacobiOf(w).sn;
    case kCN:
        return JacobiOf(w).cn;
    case kRIEMANN:
        return ZetaPartialSum(w);
    case kEI:
        return OnDoubles(ExpIntegralE1, w);
    case kDIGAMMA:
        return OnDoubles(DigammaComplex, w);

    default:
        ComplexStatus = 1;
        return Complex{};
    }
}

bool StartsFunction(unsigned char c) {
    return (c >= 'A' && c <= 'H') || (c >= 'L' && c <= 'O') || (c >= 'R' && c <= 'T') || c == 'V' ||
           c == 'W';
}

// <primary> = <number> | "I" | "PI" | "P" | "Q" | "Z" | "É"
//           | "(" <expression> | "|" <expression> | <call>
Complex CParsePrimary(CParserState& s) {
    const unsigned char c = s.At(s.Pos);
    const bool nests = c == '(' || c == '|' || StartsFunction(c);
    if (s.TooDeep || (nests && s.Nesting >= ComplexMaxNesting)) {
        // Too deeply nested: a syntax failure that stops reading here.
        s.TooDeep = true;
        ComplexStatus = 1;
        return Complex{};
    }
    if (c == '(') {
        NestingLevel level(s);
        ++s.Pos;
        return CParseExpression(s);
    }
    if (c == '|') {
        NestingLevel level(s);
        ++s.Pos;
        const Complex w = CParseExpression(s);
        return Complex{std::sqrt(w.re * w.re + w.im * w.im), 0};
    }
    if (StartsFunction(c)) {
        NestingLevel level(s);
        const int k = CLookupFunction(s);
        Complex v = CCallFunction(s, k);
        rt::Settle(v);
        CheckFault();
        return v;
    }
    if (c == '.' || (c >= '0' && c <= '9')) return CScanNumber(s);
    switch (c) {
    case 'I':
        ++s.Pos;
        return Complex{0, 1};
    case 'P':
        if (s.At(s.Pos + 1) == 'I') {
            s.Pos += 2;
            return Complex{kPi, 0};
        }
        ++s.Pos;
        return ComplexParamP;
    case 'Q':
        ++s.Pos;
        return ComplexParamQ;
    case 'Z':
        ++s.Pos;
        return s.Z;
    case kCapitalEAcute:
        ++s.Pos;
        return Complex{kE, 0};
    default:
        ComplexStatus = 1;
        return Complex{};
    }
}

Complex CApplyChain(CParserState& s, Complex left);

// <operand> = ["-"] <primary> { <chain of a level above CurLevel> }
Complex CParseOperand(CParserState& s) {
    Complex v;
    if (s.At(s.Pos) == '-') {
        ++s.Pos;
        v = CParsePrimary(s);
        v.re = -v.re;
        v.im = -v.im;
    } else {
        v = CParsePrimary(s);
    }
    CReadOperator(s);
    while (s.NextLevel > s.CurLevel) v = CApplyChain(s, v);
    return v;
}

// <chain> = <operator> <operand> { <operator of the same level> <operand> }
// Precedence climbing: operators of one level group from the left.
Complex CApplyChain(CParserState& s, Complex left) {
    s.SaveStack.emplace_back(s.CurOp, s.CurLevel);
    do {
        s.CurOp = s.NextOp;
        s.CurLevel = s.NextLevel;
        const Complex right = CParseOperand(s);
        left = CApplyOperator(left, right, static_cast<char>(s.CurOp));
        rt::Settle(left);
        CheckFault();
    } while (s.NextLevel >= s.CurLevel);
    std::tie(s.CurOp, s.CurLevel) = s.SaveStack.back();
    s.SaveStack.pop_back();
    return left;
}

// <expression> = <operand> { <chain> }, up to a level-0 operator or the end
Complex CParseExpression(CParserState& s) {
    Complex v = CParseOperand(s);
    while (s.NextLevel > 0) v = CApplyChain(s, v);
    return v;
}

} // namespace

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
    // Both operands enter the arithmetic as doubles, whatever the operator.
    const ComplexRec a = ToCheckedRec(left);
    const ComplexRec b = ToCheckedRec(right);
    switch (static_cast<unsigned char>(op)) {
    case '+':
        return Widen(CAdd(a, b));
    case '-':
        return Widen(CSub(a, b));
    case '*':
    case kMiddleDot:
        // Only the real parts are tested.
        if (std::fabs(left.re) < kProductLimit && std::fabs(right.re) < kProductLimit)
            return Widen(CMul(a, b));
        ComplexStatus = 2;
        return Complex{1e10L, 0};
    case '/':
        if (b.A == 0 && b.B == 0) { // the modulus, not rounded
            ComplexStatus = 2;
            return Complex{1e10L, 0};
        }
        return Widen(CDiv(a, b));
    case '^':
        // After a domain error or an overflow every power is 0.
        if (ComplexStatus == 2 || ComplexStatus == 4) {
            ComplexStatus = 2;
            return Complex{};
        }
        if (IsZero(right)) return Complex{1, 0};
        return Widen(CPower(a, b));
    default: // "#", "&", "<", ">", "%", "~" and "\" compute nothing
        return Complex{};
    }
}

Complex EvalComplex(const std::string& text, Complex z) {
    rt::ClearFaults();
    if (text.empty()) {
        ComplexStatus = 1;
        return Complex{};
    }
    CParserState s;
    s.Text = CPrepareText(text);
    s.Length = s.Text.size();
    s.Z = z;
    ComplexStatus = 0;
    const Complex v = CParseExpression(s);
    if (s.TooDeep) ComplexStatus = 1;

    // The final overflow test; a NaN fails it (quietly), and so does a part
    // too large to be squared in extended.
    Complex result = v;
    const Ext partLimit = std::sqrt(ComplexLimit);
    const bool within = std::islessequal(std::fabs(v.re), partLimit) &&
                        std::islessequal(std::fabs(v.im), partLimit) &&
                        std::islessequal(v.re * v.re + v.im * v.im, ComplexLimit);
    if (!within) {
        result = Complex{1e30L, 0};
        ComplexStatus = 4;
    }
    // A fault that no rule caught leaves the call as rt::EMathError.
    rt::Settle(result);
    rt::ThrowPendingFault();
    return result;
}
