// The complex interpreter: precedence and primaries, where reading stops,
// function names and values, status codes and substitute values, text
// preparation, unguarded faults, the nesting bound and bad input.
#include "complexformula/compiled.h"
#include "complexformula/interpreter.h"
#include "complexformula/keywords.h"
#include "complexformula/operations.h"
#include "tests/complexformula/same_outcome.h"

#include "runtime/fpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

const long double kPi = std::numbers::pi_v<long double>;
const Complex kZ{1, 2};

struct Row {
    const char* name;
    std::string text;
    Complex z;
    long double re, im;
    int status;
    long double tol = 1e-14L; // relative to max(1, |expected part|)
};

// Extended-precision comparison; gtest's own floating-point checks use double.
::testing::AssertionResult NearL(long double got, long double want, long double tol) {
    if (std::fabs(got - want) <= tol * std::max(1.0L, std::fabs(want)))
        return ::testing::AssertionSuccess();
    char text[96];
    std::snprintf(text, sizeof text, "got %.21Lg, want %.21Lg", got, want);
    return ::testing::AssertionFailure() << text;
}

// The parameters are module state; every test starts from the program's values.
class Interpreter : public ::testing::Test {
  protected:
    void SetUp() override { ComplexParamQ = ComplexParamP = Complex{}; }
    void TearDown() override { SetUp(); }

    static void Check(const std::vector<Row>& rows) {
        for (const auto& row : rows) {
            SCOPED_TRACE(row.name);
            Complex v;
            ASSERT_NO_THROW(v = EvalComplex(row.text, row.z));
            EXPECT_EQ(ComplexStatus, row.status);
            EXPECT_TRUE(NearL(v.re, row.re, row.tol)) << "real part";
            EXPECT_TRUE(NearL(v.im, row.im, row.tol)) << "imaginary part";
        }
    }
};

TEST_F(Interpreter, PrecedenceAssociativityAndPrimaries) {
    ComplexParamQ = Complex{0.5L, 0};
    ComplexParamP = Complex{3, -1};
    Check({
        // mpmath: sin(1.5+2i)(1+2i)/10 = 0.32396634282983346796 + 0.77620966370490783223i
        {"default formula", "SIN(Z+Q)*Z/10", kZ, 0.32396634282983346796L, 0.77620966370490783223L,
         0},
        {"minus from the left", "Z-1-2", kZ, -2, 2, 0},
        {"power from the left", "Z^2^3", {1, 1}, 0, -8, 0}, // (2i)^3, where Z^8 would be 16
        {"numbers too", "2^3^2", {}, 64, 0, 0},
        {"times before plus", "Z+2*3", kZ, 7, 2, 0},
        {"power before times", "2*Z^2", kZ, -6, 8, 0},
        {"leading minus binds to the primary", "-Z^2", {1, 1}, 0, 2, 0},
        {"minus after ( subtracts from 0", "(-Z^2)", {1, 1}, 0, -2, 0},
        {"minus after an operator", "2*-Z", kZ, -2, -4, 0},
        {"] closes like )", "(Z+1]*2", kZ, 4, 4, 0},
        {"middle dot multiplies", "2\xB7Z", kZ, 2, 4, 0},
        {"# is additive and 0", "1#2+3", {}, 3, 0, 0},
        {"\\ binds like ^ and is 0", "3*2\\5+1", {}, 1, 0, 0},
        {"I", "I*I", {}, -1, 0, 0},
        {"PI", "PI", {}, kPi, 0, 0, 0},
        {"P", "P*Z", kZ, 5, 5, 0},
        {"P last", "Z+P", kZ, 4, 1, 0},
        {"É is e", "\xC9", {}, 2.71828182845904523536L, 0, 0, 1e-19L},
        {"nested modulus bars", "|Z-|Z||", {3, 4}, std::sqrt(20.0L), 0, 0},
        {"decimal comma", "1,5*Z", kZ, 1.5, 3, 0},
        {"extended number", "3.14159265358979323846264338", {}, kPi, 0, 0, 0},
    });
}

