// The compiled form against the interpreter: every kind of step, random texts,
// the fuzz corpora, the evaluation state and bad input.
#include "complexformula/compiled.h"
#include "complexformula/interpreter.h"
#include "tests/complexformula/same_outcome.h"

#include "runtime/fpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using complextest::SameOutcome;

class Compiled : public ::testing::Test {
  protected:
    void SetUp() override { ComplexParamQ = ComplexParamP = Complex{}; }
    void TearDown() override { SetUp(); }
};

const std::vector<Complex> kPoints = {
    {1, 2},     {0, 0},      {-3.774L, -3.7778L}, {4, 0},   {1e-170L, 0}, {1e30L, 0},
    {0, 1e30L}, {-4, -0.0L}, {HUGE_VALL, 0},      {NAN, 1}, {1e400L, 0},  {0.7L, -1.3L},
};

// Texts that exercise each kind of step where the order of status writes and
// fault checks decides the outcome.
TEST_F(Compiled, EqualsTheInterpreterOnEveryKindOfStep) {
    ComplexParamQ = Complex{0.5L, 0};
    ComplexParamP = Complex{3, -1};
    const std::vector<std::string> texts = {
        "SIN(Z+Q)*Z/10",
        "Z-1-2",
        "Z^2^3",
        "-Z^2",
        "(-Z^2)",
        "2*-Z",
        "P*Z+PI-\xC9",
        "I*I",
        "|Z-|Z||",
        "1,5*Z",
        "Z+",
        "Z)+5",
        "2Z+1",
        "--Z",
        "X+1",
        "S(Z)",
        "T(Z)",
        "RT(Z)",
        "TN(Z)",
        "SIN",
        "SQR(Z",
        "Z/0+1X",
        "(Z/0)+Z^2",
        "EXP(1000)+Z^2",
        "EXP(Z*300)",
        "Z^1000",
        "(Z^1000)^2",
        "Z^1000+EXP(1000)",
        "Z^1000+TANH(400)",
        "Z-1",
        "|1" + std::string(3000, '0') + "|+T(1)",
        "|1" + std::string(3000, '0') + "|+T(*SQR(Z)", // leaves at the check after T, status 1
        "0.75*Z+1.5*Z+3*Z+6",                          // one mantissa, four exponents: four numbers
        "|1" + std::string(3000, '0') + "|^2",
        "1" + std::string(5000, '0'),
        "SQR(Z)/10000000000",
        "Z*2",
        "1/Z^200",
        "1/EXP(0-400)",
        "Z%2+(Z~2)+(Z&2)+(Z<2)+(Z>2)",
        "GAMMA(Z)+BI0(Z)-BJ0(Z)",
        "SEC(Z)*CSC(Z)/COT(Z)",
        "DN(Z)+SN(Z)*CN(Z)",
        "RIEMANN(Z)",
        "EI(Z)-DIGAMMA(Z)",
        "TANH(Z)+COTH(Z)+TAN(Z)+COSH(Z)+SINH(Z)",
        "LN(Z)+SQRT(Z)+ABS(Z)",
        "TRE(Z)+TIM(Z)+SQR(Z)+COS(Z)",
        "RE(Z)+IM(Z)*CONJ(Z)-ARG(Z)+ZETA(Z)",
        "1E-3+2.5E10*Z-1E+3/1E5000",
        "Z\xB7Z",
        "+-*/^",
        "",
        std::string("Z\0+1", 4),
        "(((" + std::string(600, '(') + "Z",
        "2/" + std::string(501, '(') + "Z",
        std::string(501, '|') + "Z",
        "1.2.3i\xE9"
        "5",
    };
    for (const std::string& text : texts) {
        const CompiledFormula compiled(text);
        EXPECT_FALSE(compiled.Interpreted()) << text;
        for (const Complex& z : kPoints) EXPECT_TRUE(SameOutcome(text, compiled, z));
    }
}

