// Base definitions shared by the plot component's units: colours, the
// enumeration types, the shift state of mouse events, and the helpers for
// scale ticks, label text and the frame around the control.
#pragma once

#include <cstdint>
#include <string>

class Canvas;

// 24-bit RGB with red in the low byte, then green, then blue. A value whose
// high byte is 0xFF names a system colour (its low byte is the index).
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// System colours used by the window (index in the low byte).
inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowText = clSystemColor | 8;

constexpr int GetRValue(TColor c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(TColor c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(TColor c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
// The plain RGB value of a colour: system colours resolve to a fixed classic
// palette, any other value keeps its low three bytes.
TColor ColorToRGB(TColor c);

enum TBoundingBox { bbNone, bbFrame, bbFaces };
enum TColorScheme { csBWG, csSystem };
enum TFrameStyle { fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved };
enum TMouseActMode {
    maNone,
    maPan,
    maPanHoriz,
    maPanVert,
    maRubberBand,
    maZoom,
    maZoomWind,
    maZoomWindPos,
    maZoomDrag,
    maDragCrossH,
    maDragLabel,
    maRotate,
    maRotAndZoom,
    maRotXOnly,
    maRotZOnly
};

// Modifier keys and mouse buttons held during a mouse event.
struct TShiftState {
    bool shift = false;
    bool alt = false;
    bool ctrl = false;
    bool left = false;
    bool right = false;
    bool middle = false;
    friend bool operator==(const TShiftState&, const TShiftState&) = default;
};

// nearest(t): t rounded to the nearest integer, halves to even, in the
// default rounding mode. NaN gives 0 and values beyond +-2^24 are clamped
// there, so that no conversion to int can overflow and screen arithmetic
// on the result stays far inside 64-bit products.
int Nearest(double t);
inline constexpr int NearestLimit = 1 << 24;

// Ticks of a scale with at least minTicks intervals over low..high: step is
// 1, 2 or 5 times a power of ten (negative for a falling range), firstTick
// the first multiple of it not more than a thousandth of a step before low.
// Equal ends give step 0 and firstTick low.
struct TTicks {
    double first = 0;
    double step = 0;
};
TTicks CalcTicks(int minTicks, double low, double high);

// The decimals of a scale's labels: decPlace unless it is -2 (automatic),
// which chooses from the width of the range; -1 means exponential notation.
int AutoDecimals(int decPlace, double low, double high);

// decimals >= 0: fixed point with that many decimals; -1: exponential
// notation of ten characters (" 1.2E+0003"). Non-finite values give "NAN",
// "INF" or "-INF".
std::string NumberToText(double value, int decimals);

// The frame around the rectangle left, top, right, bottom (inclusive
// pixels). fsSimple uses frameColor; the bevels use fixed grey shades.
void DrawFrame(Canvas& canvas, TFrameStyle style, int left, int top, int right, int bottom,
               TColor frameColor);
