// The language of the real interpreter: normalisation, precedence, the
// primaries, the name lookup, status codes and bad input.
#include "realtest.h"

#include "realformula/parser.h"
#include "runtime/fpu.h"

#include <bit>
#include <cfenv>
#include <cfloat>
#include <chrono>
#include <cstdint>
#include <numbers>

namespace {

const double kPi = std::numbers::pi;

TEST(RealParsing, PrecedenceAndAssociativity) {
    CheckRows({
        {"power groups from the left", "2^3^2", 0, 64, 0},
        {"difference groups from the left", "8-3-2", 0, 3, 0},
        {"three levels", "2+3*4^2", 0, 50, 0},
        {"quotient groups from the left", "12/2/3", 0, 2, 0},
        {"root and power share a level", "64\\2^3", 0, 512, 0},
        {"bracket after a product", "2*(3+4)", 0, 14, 0},
        {"bracket after a power", "2^(1+1*3)", 0, 16, 0},
        {"product first inside a bracket", "2*(3*4+1)", 0, 26, 0},
        {"chain after a bracket", "(1+2)*(3+4)-1", 0, 20, 0},
        {"min and max are additive", "1+2<3*0", 0, 0, 0},
        {"assignment yields the left side", "2;5*3", 0, 2, 0},
    });
}

TEST(RealParsing, UnaryMinusAndTheTwoRewrites) {
    CheckRows({
        {"leading minus is a subtraction", "-X^2", 3, -9, 0},
        {"minus after an operator binds to X", "2*-X^2", 3, 18, 0},
        {"minus after an operator binds to 2", "3+-2^2", 0, 7, 0},
        {"bracket rewrite", "(-X^2)", 3, -9, 0},
        {"bracket rewrite inside a product", "2*(-X^2)", 3, -18, 0},
        {"no rewrite without X", "(-2^2)", 0, 4, 0},
        {"leading plus", "+X", 3, 3, 0},
        {"a second minus is no primary", "2*--3", 0, -3, 1},
        {"negative exponent", "X^-1", -2, -0.5, 0},
    });
}

TEST(RealParsing, RewriteKeepsTheWholeTail) {
    std::string text = "(-X^2";
    for (int i = 0; i < 200; ++i) text += "+1";
    CheckRows({{"long tail", text, 1, 199, 0}});
}

TEST(RealParsing, LastCharacterAndBrackets) {
    CheckRows({
        {"trailing operator is never read", "X+", 3, 3, 0},
        {"surplus closing bracket ends the formula", "X)*2", 3, 3, 0},
        {"missing closing bracket", "(X+1", 3, 4, 0},
        {"no implicit product", "2X+1", 3, 2, 1},
        {"last character is not read", "2X", 3, 2, 0},
        {"any bracket closes any", "(2+3]*2", 0, 10, 0},
        {"floor of a positive", "[2.5]", 0, 2, 0},
        {"floor of a negative fraction", "[-0.5]", 0, -1, 0},
        {"floor of a negative integer", "[-2]", 0, -3, 0},
        {"floor of 0", "[0]", 0, 0, 0},
        {"modulus", "|-3|", 0, 3, 0},
        {"nested modulus", "||X|-1|", -3, 2, 0},
        {"comma is a point", "1,5*2", 0, 3, 0},
        {"blanks go", "1 5", 0, 15, 0},
    });
}

TEST(RealParsing, VariablesAndConstants) {
    CheckRows({
        {"pi", "PI", 0, kPi, 0},
        {"golden ratio", "PHI", 0, 1.618033988749895, 0},
        {"P alone", "P", 0, 0, 0},
        {"P before X", "PX+1", 0, 0, 1},
        {"K2", "K2", 0, 9.869604401089358, 0},
        {"K6", "K6", 0, 1.6487212707, 0},
        {"K9", "K9", 0, 0, 0},
        {"K consumes the next character", "KA+1", 0, 3.506628274631, 0},
        {"K at the end", "K", 0, 2.506628274631, 0},
        {"capital E acute", "\xC9", 0, 2.718281828459045, 0},
        {"middle dot multiplies",
         "2\xB7"
         "3",
         0, 6, 0},
        {"value above the limit", "20000000000", 0, 1e10, 4},
        {"no lower limit", "0-20000000000", 0, -2e10, 0},
    });
    ResetModule();
    ParamP = 7;
    ParamQ = 3;
    EXPECT_EQ(7 * 3, EvalReal("P*Q+R", 0));
}

TEST(RealParsing, NameLookupBySubstring) {
    CheckRows({
        {"S is SQR", "S(3)", 0, 9, 0},
        {"SQ is SQR", "SQ(3)", 0, 9, 0},
        {"A is ABS", "A(-2)", 0, 2, 0},
        {"C is COS", "C(0)", 0, 1, 0},
        {"ARC is ARCCOS", "ARC(1)", 0, 0, 0},
        {"SINH is its own", "SINH(0)", 0, 0, 0},
        {"T lies inside SQRT", "T(1)", 0, 0, 1},
        {"N lies inside LN", "N(1)", 0, 0, 1},
        {"unknown name", "SINUS(X)", 0, 0, 1},
        {"name without bracket", "SINX", 0, 0, 1},
        {"lower case", "sin(X)", 0, 0, 1},
        {"U is no primary", "U", 0, 0, 1},
        {"reading goes on inside the bracket", "T(1)+2", 0, 0, 1},
    });
}

TEST(RealParsing, ArgumentOfAnUnknownNameIsNotEvaluated) {
    ResetModule();
    EXPECT_EQ(0, EvalReal("T(1;5)", 0));
    EXPECT_EQ(0, ParamP);
    EXPECT_EQ(1, RealStatus);
}

TEST(RealParsing, EveryNameStartsAtItsPosition) {
    const std::vector<std::pair<const char*, int>> table = {
        {"SQR", 1},       {"SQRT", 5},       {"EXP", 10},         {"LN", 14},
        {"ABS", 17},      {"SI", 21},        {"SIN", 24},         {"COS", 28},
        {"TAN", 32},      {"ARCCOS", 36},    {"LG", 43},          {"ARCTAN", 46},
        {"SINH", 53},     {"COSH", 58},      {"TANH", 63},        {"INT", 68},
        {"SGN", 72},      {"F1", 76},        {"F2", 79},          {"F3", 82},
        {"F4", 85},       {"COT", 88},       {"LD", 92},          {"ARCSIN", 95},
        {"ARSINH", 102},  {"ARCOSH", 109},   {"ARTANH", 116},     {"SEC", 123},
        {"GAMMA", 127},   {"GAUSS", 133},    {"MCARLO", 139},     {"CI", 146},
        {"EI", 149},      {"BETA", 152},     {"BESSJ0", 157},     {"BESSJ1", 164},
        {"WURZEL", 171},  {"WURZEL3", 178},  {"EHOCH", 186},      {"WURZEL4", 192},
        {"W3", 200},      {"W4", 203},       {"LOG", 206},        {"CSC", 210},
        {"WP", 214},      {"F5", 217},       {"VORZEICHEN", 220}, {"FRAC", 231},
        {"EXPP", 236},    {"GAMMALN", 241},  {"HEAVISIDE", 249},  {"SINW", 259},
        {"COSW", 264},    {"TANW", 269},     {"COTW", 274},       {"ARCTANW", 279},
        {"ARCSINW", 287}, {"GSUMME", 295},   {"SN", 302},         {"CN", 305},
        {"DN", 308},      {"EULERPHI", 311}, {"AI", 320},         {"BI", 323},
        {"ARCCOT", 326},  {"ARCSEC", 333},   {"DIGAMMA", 340},    {"TIME", 348},
        {"ARCCSC", 353},  {"COTH", 360},     {"SZ", 365},         {"W5", 368}};
    EXPECT_EQ(72u, table.size());
    EXPECT_EQ(369u, KeywordList.size());
    int starts = 0;
    for (int p = 1; p <= 369; ++p) starts += IsKeywordStart(p) ? 1 : 0;
    EXPECT_EQ(72, starts);
    for (const auto& [name, position] : table) {
        SCOPED_TRACE(name);
        EXPECT_EQ(position, static_cast<int>(KeywordList.find(name)) + 1);
        EXPECT_TRUE(IsKeywordStart(position));
    }
}

TEST(RealParsing, NumberRuns) {
    CheckRows({
        {"leading point", ".5+1", 0, 1.5, 0},
        {"trailing point", "2.*3", 0, 6, 0},
        {"no exponent part", "1E5", 0, 1, 1},
        // Rejected runs read as their longest leading number; no status.
        {"two points", "1.2.3", 0, 1.2, 0},
        {"lone point", ".", 0, 0, 0},
        {"e acute inside",
         "1\xE9"
         "5+1",
         0, 2, 0},
        // A run too large for a double goes on as the largest double.
        {"too large for a double", std::string(400, '9') + "-1", 0, 1e10, 4},
        {"too large for a double, negated", "-1" + std::string(400, '0'), 0, -DBL_MAX, 0},
        {"too small for a double", "." + std::string(400, '0') + "1", 0, 0, 0},
    });
}

TEST(RealParsing, StatusCodesAndWhoClearsThem) {
    CheckRows({
        {"empty text", "", 0, 0, 1},
        {"one blank", " ", 0, 0, 1},
        {"blanks only", "   ", 0, 0, 1},
        {"a later code overwrites", "INT(1)+LN(0)", 0, 1, 2},
        {"step function last", "LN(0)+INT(1)", 0, 1, 3},
        {"SGN clears its argument's failure", "SGN(LN(0))", 0, 0, 0},
        {"SGN clears what came before", "LN(0)+SGN(1)", 0, 1, 0},
        {"BESSJ0 clears", "LN(0)+BESSJ0(0)", 0, 57568490574.0 / 57568490411.0, 0},
        {"GAMMALN clears", "LN(0)+GAMMALN(1)", 0, 0, 0, 1e-9},
        {"DIGAMMA clears", "LN(0)+DIGAMMA(1)", 0, -0.5772156649015329, 0},
        {"failure in an ignored tail", "X)+LN(0)", 2, 2, 0},
    });
    ResetModule();
    EvalReal("LN(0)", 0);
    EXPECT_EQ(2, RealStatus);
    EvalReal("1", 0);
    EXPECT_EQ(0, RealStatus); // every evaluation starts at 0
}

TEST(RealParsing, ParamPPersistsBetweenCalls) {
    ResetModule();
    EXPECT_DOUBLE_EQ(3, EvalReal("LOG(X;2)", 8));
    EXPECT_EQ(0, RealStatus);
    EXPECT_EQ(2, ParamP);
    EXPECT_EQ(2, EvalReal("P", 0));
}

TEST(RealParsing, UserFunctions) {
    CheckRows({{"empty slot", "F1(X)", 2, 0, 1}, {"fifth slot", "F5(X)", 2, 0, 1}});
    ResetModule();
    UserFunctionText[0] = "X*2";
    UserFunctionText[4] = "P";
    EXPECT_EQ(6, EvalReal("F1(3)", 0));
    EXPECT_EQ(7, EvalReal("F5(1;7)", 0)); // the nested call sees the P set in the argument
    // The nested evaluation resets the shared status before it computes.
    EXPECT_EQ(4, EvalReal("LN(0)+F1(2)", 0));
    EXPECT_EQ(0, RealStatus);
}

TEST(RealParsing, SelfCallingSlotsStopAtTheNestingBound) {
    ResetModule();
    UserFunctionText[0] = "F1(X)+F1(X)+F1(X)";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(1, EvalReal("1+F1(1)", 0)); // the sum is not applied on the way out
    EXPECT_EQ(1, RealStatus);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    UserFunctionText[0] = "X+1";
    EXPECT_EQ(3, EvalReal("F1(2)", 0)); // the bound does not outlive its evaluation
    EXPECT_EQ(0, RealStatus);
}

TEST(RealParsing, NestingBound) {
    const std::string deep(100000, '(');
    CheckRows({
        {"200 levels are fine", std::string(200, '(') + "1" + std::string(200, ')'), 0, 1, 0},
        {"255 brackets are the deepest", std::string(255, '(') + "1", 0, 1, 0},
        {"256 brackets are too deep", std::string(256, '(') + "1", 0, 0, 1},
        {"100000 brackets", deep, 0, 0, 1},
        {"value read so far", "1+" + deep + "2", 0, 1, 1},
        {"no operator applied on the way out", "1/" + deep + "2", 0, 1, 1},
        {"deep function arguments", "ABS(" + deep, 0, 0, 1},
    });
}

TEST(RealParsing, BadInputNeverCrashes) {
    std::vector<std::string> texts = {std::string(1, '\0'),
                                      std::string("1\0+2", 4),
                                      "+",
                                      "-",
                                      "*",
                                      "/",
                                      "^",
                                      "\\",
                                      ")",
                                      "]",
                                      "|",
                                      "[",
                                      "(",
                                      "~",
                                      "%",
                                      "#",
                                      ";",
                                      "<",
                                      ">",
                                      "&",
                                      "K",
                                      "P",
                                      "(-X^",
                                      "(-X^(-X^(-X^"};
    for (int c = 0x80; c <= 0xFF; ++c) {
        texts.emplace_back(1, static_cast<char>(c));
        texts.push_back("1+" + std::string(1, static_cast<char>(c)) + "2");
    }
    for (const std::string& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text));
        ResetModule();
        const double v = EvalReal(text, 1);
        const int status = RealStatus;
        EXPECT_FALSE(std::isnan(v));
        EXPECT_LE(status, 4);
        // The same text again gives the same bits and status.
        ResetModule();
        EXPECT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(EvalReal(text, 1)));
        EXPECT_EQ(status, RealStatus);
    }
    ResetModule();
    EXPECT_EQ(1, EvalReal(std::string("1\0+2", 4), 0)); // NUL is no operator
    EXPECT_EQ(1, RealStatus);
}

TEST(RealParsing, MegabyteText) {
    std::string text;
    for (int i = 0; i < (1 << 19); ++i) text += "1+"; // the last "+" is never read
    ResetModule();
    EXPECT_EQ(1 << 19, EvalReal(text, 0));
    EXPECT_EQ(0, RealStatus);
    std::string blanks(1 << 20, ' ');
    blanks[12345] = '7';
    EXPECT_EQ(7, EvalReal(blanks, 0));
}

TEST(RealParsing, FaultsStayInsideTheEvaluation) {
    ResetModule();
    rt::ClearFaults();
    EXPECT_EQ(ValueLimit, EvalReal("X+X", 1e308)); // an overflow in a sum
    EXPECT_EQ(2, RealStatus);
    EXPECT_FALSE(rt::FaultRaised());
    volatile double zero = 0;
    double early = 1 / zero; // a fault of the caller before the call
    rt::Settle(early);
    EvalReal("X+X", 1e308);
    EXPECT_EQ(FE_DIVBYZERO, rt::FaultFlags()); // kept, and nothing added
    rt::ClearFaults();
}

} // namespace
