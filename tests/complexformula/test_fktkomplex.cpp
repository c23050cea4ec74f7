#include "complexformula/fktkomplex.h"

#include "runtime/fpu.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

const long double kPi = 3.14159265358979323846264338327950288L;
const long double kE = 2.71828182845904523536028747135266250L;

struct Row {
    const char* name;
    std::string text;
    Complex z;
    long double re, im;
    int status;
    long double tol = 1e-14L; // relative to max(1, |expected part|)
};

// Extended-precision comparison, relative to max(1, |want|); gtest's own
// floating-point checks work in double.
::testing::AssertionResult NearL(long double got, long double want, long double tol) {
    if (std::fabs(got - want) <= tol * std::max(1.0L, std::fabs(want)))
        return ::testing::AssertionSuccess();
    char text[128];
    std::snprintf(text, sizeof text, "got %.21Lg, want %.21Lg", got, want);
    return ::testing::AssertionFailure() << text;
}

// The parameters are module state; every test starts from the program's values.
class Interpreter : public ::testing::Test {
  protected:
    void SetUp() override {
        ComplexParamQ = Complex{};
        ComplexParamP = Complex{};
    }
    void TearDown() override { SetUp(); }

    static void Check(const std::vector<Row>& rows) {
        for (const auto& row : rows) {
            SCOPED_TRACE(row.name);
            Complex v;
            ASSERT_NO_THROW(v = EvalComplex(row.text, row.z)) << row.text;
            EXPECT_EQ(ComplexStatus, row.status) << row.text;
            EXPECT_TRUE(NearL(v.re, row.re, row.tol)) << "real part of " << row.text;
            EXPECT_TRUE(NearL(v.im, row.im, row.tol)) << "imaginary part of " << row.text;
        }
    }
};

const Complex kZ{1, 2};

TEST_F(Interpreter, PrecedenceAndAssociativity) {
    ComplexParamQ = Complex{0.5L, 0};
    Check({
        // mpmath: sin(1.5+2i)(1+2i)/10 = 0.32396634282983346796 + 0.77620966370490783223i
        {"default formula", "SIN(Z+Q)*Z/10", kZ, 0.32396634282983346796L, 0.77620966370490783223L,
         0},
        {"minus groups from the left", "Z-1-2", kZ, -2, 2, 0},
        {"power groups from the left", "Z^2^3", Complex{1, 1}, 0, -8, 0}, // (2i)^3; Z^8 = 16
        {"numbers too", "2^3^2", {}, 64, 0, 0},
        {"times before plus", "Z+2*3", kZ, 7, 2, 0},
        {"times before plus, left", "Z*2+3", kZ, 5, 4, 0},
        {"power before times", "2*Z^2", kZ, -6, 8, 0},
        {"leading minus binds to the primary", "-Z^2", Complex{1, 1}, 0, 2, 0},
        {"minus after ( is a subtraction", "(-Z^2)", Complex{1, 1}, 0, -2, 0},
        {"minus after an operator", "2*-Z", kZ, -2, -4, 0},
        {"division left to right", "8/2/2", {}, 2, 0, 0},
        {"bracket", "2*(Z+1)", kZ, 4, 4, 0},
        {"closing ] works as )", "(Z+1]*2", kZ, 4, 4, 0},
        {"middle dot multiplies", "2\xB7Z", kZ, 2, 4, 0},
        {"# is additive, and 0", "1#2+3", {}, 3, 0, 0},
        {"% is multiplicative, and 0", "3+2%5", {}, 3, 0, 0},
        {"\\ binds like ^, and 0", "3*2\\5+1", {}, 1, 0, 0},
        {"a missing ) at the end is no error", "2*(Z+1", kZ, 4, 4, 0},
    });
}

TEST_F(Interpreter, PrimariesAndConstants) {
    ComplexParamP = Complex{3, -1};
    ComplexParamQ = Complex{-2, 0};
    Check({
        {"imaginary unit", "I*I", {}, -1, 0, 0},
        {"PI", "PI", {}, kPi, 0, 0, 0},
        {"P alone", "P", {}, 3, -1, 0},
        {"P times Z", "P*Z", kZ, 5, 5, 0},
        {"P as the last character", "Z+P", kZ, 4, 1, 0},
        {"Q", "Q*Z", kZ, -2, -4, 0},
        {"É is e", "\xC9", {}, kE, 0, 0, 0},
        {"modulus bars", "|3+4*I|", {}, 5, 0, 0},
        {"bars around Z", "|Z|*2", Complex{3, 4}, 10, 0, 0},
        {"nested bars", "|Z-|Z||", Complex{3, 4}, std::sqrt(20.0L), 0, 0},
        {"decimal comma", "1,5*Z", kZ, 1.5, 3, 0},
        {"leading point", ".25", {}, 0.25, 0, 0},
        {"small i inside a number", "2i+1", {}, 3, 0, 0},
        {"extended number", "3.14159265358979323846264338327950288", {}, kPi, 0, 0, 0},
    });
}

