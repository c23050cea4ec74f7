// NaN and the infinities, made and recognised by the bit pattern of a double.
#include "complexformula/nonfinite.h"

#include <bit>
#include <cstdint>

namespace {

constexpr std::uint64_t kExponentMask = 0x7FF0000000000000ULL;
constexpr std::uint64_t kFractionMask = 0x000FFFFFFFFFFFFFULL;

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

} // namespace

const double NaNValue = std::bit_cast<double>(std::uint64_t{0x7FFFFFFFFFFFFFFFULL});
const double PlusInfinity = std::bit_cast<double>(std::uint64_t{0x7FF0000000000000ULL});
const double MinusInfinity = std::bit_cast<double>(std::uint64_t{0xFFF0000000000000ULL});

bool IsNaN(double v) {
    const std::uint64_t b = Bits(v);
    return (b & kExponentMask) == kExponentMask && (b & kFractionMask) != 0;
}

bool IsInfinite(double v) {
    const std::uint64_t b = Bits(v);
    return (b & kExponentMask) == kExponentMask && (b & kFractionMask) == 0;
}

double GetNaN() {
    return NaNValue;
}

double GetInfinity() {
    return PlusInfinity;
}

double SignedInfinity(double v) {
    return v >= 0 ? PlusInfinity : MinusInfinity;
}
