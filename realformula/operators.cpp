// The thirteen two-operand operators of the real formula language.
#include "realformula/faultguard.h"
#include "realformula/higherfunctions.h"
#include "realformula/parser.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using realformula_detail::Fail;
using realformula_detail::GuardedRule;

namespace {

// Integer exponents from here on are not looped over.
constexpr double kLoopBound = 2147483647.0;
// Longer integer power loops take their closed form (a 2^31 loop takes seconds).
constexpr std::int32_t kLongestPowerLoop = 1 << 20;

// nearest(left) mod nearest(right), the remainder taking the dividend's sign.
double Remainder(double left, double right) {
    if (right == 0) {
        RealStatus = 2;
        return ValueLimit;
    }
    const double divisor = std::nearbyint(right); // ties to even
    // A divisor that rounds to 0 (0 < |right| <= 0.5) is treated like a zero divisor.
    if (divisor == 0) {
        RealStatus = 2;
        return ValueLimit;
    }
    // fmod of the rounded values is the exact remainder: the same as the
    // 64-bit integer remainder wherever that exists, and still defined for
    // operands beyond 2^63. A zero remainder is +0, as an integer's is.
    const double r = std::fmod(std::nearbyint(left), divisor);
    return r == 0 ? 0.0 : r;
}

using Ext = long double;

// Runs of more factors take the closed form below.
constexpr double kLongestBinomialLoop = 1000;
// From 2^53 on b - 1 is no longer exact, so the run has no count of factors
// (and from 2^54 on b - 1 == b: it would never end).
constexpr double kCountableBelow = 9007199254740992.0;

// ln |a (a-1) ... (a-k+1) / (b (b-1) ... (b-k+1))| for b - k + 1 > 0 and no
// zero numerator; the gamma functions are paired so that large ones cancel.
Ext LogBinomialRun(Ext a, Ext b, Ext k) {
    if (k == 0) return 0;
    // Each gamma quotient goes in as its lower argument and the difference
    // of the two, formed from the operands: k - a itself is rounded when k is
    // large, and that rounding would cost digits.
    const Ext low = b - k + 1;
    const Ext beyond = k - b - 1; // (k - a) - (b + 1) is beyond - a
    if (a > k - 1) return LogGammaRatio(b + 1, a - b) + LogGammaRatio(a - k + 1, b - a);
    if (a < 0) return LogGammaRatio(b + 1, beyond - a) + LogGammaRatio(-a, low + a);
    // m positive numerators a .. a-m+1, then the negative ones a-m .. a-k+1.
    const Ext m = std::floor(a) + 1;
    const Ext fraction = a - m + 1; // in (0, 1)
    const Ext negativePart = LogGammaRatio(m - a, low - (m - a));
    if (a + 1 >= k - a)
        return LogGammaRatio(b + 1, a - b) + LogGammaRatio(fraction, k + m - 1 - 2 * a) +
               negativePart;
    return LogGammaRatio(b + 1, beyond - a) + LogGammaRatio(fraction, m) + negativePart;
}

double BinomialOverflow() {
    RealStatus = 2;
    return ValueLimit;
}

// The product of the factor loop for b > kLongestBinomialLoop, from gamma
// functions. The factor magnitudes |a-j| / (b-j) fall and then rise, so the
// running product's magnitude does too: the loop's overflow test can only fire
// on the last positive product. The result is the true product, also where the
// loop's running product would fall below the double range and stay 0.
double LongBinomial(double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b)) return BinomialOverflow();
    if (a == b) return 1;                         // every factor is 1
    const Ext k = std::ceil(static_cast<Ext>(b)); // the number of factors
    if (b >= kCountableBelow) return BinomialOverflow();
    // A zero factor: 0 with a sign flip for every negative factor after it.
    if (a == std::trunc(a) && a >= 0 && a <= k - 1)
        return std::fmod(k - 1 - a, 2) != 0 ? -0.0 : 0.0;
    const Ext negatives = a < 0 ? k : std::max(0.0L, k - std::floor(a) - 1);
    const bool negative = std::fmod(negatives, 2) != 0;
    const Ext logFinal = LogBinomialRun(a, b, k);
    // The largest positive product: the last one, or the one before a last negative factor.
    Ext logPositive = logFinal;
    if (negative) logPositive -= std::log((k - 1 - a) / (b - k + 1));
    if (logPositive > 24 || std::exp(logPositive) > ValueLimit) return BinomialOverflow();
    // A product below the double range is a 0 with the product's sign.
    const Ext r = std::exp(logFinal);
    return static_cast<double>(negative ? -r : r);
}

// a ~ b: the product of the factors a/b, (a-1)/(b-1), ... while b stays positive.
double Binomial(double a, double b) {
    if (RealStatus == 0 && !(b <= 0) && !(std::ceil(b) <= kLongestBinomialLoop))
        return LongBinomial(a, b);
    double r = 1;
    while (true) {
        if (b != 0)
            r = static_cast<long double>(r) * a / b;
        else
            RealStatus = 2;
        if (r > ValueLimit) RealStatus = 2;
        a -= 1;
        b -= 1;
        if (RealStatus != 0 || b <= 0) break;
    }
    return RealStatus != 0 ? ValueLimit : r;
}