TEST_F(Interpreter, WhereReadingStops) {
    Check({
        {"final + left unread", "Z+", kZ, 1, 2, 1},
        {"final * left unread", "Z*", kZ, 1, 2, 1},
        {") ends the top level", "Z)+5", kZ, 1, 2, 0},
        {"missing ) at the end", "2*(Z+1", kZ, 4, 4, 0},
        {"last character left unread", "2Z", kZ, 2, 0, 1},
        {"any other is", "2Z+1", kZ, 2, 0, 1},
        {"an E without digits is no exponent", "1E+Z", {}, 1, 0, 1},
        {"blank", "Z +1", kZ, 1, 2, 1},
        // An unreadable primary is (0, 0) and its character is then read as an operator.
        {"two minus signs", "--Z", kZ, -1, -2, 1},
        {"unknown letter", "X+1", {}, 0, 0, 1},
        {"small letters", "z", kZ, 0, 0, 1},
    });
}

// Names and notation added where the text was a syntax error before.
TEST_F(Interpreter, AddedNamesAndExponents) {
    Check({
        {"RE", "RE(3+4*I)", {}, 3, 0, 0},
        {"IM", "IM(3+4*I)", {}, 0, 4, 0},
        {"CONJ", "CONJ(Z)", kZ, 1, -2, 0},
        {"ARG", "ARG(Z)", {-1, 1}, 3 * kPi / 4, 0, 0, 1e-18L},
        {"ARG on the cut from below", "ARG(Z)", {-1, -0.0L}, kPi, 0, 0, 0},
        {"ARG(0)", "ARG(0)", {}, 0, 0, 0},
        {"ZETA(2)", "ZETA(2)", {}, kPi * kPi / 6, 0, 0, 1e-14L},
        {"ZETA at its pole", "ZETA(1)", {}, 1e30, 0, 4},
        {"ZETA far up", "ZETA(Z)", {0.5L, 2e4L}, 0, 0, 2},
        {"exponent", "1E-3", {}, 0.001L, 0, 0, 0},
        {"exponent after a point", "2.5E10", {}, 2.5e10L, 0, 0, 0},
        {"exponent with a plus", "1E+3*Z", kZ, 1000, 2000, 0, 0},
        {"exponent beyond extended", "1E5000", {}, 1e30, 0, 4},
        {"exponent below extended", "1E-5000", {}, 0, 0, 0},
        {"added names only whole", "CON(Z)", kZ, 0, 0, 1},
        {"IM only as a whole name", "IMA(Z)", kZ, 0, 1, 1},
        {"ZETA only as a whole name", "ZET(Z)", kZ, 1, 2, 1},
        {"RE inside TRE still no function", "R(Z)", kZ, 0, 0, 1},
    });
}

// The help, the completion and the README tables describe every name.
TEST(Keywords, EveryNameDescribedInTheListsOrder) {
    const std::string_view list = cformula::ComplexKeywordList;
    std::vector<std::pair<std::string_view, bool>> names; // (name, added)
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find(' ', start), list.size());
        names.emplace_back(list.substr(start, end - start),
                           start >= cformula::ComplexOriginalKeywordsSize);
        start = end + 1;
    }
    std::size_t k = 0;
    for (const auto& d : cformula::ComplexKeywordDescriptions()) {
        EXPECT_FALSE(d.description.empty()) << d.name;
        if (d.kind != cformula::KeywordDescription::Function) continue;
        ASSERT_LT(k, names.size()) << d.name << " is no name of the list";
        ASSERT_EQ(d.name, names[k].first) << "no description of " << names[k].first;
        EXPECT_EQ(d.added, names[k].second) << d.name;
        ++k;
    }
    EXPECT_EQ(k, names.size()) << "no description of " << names.back().first;
}

// The README and the manual page name every function, and the manual page
// says what each computes in the table's own words.
TEST(Keywords, ReadmeAndManualPageFollowTheTable) {
    const auto text = [](const char* file) {
        std::string content;
        if (std::FILE* f =
                std::fopen((std::string(TESSAREL_SOURCE_DIR) + "/" + file).c_str(), "rb")) {
            char buffer[4096];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
                content.append(buffer, n);
            std::fclose(f);
        }
        return content;
    };
    const std::string readme = text("README.md");
    const std::string manual = text("packaging/tessarel.1");
    ASSERT_FALSE(readme.empty());
    ASSERT_FALSE(manual.empty());
    for (const auto& d : cformula::ComplexKeywordDescriptions()) {
        if (d.kind != cformula::KeywordDescription::Function) continue;
        const std::string name(d.name);
        EXPECT_NE(readme.find("`" + name + "`"), std::string::npos) << name << " in README.md";
        std::string line;
        for (char c : d.description) line += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(manual.find(".B " + name + "\n" + line), std::string::npos)
            << name << " in tessarel.1";
    }
}