TEST_F(Interpreter, WhereReadingStops) {
    Check({
        {"final + is never read", "Z+", kZ, 1, 2, 0},
        {") ends the top level", "Z)+5", kZ, 1, 2, 0},
        // The last character is never read as an operator ...
        {"2Z alone", "2Z", kZ, 2, 0, 0},
        // ... any other one is: Z is no operator.
        {"2Z+1", "2Z+1", kZ, 2, 0, 1},
        {"no exponent notation", "1E5", {}, 1, 0, 1},
        {"a blank between operands", "Z Z", kZ, 1, 2, 1},
        {"blank before an operator", "Z +1", kZ, 1, 2, 1},
        // The second "-" is an unreadable primary (0, 0), then read as an operator.
        {"two minus signs", "--Z", kZ, -1, -2, 1},
        {"unknown letter, read again as an operator", "X+1", {}, 0, 0, 1},
        {"small letters are unknown", "z", kZ, 0, 0, 1},
        {"the rest after a failure is ignored", "Z?+5", kZ, 1, 2, 1},
    });
}

TEST_F(Interpreter, FunctionsAndFragmentsOfTheirNames) {
    Check({
        {"S is SQR", "S(Z)", kZ, -3, 4, 0},
        {"E is EXP", "E(0)", {}, 1, 0, 0},
        {"C is COS", "C(0)", {}, 1, 0, 0},
        {"SI is SIN", "SI(PI/2)", {}, 1, 0, 0},
        {"SQR SQRT is SQR", "SQR SQRT(Z)", kZ, -3, 4, 0},
        {"SINH found whole", "SINH(0)", {}, 0, 0, 0},
        {"COSH found whole", "COSH(0)", {}, 1, 0, 0},
        {"COTH found whole", "COTH(Z)", Complex{1, 0}, 1.3130352854993313036L, 0, 0},
        {"T starts no name", "T(Z)", kZ, 0, 0, 1},
        {"RT starts no name", "RT(Z)", kZ, 0, 0, 1},
        {"N starts no name", "N(Z)", kZ, 0, 0, 1},
        {"TN is no name", "TN(Z)", kZ, 0, 0, 1},
        {"X starts no function", "XYZ(Z)", kZ, 0, 0, 1},
        {"W is no name", "W(Z)", kZ, 0, 0, 1},
        {"name without (", "SIN", {}, 0, 0, 1},
        {"argument ends at the text's end", "SQR(Z", kZ, -3, 4, 0},
        {"function result in a chain", "ABS(Z)*2+1", Complex{3, 4}, 11, 0, 0},
    });
}

