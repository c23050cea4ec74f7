// Reading a fuzzer input: raw doubles from the front (every bit pattern,
// NaNs and infinities included), small bounded integers, and the rest of the
// bytes as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t Remaining() const { return m_size - m_pos; }

    // Eight raw bytes as a double; 0 once the input is used up.
    double RawDouble() {
        std::uint64_t bits = 0;
        TakeBytes(&bits, sizeof bits);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

    std::uint8_t Byte() {
        std::uint8_t b = 0;
        TakeBytes(&b, 1);
        return b;
    }

    bool Bit() { return (Byte() & 1) != 0; }

    std::uint32_t U32() {
        std::uint32_t v = 0;
        TakeBytes(&v, sizeof v);
        return v;
    }

    // An integer in lo..hi (inclusive) from two bytes.
    int IntIn(int lo, int hi) {
        std::uint16_t v = 0;
        TakeBytes(&v, sizeof v);
        const long span = static_cast<long>(hi) - lo + 1;
        return static_cast<int>(lo + static_cast<long>(v) % span);
    }

    // A double that is usually one of the values where code tends to break
    // (zero, signed infinities, NaN, extremes, denormals, exact integers),
    // otherwise eight raw bytes.
    double InterestingDouble() {
        static constexpr double kTable[] = {
            0.0,
            -0.0,
            1.0,
            -1.0,
            0.5,
            2.0,
            36.0,
            90.0,
            180.0,
            270.0,
            360.0,
            -360.0,
            1e-12,
            1e-6,
            1e10,
            -1e10,
            1e15,
            1e16,
            9007199254740992.0, // 2^53
            1e30,
            -1e30,
            1e300,
            -1e300,
            2147483647.0,
            -2147483648.0,
            4294967296.0,
            std::numeric_limits<double>::max(),
            -std::numeric_limits<double>::max(),
            std::numeric_limits<double>::min(),
            std::numeric_limits<double>::denorm_min(),
            std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(),
            std::numeric_limits<double>::quiet_NaN(),
            -std::numeric_limits<double>::quiet_NaN(),
        };
        constexpr std::size_t kCount = sizeof kTable / sizeof kTable[0];
        const std::uint8_t pick = Byte();
        if (pick < kCount * 4) return kTable[pick % kCount];
        if (pick < 224) return static_cast<double>(static_cast<std::int8_t>(Byte())) / 4;
        return RawDouble();
    }

    std::string Rest() {
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), Remaining());
        m_pos = m_size;
        return s;
    }

  private:
    void TakeBytes(void* out, std::size_t n) {
        const std::size_t take = n < Remaining() ? n : Remaining();
        std::memcpy(out, m_data + m_pos, take);
        m_pos += take;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// A broken invariant: say which, and abort so that libFuzzer keeps the input.
[[noreturn]] inline void FuzzFail(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

// Equal as values, NaN equal to NaN (the bits of a NaN may differ).
template <class T>
bool SameValue(T a, T b) {
    return (a != a && b != b) || a == b;
}
