// The real formula interpreter: module state, the normalisation of the text and
// the one-pass recursive-descent parser that computes while it reads.
#include "realformula/interpreter.h"
#include "realformula/parser.h"

#include "runtime/fpu.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

double ParamP = 0;
double ParamQ = 0;
double ParamR = 0;
std::uint8_t RealStatus = 0;
std::array<std::string, 5> UserFunctionText;

const double ValueLimit = 1e10;

// K1 and K2 are full doubles; K0 and K3..K6 are cut to the digits the language
// gives them, and the results of formulas using them depend on those digits.
const std::array<double, 7> ConstantTable = {2.506628274631, 0.3183098861837907, 9.869604401089358,
                                             1.772453850906, 0.367879441171,     7.38905609893,
                                             1.6487212707};

bool IsKeywordStart(int position) {
    const int size = static_cast<int>(KeywordList.size());
    if (position < 1 || position > size) return false;
    return position == 1 || KeywordList[position - 2] == ' ';
}

bool IsNumberChar(unsigned char c) {
    return c == '.' || (c >= '0' && c <= '9') || c == 233;
}

namespace {

constexpr int kEnd = -1; // CharAt beyond the text

// Bounds on nesting, so that no text can exhaust the stack: bracket and
// argument levels of all running evaluations together, and F1..F5 calls
// inside each other (a slot may call itself).
constexpr int kMaxNesting = 256;
constexpr int kMaxUserNesting = 32;

int g_nesting = 0;     // ParseExpression levels active now, nested evaluations included
int g_userNesting = 0; // F1..F5 calls active now
// Set when a bound is hit: every running evaluation stops reading, applies no
// further operator and calls no further function, and returns what it has.
bool g_abort = false;

int CharAt(const ParserState& s, std::int64_t index) {
    if (index < 1 || index > s.length) return kEnd;
    return static_cast<unsigned char>(s.text[static_cast<std::size_t>(index - 1)]);
}

void Normalise(std::string& text) {
    std::replace(text.begin(), text.end(), ',', '.');
    // Deleting the first blank while one is left and the text is longer than
    // one character removes every blank, except that blanks alone leave one.
    if (text.size() > 1 && text.find(' ') != std::string::npos) {
        std::erase(text, ' ');
        if (text.empty()) text.push_back(' ');
    }
    if (text.front() == '-') text.insert(0, 1, '0');
    if (text.front() == '+') text.insert(0, 1, '0');
    // "(-X^" becomes "(0-X^": a minus opening a bracket before X^ negates the power.
    for (auto at = text.find("(-X^"); at != std::string::npos; at = text.find("(-X^", at))
        text.insert(at + 1, 1, '0');
}

double ParseExpression(ParserState& s);
double ParseOperand(ParserState& s);

// Reads the operator at the position; the last character is never read.
void ReadOperator(ParserState& s) {
    if (g_abort || s.position >= s.length) {
        s.currentPrecedence = 0;
        return;
    }
    const int c = CharAt(s, s.position);
    ++s.position;
    s.currentOperator = c;
    switch (c) {
    case '+':
    case '-':
    case '#':
    case '&':
    case ';':
    case '<':
    case '>':
        s.currentPrecedence = 1;
        break;
    case '*':
    case 183:
    case '/':
    case '%':
    case '~':
        s.currentPrecedence = 2;
        break;
    case '^':
    case '\\':
        s.currentPrecedence = 3;
        break;
    case ')':
    case ']':
    case '|':
        s.currentPrecedence = 0;
        break;
    default:
        s.currentPrecedence = 0;
        RealStatus = 1;
        break;
    }
}

// <number> = ("." | digit) { "." | digit | code 233 }
double ScanNumber(ParserState& s) {
    s.scanIndex = s.position + 1;
    while (CharAt(s, s.scanIndex) != kEnd &&
           IsNumberChar(static_cast<unsigned char>(CharAt(s, s.scanIndex))))
        ++s.scanIndex;
    const char* first = s.text.data() + (s.position - 1);
    const char* last = s.text.data() + (s.scanIndex - 1);
    s.position = s.scanIndex;
    // A run the conversion rejects (two points, a lone point, code 233 inside)
    // reads as its longest leading number, 0 when there is none; a run too
    // large for a double reads as the largest double, so it goes on like any
    // huge number (above the limit at the end: status 4), one too small as 0.
    // The status is not changed in any case.
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        const char* point = std::find(first, end, '.');
        const bool large = std::any_of(first, point, [](char c) { return c != '0'; });
        return large ? std::numeric_limits<double>::max() : 0.0;
    }
    if (error != std::errc()) return 0;
    return value;
}

// Positions the parser after the "(" that follows a name and returns the
// KeywordList position of the name, 0 (status 1) when it is no fragment of it.
int LookupFunction(ParserState& s) {
    s.scanIndex = s.position;
    do {
        ++s.scanIndex;
    } while (CharAt(s, s.scanIndex) != '(' && s.scanIndex <= s.length);
    const std::string_view name(s.text.data() + (s.position - 1),
                                static_cast<std::size_t>(s.scanIndex - s.position));
    const auto found = KeywordList.find(name);
    int keyword = 0;
    if (found == std::string_view::npos)
        RealStatus = 1;
    else
        keyword = static_cast<int>(found) + 1;
    s.position = s.scanIndex + 1;
    return keyword;
}