TEST_F(Interpreter, FunctionValues) {
    const Complex w{0.7, -1.3};
    // References: mpmath at 30 digits at z = 0.7 - 1.3i (the same doubles).
    Check({
        {"SIN", "SIN(Z)", w, 1.2696978072048744717L, -1.2989945381844448964L, 0},
        {"COS", "COS(Z)", w, 1.5074383508731426006L, 1.0941280057977618082L, 0},
        {"TAN", "TAN(Z)", w, 0.14201665536948033814L, -0.96480160350936609731L, 0},
        {"SEC", "SEC(Z)", w, 0.43448457339208122385L, -0.31535733422200462675L, 0},
        {"CSC", "CSC(Z)", w, 0.38481296198118504889L, 0.39369205254954053243L, 0},
        {"COT", "COT(Z)", w, 0.14933231644907048137L, 1.0145011371447459055L, 0},
        {"COSH", "COSH(Z)", w, 0.33575623873216534974L, -0.73093953523155780269L, 0},
        {"SINH", "SINH(Z)", w, 0.20292025165577843619L, -1.2094283694576538955L, 0},
        {"TANH", "TANH(Z)", w, 1.4716284458736200231L, -0.39837519535697753313L, 0},
        {"COTH", "COTH(Z)", w, 0.63312374278765822042L, 0.17138890962959427972L, 0},
        {"EXP", "EXP(Z)", w, 0.53867649038794378594L, -1.9403679046892116982L, 0},
        {"LN", "LN(Z)", w, 0.3896624384004988331L, -1.0768549578753154424L, 0, 1e-18L},
        {"SQRT", "SQRT(Z)", w, 1.0431879758757143648L, -0.62309000394138089559L, 0},
        {"power", "Z^(1+I)", w, 3.3504009502784949174L, -2.7494298991449373337L, 0},
        {"TAN(200) is computed", "TAN(200)", {}, -1.7925274837903817967L, 0, 0},
        {"SQR", "SQR(3+4*I)", {}, -7, 24, 0},
        {"ABS", "ABS(3+4*I)", {}, 5, 0, 0},
        {"TRE", "TRE(3+4*I)", {}, 3, 0, 0},
        {"TIM", "TIM(3+4*I)", {}, 0, 4, 0},
        {"LN(-1)", "LN(-1)", {}, 0, kPi, 0, 0},
        {"LN on the negative imaginary axis", "LN(Z)", Complex{0, -2}, std::log(2.0L), -kPi / 2, 0,
         1e-18L},
        {"SQRT(-4)", "SQRT(-4)", {}, 0, 2, 0},
    });
}

TEST_F(Interpreter, StatusCodesAndSubstituteValues) {
    Check({
        {"division by 0", "Z/0", Complex{1, 1}, 1e10, 0, 2},
        {"0^0", "0^0", {}, 1, 0, 0},
        {"Z^0", "Z^0", Complex{-3, 7}, 1, 0, 0},
        {"0^2", "Z^2", {}, 0, 0, 0},
        {"LN(0)", "LN(0)", {}, 0, 0, 2},
        // SQR's substitute (1e20, 0) never passes the final test on its own.
        {"SQR out of range", "SQR(Z)/10000000000", Complex{1e30L, 0}, 1e10, 0, 2},
        {"SQR substitute alone", "SQR(Z)", Complex{1e30L, 0}, 1e30, 0, 4},
        {"product out of range", "Z*2", Complex{-1e30L, 0}, 1e10, 0, 2},
        {"imaginary parts are not size-tested", "Z*2", Complex{0, 1e30L}, 1e30, 0, 4},
        {"SIN beyond 120", "SIN(200)", {}, 0, 0, 0},
        {"COSH beyond 120", "COSH(Z)", Complex{1, -120}, 0, 0, 0},
        {"EXP overflow", "EXP(1000)", {}, 1e5, 0, 4},
        {"EXP overflow in extended", "EXP(20000)", {}, 1e5, 0, 4},
        {"EXP(100) is too large a result", "EXP(100)", {}, 1e30, 0, 4},
        {"CSC(0)", "CSC(0)", {}, 0, 0, 0},
        {"COT(0)", "COT(0)", {}, 0, 0, 0},
        {"Z%2", "Z%2", kZ, 0, 0, 0},
        {"Z~2, Z&2, Z<2, Z>2", "Z~2+(Z&2)+(Z<2)+(Z>2)", kZ, 0, 0, 0},
        {"power after a division by 0", "(Z/0)+Z^2", kZ, 1e10, 0, 2},
        {"power after an overflow", "EXP(1000)+Z^2", kZ, 1e5, 0, 2},
        {"the last error wins", "LN(0)+EXP(1000)", {}, 1e5, 0, 4},
        {"a later syntax error wins", "Z/0+1E5", kZ, 1e10 + 1, 0, 1},
        {"final test at the limit", "Z", Complex{1e15L, 0}, 1e15L, 0, 0},
        {"final test above the limit", "Z", Complex{1.0000001e15L, 0}, 1e30, 0, 4},
        {"infinite Z", "Z", Complex{HUGE_VALL, 0}, 1e30, 0, 4},
        {"empty text", "", kZ, 0, 0, 1},
    });
}

TEST_F(Interpreter, StatusIsResetByEveryCall) {
    EvalComplex("Z/0", kZ);
    EXPECT_EQ(ComplexStatus, 2);
    EvalComplex("Z", kZ);
    EXPECT_EQ(ComplexStatus, 0);
}