TEST_F(Compiled, EqualsTheInterpreterOnRandomTexts) {
    std::mt19937 random(20261208);
    const std::string alphabet = "0123456789.,+-*/^%#&<>~\\()|]ZQPIESCTLAGRBDNOHMWXY\xB7\xC9\xE9";
    for (int n = 0; n < 3000; ++n) {
        std::string text(random() % 40, ' ');
        for (char& c : text)
            c = random() % 8 ? alphabet[random() % alphabet.size()] : char(random() % 256);
        const CompiledFormula compiled(text);
        const Complex z{(random() % 200) / 10.0L - 10, (random() % 200) / 10.0L - 10};
        ASSERT_TRUE(SameOutcome(text, compiled, z));
    }
}

// Every input the fuzzers kept for the complex interpreter, decoded as they
// read it (Z and Q as raw doubles, then the text; the compiled target's own
// inputs carry Q, P and three points). No text needs the interpreter's
// fallback; the count is reported as a test property.
TEST_F(Compiled, ReplaysTheFuzzCorpora) {
    namespace fs = std::filesystem;
    const fs::path corpora = fs::path(TESSAREL_SOURCE_DIR) / "fuzz" / "corpus";
    int texts = 0;
    int fallbacks = 0;
    for (const char* target : {"fuzz_evalcomplex", "fuzz_compiled"}) {
        const bool own = std::string(target) == "fuzz_compiled";
        const std::size_t head = own ? 64 : 24;
        ASSERT_TRUE(fs::is_directory(corpora / target)) << target;
        for (const auto& entry : fs::directory_iterator(corpora / target)) {
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(file), {}};
            if (bytes.size() < head) continue;
            double d[8] = {};
            std::memcpy(d, bytes.data(), head);
            const std::string text = bytes.substr(head);
            std::vector<Complex> points;
            if (own) {
                ComplexParamQ = Complex{d[0], 0};
                ComplexParamP = Complex{d[1], 0};
                for (int k = 2; k < 8; k += 2) points.push_back(Complex{d[k], d[k + 1]});
            } else {
                ComplexParamQ = Complex{d[2], 0};
                ComplexParamP = Complex{};
                points.push_back(Complex{d[0], d[1]});
            }
            const CompiledFormula compiled(text);
            ++texts;
            if (compiled.Interpreted()) ++fallbacks;
            for (const Complex& z : points)
                EXPECT_TRUE(SameOutcome(text, compiled, z)) << entry.path().filename();
        }
    }
    EXPECT_GT(texts, 1000);
    EXPECT_EQ(fallbacks, 0);
    RecordProperty("texts", texts);
    RecordProperty("fallbacks", fallbacks);
}

// The module wrapper writes the status back also when an error leaves, and
// the explicit state leaves the module variables alone.
TEST_F(Compiled, StateOnTheModuleOrOfItsOwn) {
    const CompiledFormula power("Z/0+1" + std::string(400, '0')); // too large for a double
    ComplexStatus = 0;
    EXPECT_THROW(power.Eval(Complex{4, 0}), rt::EOverflow);
    EXPECT_EQ(ComplexStatus, 2);

    const CompiledFormula withQ("Q+P*Z");
    CEvalState state{7, Complex{2, 0}, Complex{0, 1}};
    ComplexStatus = 4;
    const Complex v = withQ.Eval(Complex{1, 0}, state);
    EXPECT_EQ(v.re, 2);
    EXPECT_EQ(v.im, 1);
    EXPECT_EQ(state.Status, 0);
    EXPECT_EQ(ComplexStatus, 4);
}

// What the interpreter survives, the translation survives, in bounded memory.
TEST_F(Compiled, BadInputInBoundedMemory) {
    std::string sum;
    for (int i = 0; i < 500000; ++i) sum += "Z+";
    std::string numbers;
    for (int i = 0; numbers.size() < (1u << 20); ++i) numbers += std::to_string(i) + "-";
    const std::vector<std::string> texts = {
        sum,
        numbers,
        std::string(1 << 20, 'S'),
        std::string(1 << 20, '7'),
        std::string(1 << 20, '-'),
        std::string(100000, '('),
        std::string(1 << 20, '\0'),
        std::string(1 << 20, '\xFF'),
    };
    for (const std::string& text : texts) {
        const CompiledFormula compiled(text);
        EXPECT_LE(compiled.ProgramBytes(), 6 * text.size() + 64) << text.substr(0, 8);
        EXPECT_TRUE(SameOutcome(text, compiled, Complex{1e-6L, 0})) << text.substr(0, 8);
    }
}

} // namespace
