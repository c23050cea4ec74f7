// TMatrix and TIntMatrix under a sequence of operations, each checked
// against a plain model of the grid: sizes, element values (kept where the
// old and new sizes overlap, 0 elsewhere), reads outside the grid, and the
// number of OnChange notifications.
//
// Input: a stream of operations, one opcode byte and its arguments each.
#include "fuzz/fuzz_input.h"
#include "plot/matrix.h"

#include <vector>

namespace {

constexpr int kMaxCount = 120;

template <class T>
struct Model {
    int cols = 1;
    int rows = 1;
    std::vector<T> cells = std::vector<T>(1, T{});
    long changes = 0;

    T At(int c, int r) const {
        if (c < 1 || c > cols || r < 1 || r > rows) return T{};
        return cells[static_cast<std::size_t>((c - 1) * rows + (r - 1))];
    }
    void Reallocate(int newCols, int newRows) {
        std::vector<T> next(static_cast<std::size_t>(newCols) * newRows, T{});
        for (int c = 1; c <= newCols && c <= cols; ++c)
            for (int r = 1; r <= newRows && r <= rows; ++r)
                next[static_cast<std::size_t>((c - 1) * newRows + (r - 1))] = At(c, r);
        cells.swap(next);
        cols = newCols;
        rows = newRows;
        ++changes;
    }
    void Set(int c, int r, T v) {
        if (c < 1 || c > cols || r < 1 || r > rows) return;
        cells[static_cast<std::size_t>((c - 1) * rows + (r - 1))] = v;
        ++changes;
    }
};

template <class Grid, class T>
void Compare(const Grid& grid, const Model<T>& model, long changes, bool full) {
    if (grid.NrOfColumns() != model.cols || grid.NrOfRows() != model.rows)
        FuzzFail("grid size differs from the model");
    if (changes != model.changes) FuzzFail("OnChange count differs from the model");
    if (!full) return;
    for (int c = -1; c <= model.cols + 2; ++c)
        for (int r = -1; r <= model.rows + 2; ++r)
            if (!SameValue(grid.Cell(c, r), model.At(c, r)))
                FuzzFail("grid element differs from the model");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    TMatrix m;
    TIntMatrix im;
    long mChanges = 0;
    long imChanges = 0;
    m.OnChange = [&](TMatrix&) { ++mChanges; };
    im.OnChange = [&](TIntMatrix&) { ++imChanges; };
    Model<double> mm;
    Model<std::int32_t> mim;

    while (in.Remaining() > 0) {
        const std::uint8_t op = in.Byte();
        switch (op % 12) {
        case 0: { // TMatrix.Resize: counts below 1 are taken as 1
            const int c = in.IntIn(-3, kMaxCount);
            const int r = in.IntIn(-3, kMaxCount);
            if (!m.Resize(c, r)) FuzzFail("TMatrix.Resize returned false");
            mm.Reallocate(c < 1 ? 1 : c, r < 1 ? 1 : r);
            break;
        }
        case 1: {
            const int c = in.IntIn(-3, kMaxCount);
            m.SetNrOfColumns(c);
            mm.Reallocate(c > 0 ? c : 1, mm.rows);
            break;
        }
        case 2: {
            const int r = in.IntIn(-3, kMaxCount);
            m.SetNrOfRows(r);
            mm.Reallocate(mm.cols, r > 0 ? r : 1);
            break;
        }
        case 3:
        case 4: {
            const int c = in.IntIn(-2, mm.cols + 2);
            const int r = in.IntIn(-2, mm.rows + 2);
            const double v = in.InterestingDouble();
            m.SetCell(c, r, v);
            mm.Set(c, r, v);
            break;
        }
        case 5: { // TIntMatrix.Resize: refused for the same size or a count below 1
            const int c = in.IntIn(-3, kMaxCount);
            const int r = in.IntIn(-3, kMaxCount);
            const bool expect = c >= 1 && r >= 1 && (c != mim.cols || r != mim.rows);
            if (im.Resize(c, r) != expect) FuzzFail("TIntMatrix.Resize result differs");
            if (expect) mim.Reallocate(c, r);
            break;
        }
        case 6: {
            const int c = in.IntIn(-3, kMaxCount);
            const int nc = c > 0 ? c : 1;
            im.SetNrOfColumns(c);
            if (nc != mim.cols) mim.Reallocate(nc, mim.rows);
            break;
        }
        case 7: {
            const int r = in.IntIn(-3, kMaxCount);
            const int nr = r > 0 ? r : 1;
            im.SetNrOfRows(r);
            if (nr != mim.rows) mim.Reallocate(mim.cols, nr);
            break;
        }
        case 8:
        case 9: {
            const int c = in.IntIn(-2, mim.cols + 2);
            const int r = in.IntIn(-2, mim.rows + 2);
            const auto v = static_cast<std::int32_t>(in.U32());
            im.SetCell(c, r, v);
            mim.Set(c, r, v);
            break;
        }
        case 10: { // a read anywhere, inside or far outside
            const auto c = static_cast<int>(in.U32());
            const auto r = static_cast<int>(in.U32());
            if (!SameValue(m.Cell(c, r), mm.At(c, r))) FuzzFail("TMatrix read differs");
            if (im.Cell(c, r) != mim.At(c, r)) FuzzFail("TIntMatrix read differs");
            break;
        }
        default:
            Compare(m, mm, mChanges, true);
            Compare(im, mim, imChanges, true);
            break;
        }
        Compare(m, mm, mChanges, false);
        Compare(im, mim, imChanges, false);
    }
    Compare(m, mm, mChanges, true);
    Compare(im, mim, imChanges, true);
    return 0;
}