TEST_F(Interpreter, TextPreparation) {
    EXPECT_EQ(CPrepareText("1,5+2,25"), "1.5+2.25");
    EXPECT_EQ(CPrepareText("(-Z)"), "(0-Z)");
    EXPECT_EQ(CPrepareText("((-(-Z)))"), "((0-(0-Z)))");
    EXPECT_EQ(CPrepareText("Z-(Z)-1"), "Z-(Z)-1");
    EXPECT_EQ(CPrepareText("(,-1)"), "(.-1)");
    // After each "(-" the text keeps at most 255 characters.
    const std::string tail(300, 'Z');
    EXPECT_EQ(CPrepareText("1+(-" + tail), "1+(0-" + tail.substr(0, 254));
    EXPECT_EQ(CPrepareText("(-" + std::string(100, '1') + "(-" + tail),
              "(0-" + std::string(100, '1') + "(0-" + std::string(152, 'Z'));
}

TEST_F(Interpreter, TheCutAfterMinusChangesTheValue) {
    std::string text = "(-0)";
    for (int i = 0; i < 200; ++i) text += "+1";
    // "-0)" and 126 of the "+1" survive the cut.
    Check({{"cut tail", text, {}, 126, 0, 0}});
}

TEST_F(Interpreter, SpecialFunctionsPending) {
    // Not wired in yet: each name reads its argument, then yields (0, 0) with
    // status 1. This test goes when the special functions arrive.
    Check({
        {"GAMMA", "GAMMA(Z+1)+5", kZ, 5, 0, 1},
        {"G is GAMMA", "G(5)", {}, 0, 0, 1},
        {"BI0", "BI0(Z)+5", kZ, 5, 0, 1},
        {"BJ0", "BJ0(Z)+5", kZ, 5, 0, 1},
        {"DN", "DN(Z)+5", kZ, 5, 0, 1},
        {"SN", "SN(Z)+5", kZ, 5, 0, 1},
        {"CN", "CN(Z)+5", kZ, 5, 0, 1},
        {"RIEMANN", "RIEMANN(Z)+5", kZ, 5, 0, 1},
        {"EI", "EI(Z)+5", kZ, 5, 0, 1},
        {"DIGAMMA", "DIGAMMA(Z)+5", kZ, 5, 0, 1},
    });
}

TEST_F(Interpreter, UnguardedFaultsLeaveAsEMathError) {
    EXPECT_THROW(EvalComplex("Z^1000", Complex{4, 0}), rt::EOverflow);
    EXPECT_THROW(EvalComplex("TAN(Z)", Complex{0, 6000}), rt::EMathError); // inf / inf too
    EXPECT_THROW(EvalComplex("COTH(400)", {}), rt::EOverflow);
    // A huge extended value enters the arithmetic as a double: overflow when stored.
    EXPECT_THROW(EvalComplex("Z-1", Complex{1e400L, 0}), rt::EOverflow);
    // Nothing is left behind for the next call, and flags raised before a call
    // do not count.
    EXPECT_NO_THROW(EvalComplex("Z", kZ));
    volatile double zero = 0;
    double early = 1 / zero;
    rt::Settle(early);
    EXPECT_NO_THROW(EvalComplex("Z", kZ));
}

TEST_F(Interpreter, ProtectedRegionsKeepEarlierFaults) {
    // TANH catches its own overflow; the final test replaces the infinity.
    Check({{"TANH caught", "TANH(400)", {}, 1e30, 0, 4}});
    // EXP's own fault is caught; the power's overflow before it is kept.
    EXPECT_THROW(EvalComplex("Z^1000+EXP(1000)", Complex{4, 0}), rt::EOverflow);
    EXPECT_THROW(EvalComplex("Z^1000+TANH(400)", Complex{4, 0}), rt::EOverflow);
}

TEST_F(Interpreter, MalformedNumbers) {
    Check({
        {"two points", "1.2.3", {}, 1.2L, 0, 0, 1e-18L},
        {"a point alone", ".", {}, 0, 0, 0},
        {"trailing point", "5.", {}, 5, 0, 0},
        {"é inside a number", "7\xE9", {}, 7, 0, 0},
        {"too large for extended", "1" + std::string(5000, '0'), {}, 1e30, 0, 4},
        {"too small for extended", "0." + std::string(5000, '0') + "1", {}, 0, 0, 0},
    });
}