TEST_F(Interpreter, FunctionNamesAndFragments) {
    Check({
        {"S is SQR", "S(Z)", kZ, -3, 4, 0},
        {"E is EXP", "E(0)", {}, 1, 0, 0},
        {"C is COS", "C(0)", {}, 1, 0, 0},
        {"SQR SQRT is SQR", "SQR SQRT(Z)", kZ, -3, 4, 0},
        {"COTH found whole", "COTH(1)", {}, 1.3130352854993313036L, 0, 0},
        {"T starts no name", "T(Z)", kZ, 0, 0, 1},
        {"RT starts no name", "RT(Z)", kZ, 0, 0, 1},
        {"TN is no name", "TN(Z)", kZ, 0, 0, 1},
        {"X starts no function", "XYZ(Z)", kZ, 0, 0, 1},
        {"no ( at all", "SIN", {}, 0, 0, 1},
        {"argument up to the end", "SQR(Z", kZ, -3, 4, 0},
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
        {"LN in extended", "LN(Z)", w, 0.3896624384004988331L, -1.0768549578753154424L, 0, 1e-18L},
        {"SQRT", "SQRT(Z)", w, 1.0431879758757143648L, -0.62309000394138089559L, 0},
        {"power", "Z^(1+I)", w, 3.3504009502784949174L, -2.7494298991449373337L, 0},
        {"TAN(200) is computed", "TAN(200)", {}, -1.7925274837903817967L, 0, 0},
        {"SQR", "SQR(3+4*I)", {}, -7, 24, 0},
        {"ABS", "ABS(3+4*I)", {}, 5, 0, 0},
        {"TRE", "TRE(3+4*I)", {}, 3, 0, 0},
        {"TIM", "TIM(3+4*I)", {}, 0, 4, 0},
        {"LN(-1)", "LN(-1)", {}, 0, kPi, 0, 0},
        {"LN on the imaginary axis", "LN(Z)", {0, -2}, std::log(2.0L), -kPi / 2, 0, 1e-18L},
        // Z*-1 has the imaginary part -0; the angle is +pi all the same.
        {"LN on the cut from below", "LN(Z*-1)", {1, 0}, 0, kPi, 0, 0},
        {"SQRT on the cut from below", "SQRT(Z*-1)", {4, 0}, 0, 2, 0},
        {"power on the cut from below", "Z^0.5", {-4, -0.0L}, 0, 2, 0},
        // Denominators without cancellation near the poles (mpmath).
        {"COT near 0", "COT(Z)", {1e-9L, 0}, 9.9999999999999994e+8L, 0, 0},
        {"COTH near 0", "COTH(Z)", {1e-9L, 0}, 9.9999999999999994e+8L, 0, 0},
        {"TAN near its pole",
         "TAN(Z)",
         {1.5707963267948966L, 1e-9L},
         61.232339957367422L,
         9.9999999999999619e+8L,
         0},
        {"TANH near its pole",
         "TANH(Z)",
         {1e-9L, 1.5707963267948966L},
         9.9999999999999619e+8L,
         61.232339957367422L,
         0},
    });
}

