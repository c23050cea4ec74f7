// The six interval fields: their texts read as real formulas or plain
// numbers, the texts the zoom writes, and the plot ranges the values give.
#include "app/sampling.h"

#include "plot/plot3d.h"
#include "realformula/interpreter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace sampling {

double FieldValue(const std::string& text) {
    std::string formula = text;
    for (char& c : formula) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c == ',') c = '.';
    }
    RealStatus = 0;
    const double v = EvalReal(formula, 1.0);
    return RealStatus != 0 ? 0.0 : v;
}

namespace {

// x in fixed-point notation with the given decimals, trailing zeros and a
// trailing "." removed, never "-0".
std::string TrimmedFixed(double x, int decimals) {
    char buffer[800];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
    std::string s = ec == std::errc() ? std::string(buffer, end) : std::string("0");
    while (s.size() > 1 && s.back() == '0') s.pop_back();
    if (s.size() > 1 && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

} // namespace

std::string FormatNumber(double x) {
    return TrimmedFixed(x, 2);
}

std::string ZoomText(double previous, double next) {
    std::string s = FormatNumber(next);
    if (next == previous || !std::isfinite(next)) return s;
    const double step = std::fabs(next - previous);
    const auto movesOn = [&](const std::string& text) {
        const double written = PlainNumber(text);
        return written != previous && std::fabs(written - next) < step;
    };
    if (movesOn(s)) return s;
    // 17 significant digits write next exactly, so the loop always ends with
    // a text that moves on.
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(next))));
    for (int digits = 1; digits <= 17; ++digits) {
        s = TrimmedFixed(next, std::max(2, digits - 1 - exponent));
        if (movesOn(s)) break;
    }
    return s;
}

double PlainNumber(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return 0;
    if (text[start] == '+' && start + 1 < text.size() && text[start + 1] != '-') ++start;
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), v,
                                           std::chars_format::general);
    if (ec != std::errc() || !std::isfinite(v)) return 0;
    return v;
}

IntervalValues ReadIntervals(const IntervalTexts& texts) {
    IntervalValues values{};
    for (std::size_t k = 0; k < texts.size(); ++k) values[k] = FieldValue(texts[k]);
    return values;
}

namespace {

// A bound of the x interval pulled in by 0.1 % of the half-width toward the
// middle. For a symmetric interval the middle is exactly 0, so the bounds are
// exactly 0.999 times the fields.
double TowardMiddle(double bound, double middle) {
    return middle + (bound - middle) * 0.999;
}

} // namespace

IntervalValues RangesOf(const IntervalValues& values) {
    IntervalValues ranges{};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        double low = std::min(values[axis], values[axis + 3]);
        double high = std::max(values[axis], values[axis + 3]);
        if (axis == 0) {
            const double middle = low / 2 + high / 2; // no overflow near the largest doubles
            low = TowardMiddle(low, middle);
            high = TowardMiddle(high, middle);
        }
        ranges[axis] = low;
        ranges[axis + 3] = high == low ? low + 1 : high;
    }
    return ranges;
}

void ApplyIntervals(TPlot3D& plot, const IntervalValues& values) {
    const IntervalValues ranges = RangesOf(values);
    for (std::size_t axis = 0; axis < 3; ++axis)
        plot.SetRange(static_cast<TP3ScaleKind>(axis), ranges[axis], ranges[axis + 3]);
}

void SetJobIntervals(FillJob& job, const IntervalValues& values) {
    const IntervalValues ranges = RangesOf(values);
    job.xLow = ranges[0];
    job.yLow = ranges[1];
    job.zLow = ranges[2];
    job.xHigh = ranges[3];
    job.yHigh = ranges[4];
    job.zHigh = ranges[5];
}

bool BoundsReversed(const IntervalValues& values, int axis) {
    const auto k = static_cast<std::size_t>(axis);
    return values[k] > values[k + 3];
}
} // namespace sampling