TEST_F(Interpreter, NestingDeeperThanTheBoundIsASyntaxError) {
    const auto nested = [](int depth, const std::string& open, const std::string& close) {
        std::string t;
        for (int i = 0; i < depth; ++i) t += open;
        t += "Z";
        for (int i = 0; i < depth; ++i) t += close;
        return t;
    };
    const int n = ComplexMaxNesting;
    Check({
        {"brackets at the bound", nested(n, "(", ")"), kZ, 1, 2, 0},
        {"brackets beyond", nested(n + 1, "(", ")"), kZ, 0, 0, 1},
        {"functions at the bound", nested(n, "TRE(", ")"), kZ, 1, 0, 0},
        {"functions beyond", nested(n + 1, "TRE(", ")"), kZ, 0, 0, 1},
        {"bars beyond", nested(n + 1, "|", "|"), kZ, 0, 0, 1},
        {"value read so far", "1+" + nested(n + 1, "(", ")"), kZ, 1, 0, 1},
        // The division by 0 while unwinding does not hide the syntax error.
        {"still status 1", "2/" + nested(n + 1, "(", ")"), kZ, 1e10, 0, 1},
        {"100 000 brackets", std::string(100000, '('), kZ, 0, 0, 1},
    });
}

TEST_F(Interpreter, BadInputNeverCrashesOrHangs) {
    Check({
        {"NUL as an operator", std::string("Z\0+1", 4), kZ, 1, 2, 1},
        {"NUL as a primary", std::string("\0", 1), kZ, 0, 0, 1},
        {"NUL inside a name", std::string("SI\0N(Z)", 7), kZ, 0, 0, 1},
        {"lone +", "+", kZ, 0, 0, 1},
        {"lone -", "-", kZ, 0, 0, 1},
        {"lone *", "*", kZ, 0, 0, 1},
        {"lone ^", "^", kZ, 0, 0, 1},
        {"lone (", "(", kZ, 0, 0, 1},
        {"lone )", ")", kZ, 0, 0, 1},
        {"lone |", "|", kZ, 0, 0, 1},
        // Each unreadable primary is (0, 0) and is read again as an operator:
        // 0 + (-0 * 0 / 0), and the division by 0 writes the status last.
        {"operators only", "+-*/^", kZ, 1e10, 0, 2},
        {"(- alone is (0- whose last character is not read", "(-", kZ, 0, 0, 0},
    });
    for (int c = 0x80; c <= 0xFF; ++c) {
        const std::string byte(1, static_cast<char>(c));
        for (const std::string& text : {byte, "Z+" + byte, byte + "Z", "(" + byte + "(Z"}) {
            EXPECT_NO_THROW(EvalComplex(text, kZ)) << c;
            EXPECT_LE(ComplexStatus, 1) << c;
        }
    }
}

TEST_F(Interpreter, MegabyteTextsAreReadInLinearTime) {
    const auto start = std::chrono::steady_clock::now();
    std::string sum;
    for (int i = 0; i < 500000; ++i) sum += "Z+";
    Check({{"a sum of 500 000 terms", sum, Complex{1e-6L, 0}, 0.5, 0, 0, 1e-9L}});
    std::string minus;
    for (int i = 0; i < 500000; ++i) minus += "(-";
    // Cut to "(0-" 128 times: 0 - (0 - (... (0))), the last "-" never read.
    Check({{"(- repeated", minus, kZ, 0, 0, 0}});
    Check({{"one long name", std::string(1 << 20, 'S'), kZ, 0, 0, 1},
           {"long name before (", std::string(1 << 20, 'A') + "(Z)", kZ, 0, 0, 1},
           {"a long number", std::string(1 << 20, '7'), kZ, 1e30, 0, 4}});
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10.0);
}

TEST_F(Interpreter, RandomTextsKeepTheContract) {
    // Texts from the formula alphabet and arbitrary bytes: either a value with
    // one of the four status codes or an EMathError, nothing else.
    std::mt19937 random(20240611);
    const std::string alphabet = "0123456789.,+-*/^%#&<>~\\()|]ZQPIESCTLAGRBDNOHMWXY\xB7\xC9\xE9 ";
    for (int n = 0; n < 5000; ++n) {
        std::string text(random() % 40, ' ');
        for (char& c : text)
            c = random() % 8 == 0 ? static_cast<char>(random() % 256)
                                  : alphabet[random() % alphabet.size()];
        try {
            EvalComplex(text,
                        Complex{(random() % 200) / 10.0L - 10, (random() % 200) / 10.0L - 10});
        } catch (const rt::EMathError&) {
            continue;
        }
        const int s = ComplexStatus;
        EXPECT_TRUE(s == 0 || s == 1 || s == 2 || s == 4) << text;
    }
}

} // namespace
