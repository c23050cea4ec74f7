// EvalReal on any text, any X, Q and P.
//
// Input: X, Q and P as three raw doubles, then the text. A line break splits
// the text: the first line is the formula, the following lines fill the user
// function slots F1..F5, so that the nested evaluations are exercised too.
// The real interpreter reports every failure as a status and a value, so any
// exception is a finding. Each input is evaluated twice from the same module
// state (the MCARLO generator included); both calls must agree.
#include "fuzz/fuzz_input.h"
#include "realformula/interpreter.h"
#include "runtime/fpu.h"

#include <algorithm>
#include <cmath>

namespace {

struct Outcome {
    double value = 0;
    std::uint8_t status = 0;
    double paramP = 0;
};

Outcome Evaluate(const std::string& text, double x, double q, double p) {
    ParamP = p;
    ParamQ = q;
    ParamR = 0;
    RealStatus = 0;
    RandomState = 0x2545F491u;
    rt::ClearFaults();
    Outcome out;
    out.value = EvalReal(text, x);
    out.status = RealStatus;
    out.paramP = ParamP;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    if (in.Remaining() < 24) return 0;
    const double x = in.RawDouble();
    const double q = in.RawDouble();
    const double p = in.RawDouble();
    const std::string all = in.Rest();

    std::size_t cut = all.find('\n');
    const std::string formula = all.substr(0, cut);
    for (std::string& slot : UserFunctionText) {
        if (cut == std::string::npos) {
            slot.clear();
            continue;
        }
        const std::size_t next = all.find('\n', cut + 1);
        // User functions may call each other, which multiplies their cost level by
        // level; short bodies keep an input within the time limit.
        constexpr std::size_t kLongestBody = 64;
        const std::size_t length = next == std::string::npos ? std::string::npos : next - cut - 1;
        slot = all.substr(cut + 1, std::min(length, kLongestBody));
        cut = next;
    }

    const Outcome first = Evaluate(formula, x, q, p);
    const Outcome second = Evaluate(formula, x, q, p);

    if (first.status > 4) FuzzFail("RealStatus above 4");
    if (first.value > ValueLimit) FuzzFail("a result above ValueLimit");
    if (first.status != second.status) FuzzFail("a second call sets another status");
    if (!SameValue(first.value, second.value)) FuzzFail("a second call returns another value");
    if (!SameValue(first.paramP, second.paramP)) FuzzFail("a second call leaves another P");
    if (formula.empty() && (first.status != 1 || first.value != 0))
        FuzzFail("the empty text does not give 0 with status 1");
    return 0;
}