// The outcome of the power loop below for an exponent too large to loop over
// quickly: the loop stops with status 4 at the first positive r above the
// limit, which for a > 1 is a^n and for a < -1 the largest even power up to
// n; otherwise its result is a^n. Only the loop's own rounding drift differs.
double LongIntegerPower(double a, std::int32_t n) {
    const long double magnitude = std::fabs(static_cast<long double>(a));
    const bool odd = n % 2 != 0;
    if (magnitude > 1) {
        const std::int32_t positive = a > 0 ? n : (odd ? n - 1 : n);
        // Above e^30 the power is past the limit; below it powl cannot overflow.
        if (positive * std::log(magnitude) > 30 ||
            std::pow(magnitude, static_cast<long double>(positive)) > ValueLimit) {
            RealStatus = 4;
            return ValueLimit;
        }
    }
    const long double power = std::pow(magnitude, static_cast<long double>(n));
    return static_cast<double>(a < 0 && odd ? -power : power);
}

// The integer power loop for an integer exponent n above 4.
double IntegerPower(double a, std::int32_t n) {
    // From |a| > 1e5 on the first product a*a is above the limit; stopping
    // here also keeps the products below the double range (|r| <= 1e15).
    if (std::fabs(a) > 1e5) {
        RealStatus = 4;
        return ValueLimit;
    }
    if (n > kLongestPowerLoop) return LongIntegerPower(a, n);
    double r = a;
    for (std::int32_t i = 2; i <= n; ++i) {
        const double next = r * a;
        if (next > ValueLimit) {
            RealStatus = 4;
            return ValueLimit;
        }
        // Exact shortcuts: a product that repeats (a = 1, r = 0) or only flips
        // sign (a = -1, r = 0 with a < 0) decides all remaining steps.
        if (next == r && std::signbit(next) == std::signbit(r)) return r;
        if (next == -r && std::signbit(next) != std::signbit(r)) return (n - i) % 2 == 0 ? next : r;
        r = next;
    }
    return r;
}

// The index 1/b is stored as a double, like every intermediate, so that
// 1/0.2 is 5 and the integer-power rules apply.
double Root(double a, double b) {
    if (b == 0) return Fail();
    const double e = 1.0 / b;
    return Power(a, e, true);
}

} // namespace

double NegativeBasePower(double a, long double b) {
    const long double n = std::trunc(b);
    if (std::fabs(n) < std::fabs(b)) return Fail();
    const long double e = b * std::log(static_cast<long double>(std::fabs(a)));
    if (std::fabs(e) > 15) return Fail();
    const bool odd = std::fmod(n, 2.0L) != 0;
    return static_cast<double>(odd ? -std::exp(e) : std::exp(e));
}

double Power(double a, long double b, bool rootLimit) {
    // A power after a failure elsewhere in the formula is refused.
    if (RealStatus >= 2) return Fail();
    if (b == 0) return 1;
    if (b == 1) return a;
    const long double ea = a;
    if (b == 2) return static_cast<double>(ea * ea);
    if (b == 3) return static_cast<double>(ea * ea * ea);
    if (b == 4) return static_cast<double>((ea * ea) * (ea * ea));
    if (b > 4 && b == std::trunc(b) && std::fabs(b) < kLoopBound)
        return IntegerPower(a, static_cast<std::int32_t>(b));
    if (a == 0) return 0;
    const long double e = b * std::log(std::fabs(ea));
    if (std::fabs(e) > (rootLimit ? 15 : 16)) return Fail();
    if (a > 0) return static_cast<double>(std::exp(e));
    return NegativeBasePower(a, b);
}

double ApplyOperator(unsigned char op, double left, double right) {
    return GuardedRule([&]() -> double {
        switch (op) {
        case '+':
            return left + right;
        case '-':
            return left - right;
        case '#': { // geometric mean
            const long double product = static_cast<long double>(left) * right;
            if (product < 0) return Fail();
            return static_cast<double>(std::sqrt(product));
        }
        case '&': // arithmetic mean
            return static_cast<double>((static_cast<long double>(left) + right) / 2);
        case ';':
            ParamP = right;
            return left;
        case '<':
            return left > right ? right : left;
        case '>':
            return left > right ? left : right;
        case '*':
        case 183: // middle dot
            if (std::fabs(left) >= ValueLimit || std::fabs(right) >= ValueLimit) {
                RealStatus = 2;
                return ValueLimit;
            }
            return left * right;
        case '/':
            if (right == 0) {
                RealStatus = 2;
                return ValueLimit;
            }
            return static_cast<double>(static_cast<long double>(left) / right);
        case '%':
            return Remainder(left, right);
        case '~':
            return Binomial(left, right);
        case '^':
            return Power(left, right, false);
        case '\\':
            return Root(left, right);
        default:
            return 0;
        }
    });
}