TEST_F(Interpreter, StatusCodesAndSubstituteValues) {
    Check({
        {"division by 0", "Z/0", {1, 1}, 1e10, 0, 2},
        {"0^0", "0^0", {}, 1, 0, 0},
        {"0^2", "0^2", {}, 0, 0, 0},
        {"Z^0", "Z^0", {-3, 7}, 1, 0, 0},
        {"LN(0)", "LN(0)", {}, 0, 0, 2},
        // SQR's substitute (1e20, 0) never passes the final test on its own.
        {"SQR out of range", "SQR(Z)/10000000000", {1e30L, 0}, 1e10, 0, 2},
        {"SQR substitute alone", "SQR(Z)", {1e30L, 0}, 1e30, 0, 4},
        {"product out of range", "Z*2", {-1e30L, 0}, 1e10, 0, 2},
        {"right operand size-tested", "2*Z", {-1e30L, 0}, 1e10, 0, 2},
        {"imaginary parts not size-tested", "Z*2", {0, 1e30L}, 1e30, 0, 4},
        {"SIN beyond 120", "SIN(200)", {}, 0, 0, 0},
        {"COSH beyond 120", "COSH(Z)", {1, -120}, 0, 0, 0},
        {"EXP overflow", "EXP(1000)", {}, 1e5, 0, 4},
        {"EXP overflow in extended", "EXP(20000)", {}, 1e5, 0, 4},
        {"EXP(100) too large a result", "EXP(100)", {}, 1e30, 0, 4},
        {"large-argument limit TANH", "TANH(100*Z)", {4, 0}, 1, 0, 0},
        {"large-argument limit TANH negative", "TANH(100*Z)", {-3.56L, 0}, -1, 0, 0},
        {"large-argument limit COTH", "COTH(100*Z)", {4, 1}, 1, 0, 0},
        {"large-argument limit TAN", "TAN(100*Z)", {1, 4}, 0, 1, 0},
        {"large-argument limit COT", "COT(100*Z)", {1, 4}, 0, -1, 0},
        {"large-argument limit SEC", "SEC(Z)", {0, 800}, 0, 0, 0},
        {"large-argument limit CSC", "CSC(Z)", {1, 711}, 0, 0, 0},
        {"CSC(0), COT(0)", "CSC(0)+COT(0)", {}, 0, 0, 0},
        {"operators that compute nothing", "Z%2+(Z~2)+(Z&2)+(Z<2)+(Z>2)", kZ, 0, 0, 0},
        {"power after a division by 0", "(Z/0)+Z^2", kZ, 1e10, 0, 2},
        {"power after an overflow", "EXP(1000)+Z^2", kZ, 1e5, 0, 2},
        {"a later syntax error wins", "Z/0+1X", kZ, 1e10 + 1, 0, 1},
        {"final test at the limit", "Z", {1e15L, 0}, 1e15L, 0, 0},
        {"final test above it", "Z", {1.0000001e15L, 0}, 1e30, 0, 4},
        {"infinite Z", "Z", {HUGE_VALL, 0}, 1e30, 0, 4},
        {"empty text", "", kZ, 0, 0, 1},
        {"malformed number", "1.2.3", {}, 1.2L, 0, 0, 1e-18L},
        {"number beyond extended", "1" + std::string(5000, '0'), {}, 1e30, 0, 4},
        {"number too large to square", "1" + std::string(2500, '0'), {}, 1e30, 0, 4},
        {"number below extended", "0." + std::string(5000, '0') + "1", {}, 0, 0, 0},
        {"tiny divisor", "Z/Z", {1e-170L, 0}, 1, 0, 0},
        {"huge divisor", "Z/Z", {1e160L, 0}, 1, 0, 0},
        {"reciprocal of a tiny power", "1/Z^200", {0.1L, 0}, 1e30, 0, 4},
        {"reciprocal of a tiny EXP", "1/EXP(0-400)", {}, 1e30, 0, 4},
    });
    EvalComplex("Z", kZ);
    EXPECT_EQ(ComplexStatus, 0); // reset by every call
}

TEST_F(Interpreter, TextPreparation) {
    EXPECT_EQ(CPrepareText("1,5+2,25"), "1.5+2.25");
    EXPECT_EQ(CPrepareText("((-(-Z)))"), "((0-(0-Z)))");
    // After each "(-" the text keeps at most 255 characters.
    const std::string tail(300, 'Z');
    EXPECT_EQ(CPrepareText("1+(-" + tail), "1+(0-" + tail.substr(0, 254));
    EXPECT_EQ(CPrepareText("(-" + std::string(100, '1') + "(-" + tail),
              "(0-" + std::string(100, '1') + "(0-" + std::string(152, 'Z'));
}

