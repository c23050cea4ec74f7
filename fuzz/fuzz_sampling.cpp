// The window's field routines: FieldValue, FormatNumber and PlainNumber, the
// sample positions and the reduction of a value by the display mode.
//
// Input: Q, a number for FormatNumber, a span base and end, a complex value
// (four raw doubles each), a display mode byte and a sample index byte, then
// an interval field's text. FieldValue and the text routines never throw; the
// sample position and the reduction may raise rt::EMathError, which the window
// reports. The zoom writes FormatNumber's text into a field and reads it back
// with FieldValue, so that round trip is checked too.
//
// FieldValue reads at most the first kFieldBytes of the text; the text
// routines read all of it. The real interpreter's cost grows with the text,
// and its dearest function is dear: 64 KB of "EULERPHI(9999)+" terms take
// about 2.8 s instrumented, past the 2 s limit, where 8 KB take about 0.35 s.
#include "app/sampling.h"
#include "fuzz/fuzz_input.h"
#include "realformula/interpreter.h"
#include "runtime/fpu.h"

#include <cmath>

namespace {

constexpr std::size_t kFieldBytes = 8192;

bool PlainDecimal(const std::string& s) {
    std::size_t i = s[0] == '-' ? 1 : 0;
    const std::size_t digitsStart = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == digitsStart) return false;
    if (i == s.size()) return true;
    if (s[i] != '.') return false;
    const std::size_t decimals = s.size() - i - 1;
    if (decimals < 1 || decimals > 2) return false;
    for (std::size_t k = i + 1; k < s.size(); ++k)
        if (s[k] < '0' || s[k] > '9') return false;
    return s.back() != '0';
}

void CheckFormatNumber(double x) {
    const std::string s = sampling::FormatNumber(x);
    if (s.empty()) FuzzFail("FormatNumber gives an empty text");
    if (s == "-0") FuzzFail("FormatNumber gives -0");
    if (!std::isfinite(x)) return;
    if (!PlainDecimal(s)) FuzzFail("FormatNumber gives no plain decimal with at most 2 decimals");
    const double back = sampling::PlainNumber(s);
    if (std::fabs(back - x) > 0.005 + std::fabs(x) * 1e-15)
        FuzzFail("FormatNumber's text reads back more than half a hundredth away");
    if (std::fabs(x) < 1e9) {
        // What the zoom writes must read back through the real interpreter
        // as the same number.
        const double field = sampling::FieldValue(s);
        if (field != back) FuzzFail("FieldValue reads FormatNumber's text as another number");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const double q = in.InterestingDouble();
    const double x = in.InterestingDouble();
    const double base = in.InterestingDouble();
    const double other = in.InterestingDouble();
    const Complex w{in.InterestingDouble(), in.InterestingDouble()};
    const int mode = in.Byte() % 6;
    const int k = 1 + in.Byte() % sampling::GridPoints;
    const std::string text = in.Rest();

    ParamP = 0;
    ParamQ = q;
    RealStatus = 0;
    RandomState = 0x2545F491u;
    for (std::string& slot : UserFunctionText) slot.clear();
    rt::ClearFaults();

    const double field = sampling::FieldValue(text.substr(0, kFieldBytes));
    if (RealStatus != 0 && field != 0) FuzzFail("FieldValue of a failing field is not 0");
    if (field > ValueLimit) FuzzFail("FieldValue above ValueLimit");

    CheckFormatNumber(x);
    CheckFormatNumber(field);
    const double plain = sampling::PlainNumber(text);
    if (!std::isfinite(plain)) FuzzFail("PlainNumber gives a non-finite value");
    CheckFormatNumber(plain);

    try {
        sampling::SamplePosition(base, other, k);
    } catch (const rt::EMathError&) {
    }
    try {
        sampling::ReduceValue(w, mode);
    } catch (const rt::EMathError&) {
    }
    return 0;
}
