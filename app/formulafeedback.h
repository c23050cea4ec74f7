// The words the window finds for what went wrong with a formula: the formula
// line's note after a fill and an interval field's note when its text counts
// as 0. Plain C++; the texts are German, in UTF-8.
#pragma once

#include "app/samples.h"
#include "app/sampling.h"

#include <array>

#include <cstdint>
#include <string>

namespace feedback {

enum class Severity {
    None, // nothing to say
    Hint, // computed as written, but maybe not as meant (an unclosed bracket)
    Fault // a syntax error, or points with a substitute value
};

struct Note {
    Severity severity = Severity::None;
    std::string text; // one cause per line, the first cause first
};

// The note on a formula (Windows-1252 bytes, as the line hands it over) after
// a fill that recorded report over pointCount points.
Note FormulaNote(const std::string& formula, const sampling::FillReport& report, int pointCount);

// The note on an interval field whose text (Windows-1252) the real
// interpreter left with status realStatus, so that it counts as 0;
// Severity::None for status 0.
Note FieldNote(const std::string& text, std::uint8_t realStatus);

// The brackets and function calls the real interpreter follows inside each
// other; a field nested deeper reads as a syntax error.
inline constexpr int FieldMaxNesting = 255;

// The notes of the six interval fields (E1..E6, as sampling::IntervalTexts),
// given each field's text, the real interpreter's status after reading it and
// its value: FieldNote's, and on both fields of an axis whose lower bound
// exceeds its upper one the hint that they are taken the other way round.
std::array<Note, 6> IntervalNotes(const sampling::IntervalTexts& texts,
                                  const std::array<std::uint8_t, 6>& realStatus,
                                  const sampling::IntervalValues& values);

// "1 296": a count with a no-break space between thousands.
std::string Count(int n);

} // namespace feedback
