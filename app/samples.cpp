// The counts of a fill's statuses and the CSV export of its points.
#include "app/samples.h"

#include "runtime/fpu.h"

#include <charconv>
#include <ostream>

namespace sampling {

void FillReport::Count(std::uint8_t status) {
    if (status == 0) return;
    if (firstStatus == 0) firstStatus = status;
    if (status == 1) ++syntax;
    if (status == 2) ++domain;
    if (status == 4) ++overflow;
}

std::string FaultMessage(PointFault fault) {
    switch (fault) {
    case PointFault::None:
        return {};
    case PointFault::InvalidOperation:
        return rt::EInvalidOp().what();
    case PointFault::DivisionByZero:
        return rt::EZeroDivide().what();
    case PointFault::Overflow:
        return rt::EOverflow().what();
    case PointFault::Other:
        break;
    }
    return "Rechenfehler";
}

namespace {

template <class T>
void Put(std::ostream& out, T v) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    out.write(buffer, ec == std::errc() ? end - buffer : 0);
}

} // namespace

void WriteCsv(std::ostream& out, const FillRecord& record) {
    out << CsvHeader << '\n';
    for (int p = 1; p <= record.points; ++p) {
        for (int i = 1; i <= record.points; ++i) {
            const SamplePoint& s = record.At(p, i);
            out << p << ',' << i << ',';
            Put(out, s.x);
            out << ',';
            Put(out, s.y);
            out << ',';
            Put(out, s.f.re);
            out << ',';
            Put(out, s.f.im);
            out << ',';
            Put(out, s.drawn);
            out << '\n';
        }
    }
}

} // namespace sampling