// <constant> = "K" any character: K0..K6 of the table, K7..K9 zero, else K0
double ReadConstantK(ParserState& s) {
    const int d = CharAt(s, s.position + 1);
    s.position += 2;
    if (d >= '0' && d <= '6') return ConstantTable[static_cast<std::size_t>(d - '0')];
    if (d >= '7' && d <= '9') return 0;
    return ConstantTable[0];
}

// <p> = "PI" | "PHI" | "P"
double ReadP(ParserState& s) {
    if (s.position == s.length) {
        ++s.position;
        return ParamP;
    }
    if (CharAt(s, s.position + 1) == 'I') {
        s.position += 2;
        return std::numbers::pi;
    }
    if (CharAt(s, s.position + 1) == 'H' && CharAt(s, s.position + 2) == 'I') {
        s.position += 3;
        return std::numbers::phi;
    }
    ++s.position;
    return ParamP;
}

// <call> = name "(" <expression> [")"]
double ReadFunctionCall(ParserState& s) {
    const int keyword = LookupFunction(s);
    if (!IsKeywordStart(keyword)) {
        RealStatus = 1;
        return 0;
    }
    const double argument = ParseExpression(s);
    if (g_abort) return 0;
    return CallFunction(keyword, argument);
}

// <primary> = "(" <expression> | <number> | <call> | <constant> | "P" | "Q" | "R"
//           | "X" | "[" <expression> | "|" <expression> | code 201
double ParsePrimary(ParserState& s) {
    const int c = CharAt(s, s.position);
    if (c == '(') {
        ++s.position;
        return ParseExpression(s);
    }
    if (c == '.' || (c >= '0' && c <= '9')) return ScanNumber(s);
    if ((c >= 'A' && c <= 'J') || (c >= 'L' && c <= 'O') || c == 'S' || c == 'T' || c == 'V' ||
        c == 'W')
        return ReadFunctionCall(s);
    switch (c) {
    case 'K':
        return ReadConstantK(s);
    case 'P':
        return ReadP(s);
    case 'Q':
        ++s.position;
        return ParamQ;
    case 'R':
        ++s.position;
        return ParamR;
    case 'X':
        ++s.position;
        return s.x;
    case '[': {
        ++s.position;
        const double v = ParseExpression(s);
        return v >= 0 ? std::trunc(v) : std::trunc(static_cast<long double>(v) - 1);
    }
    case '|':
        ++s.position;
        return std::fabs(ParseExpression(s));
    case 201:
        ++s.position;
        return std::numbers::e;
    default:
        RealStatus = 1;
        return 0;
    }
}

// <chain> = <operator> <operand> { <operator of at least this level> <operand> }
double ApplyChain(ParserState& s, double left) {
    const int savedOperator = s.pendingOperator;
    const std::uint8_t savedPrecedence = s.minimumPrecedence;
    do {
        s.pendingOperator = s.currentOperator;
        s.minimumPrecedence = s.currentPrecedence;
        const double right = ParseOperand(s);
        if (g_abort) break;
        left = ApplyOperator(static_cast<unsigned char>(s.pendingOperator), left, right);
    } while (s.currentPrecedence >= s.minimumPrecedence);
    s.pendingOperator = savedOperator;
    s.minimumPrecedence = savedPrecedence;
    return left;
}

// <operand> = ["-"] <primary> { <operator above the current level> <chain> }
double ParseOperand(ParserState& s) {
    double v;
    if (CharAt(s, s.position) == '-') {
        ++s.position;
        v = -ParsePrimary(s);
    } else {
        v = ParsePrimary(s);
    }
    ReadOperator(s);
    while (s.currentPrecedence > s.minimumPrecedence) v = ApplyChain(s, v);
    return v;
}

// <expression> = <operand> { <chain> } up to a terminator or the end
double ParseExpression(ParserState& s) {
    if (g_nesting >= kMaxNesting) {
        // Deeper nesting: status 1, and every level returns what it has read.
        RealStatus = 1;
        g_abort = true;
        s.currentPrecedence = 0;
        return 0;
    }
    ++g_nesting;
    s.accumulator = ParseOperand(s);
    while (s.currentPrecedence != 0) s.accumulator = ApplyChain(s, s.accumulator);
    --g_nesting;
    return s.accumulator;
}

} // namespace

double EvalReal(std::string text, double x) {
    if (text.empty()) {
        RealStatus = 1;
        return 0;
    }
    if (g_userNesting == 0) g_abort = false;
    // Faults of this evaluation are settled inside it and never reach the caller's flags.
    rt::ProtectedRegion region;
    Normalise(text);
    RealStatus = 0;
    ParserState s;
    s.text = std::move(text);
    s.length = static_cast<std::int64_t>(s.text.size());
    s.position = 1;
    s.minimumPrecedence = 0;
    s.x = x;
    double value = ParseExpression(s);
    if (value > ValueLimit) {
        value = ValueLimit;
        RealStatus = 4;
    }
    return value;
}

double UserFunction(int slot, double t) {
    if (g_userNesting >= kMaxUserNesting) {
        RealStatus = 1;
        g_abort = true;
        return 0;
    }
    ++g_userNesting;
    const double v = EvalReal(UserFunctionText[static_cast<std::size_t>(slot - 1)], t);
    --g_userNesting;
    return v;
}