TEST_F(Interpreter, UnguardedFaultsLeaveAsEMathError) {
    EXPECT_THROW(EvalComplex("Z^1000", {4, 0}), rt::EOverflow);
    // The first fault is reported, not the invalid operation that follows it.
    EXPECT_THROW(EvalComplex("(Z^1000)^2", {4, 0}), rt::EOverflow);
    // Inside one function too: Z ln Z overflows before e^inf is invalid.
    const long double far = -3.1904774928661112e305L;
    EXPECT_THROW(EvalComplex("Z^Z", {far, far}), rt::EOverflow);
    EXPECT_THROW(EvalComplex("Z-1", {1e400L, 0}), rt::EOverflow); // stored to double
    // The protected regions of EXP and TANH keep an earlier fault.
    EXPECT_THROW(EvalComplex("Z^1000+EXP(1000)", {4, 0}), rt::EOverflow);
    EXPECT_THROW(EvalComplex("Z^1000+TANH(400)", {4, 0}), rt::EOverflow);
    // Nothing is left for the next call; flags raised before a call do not count.
    volatile double zero = 0;
    double early = 1 / zero;
    rt::Settle(early);
    EXPECT_NO_THROW(EvalComplex("Z", kZ));
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
        {"bars at the bound", nested(n, "|", "|"), kZ, std::sqrt(5.0L), 0, 0},
        {"bars beyond", nested(n + 1, "|", "|"), kZ, 0, 0, 1},
        {"value read so far", "1+" + nested(n + 1, "(", ")"), kZ, 1, 0, 1},
        // The division by 0 while unwinding does not hide the syntax error.
        {"still status 1", "2/" + nested(n + 1, "(", ")"), kZ, 1e10, 0, 1},
        {"100 000 brackets", std::string(100000, '('), kZ, 0, 0, 1},
    });
}

TEST_F(Interpreter, BadInputNeverCrashesOrHangs) {
    std::string sum;
    for (int i = 0; i < 500000; ++i) sum += "Z+";
    Check({
        {"NUL as an operator", std::string("Z\0+1", 4), kZ, 1, 2, 1},
        {"NUL inside a name", std::string("SI\0N(Z)", 7), kZ, 0, 0, 1},
        {"lone (", "(", kZ, 0, 0, 1},
        {"lone |", "|", kZ, 0, 0, 1},
        // 0 + (-0 * 0 / 0): the division by 0 writes the status last.
        {"operators only", "+-*/^", kZ, 1e10, 0, 2},
        {"a megabyte sum", sum, {1e-6L, 0}, 0.5, 0, 1, 1e-9L}, // ends in "+"
        {"a megabyte name", std::string(1 << 20, 'S'), kZ, 0, 0, 1},
        {"a megabyte number", std::string(1 << 20, '7'), kZ, 1e30, 0, 4},
    });
    // Each text also gives the same outcome twice, and the compiled form gives it.
    for (int c = 0x80; c <= 0xFF; ++c) {
        const std::string byte(1, static_cast<char>(c));
        for (const std::string& text : {byte, "Z+" + byte, byte + "Z", "(" + byte + "(Z"}) {
            EXPECT_NO_THROW(EvalComplex(text, kZ)) << c;
            EXPECT_LE(ComplexStatus, 1) << c;
            EXPECT_TRUE(complextest::SameOutcome(text, CompiledFormula(text), kZ)) << c;
        }
    }
    // Random texts: a value with one of the four status codes, or an EMathError.
    std::mt19937 random(20240611);
    const std::string alphabet = "0123456789.,+-*/^%#&<>~\\()|]ZQPIESCTLAGRBDNOHMWXY\xB7\xC9\xE9 ";
    for (int n = 0; n < 5000; ++n) {
        std::string text(random() % 40, ' ');
        for (char& c : text)
            c = random() % 8 ? alphabet[random() % alphabet.size()] : char(random() % 256);
        const Complex z{(random() % 200) / 10.0L - 10, (random() % 200) / 10.0L - 10};
        EXPECT_TRUE(complextest::SameOutcome(text, CompiledFormula(text), z));
        try {
            EvalComplex(text, z);
        } catch (const rt::EMathError&) {
            continue;
        }
        EXPECT_TRUE(ComplexStatus <= 2 || ComplexStatus == 4) << text;
    }
}

} // namespace
