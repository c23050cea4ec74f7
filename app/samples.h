// What a fill met at each grid point: F(Z), the interpreter's status and the
// value drawn, with the counts of the statuses, and the table written as CSV.
// Plain C++, so the window and the command line export the same columns.
#pragma once

#include "complexformula/arithmetic.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace sampling {

// A floating-point error that left the computation of one point.
enum class PointFault : std::uint8_t { None, InvalidOperation, DivisionByZero, Overflow, Other };

// The error's own message ("Gleitkommaüberlauf"); empty for None.
std::string FaultMessage(PointFault fault);

// One grid point as the last fill left it.
struct SamplePoint {
    double x = 0; // NaN where the position itself could not be stored
    double y = 0;
    Complex f{};             // F(x + iy) as the interpreter returned it; NaN where it did not
    std::uint8_t status = 0; // the interpreter's status for this point
    double drawn = 0;        // the cell value: reduced and clamped to the z range; NaN at a fault
    PointFault fault = PointFault::None;
};

// How many points of a fill ended with each non-zero status, and the status
// of the first such point in fill order (0 when the fill was clean).
struct FillReport {
    int syntax = 0;   // status 1
    int domain = 0;   // status 2
    int overflow = 0; // status 4
    int faults = 0;   // points left undrawn by an error (PointFault), not counted above
    int firstStatus = 0;
    bool Clean() const { return firstStatus == 0; }
    void Count(std::uint8_t status);
};

// Everything one fill records. Points (p, i), 1-based, sit at index
// (p - 1) * points + (i - 1).
struct FillRecord {
    int points = 0; // per axis
    std::vector<SamplePoint> samples;
    FillReport report;

    const SamplePoint& At(int p, int i) const {
        return samples[static_cast<std::size_t>((p - 1) * points + (i - 1))];
    }
};

// The column header of the CSV export, without the line end.
inline constexpr const char* CsvHeader = "p,i,x,y,re_f,im_f,drawn";

// The header line, then one line per point, p outer and i inner, each number
// in the shortest form that reads back to the same value.
void WriteCsv(std::ostream& out, const FillRecord& record);

} // namespace sampling
