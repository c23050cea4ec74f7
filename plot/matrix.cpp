// The column-major stores of TMatrix and TIntMatrix: resizing that keeps the
// overlap, 1-based cell access and change notices.
#include "plot/matrix.h"

#include <algorithm>
#include <new>

EVelMatrixError::EVelMatrixError(const std::string& componentName)
    : EVelError("Component \"" + componentName + "\": not enough memory on heap") {}

namespace {

// A cols x rows column-major store holding the overlap of the old one; the
// rest is 0. Throws EVelMatrixError when it cannot be allocated, leaving the
// old store untouched.
template <class T>
std::vector<T> Reallocated(const std::vector<T>& old, int oldCols, int oldRows, int cols, int rows,
                           const std::string& name) {
    std::vector<T> store;
    try {
        store.assign(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows), T{});
    } catch (const std::bad_alloc&) {
        throw EVelMatrixError(name);
    } catch (const std::length_error&) {
        throw EVelMatrixError(name);
    }
    const int keepCols = std::min(oldCols, cols);
    const int keepRows = std::min(oldRows, rows);
    for (int c = 0; c < keepCols; ++c) {
        auto from = old.begin() + static_cast<std::ptrdiff_t>(c) * oldRows;
        std::copy(from, from + keepRows, store.begin() + static_cast<std::ptrdiff_t>(c) * rows);
    }
    return store;
}

bool Inside(int col, int row, int cols, int rows) {
    return col >= 1 && col <= cols && row >= 1 && row <= rows;
}

std::size_t Index(int col, int row, int rows) {
    return static_cast<std::size_t>(col - 1) * static_cast<std::size_t>(rows) +
           static_cast<std::size_t>(row - 1);
}

} // namespace

TMatrix::TMatrix() : m_store(1, 0.0) {}

bool TMatrix::Resize(int cols, int rows) {
    cols = std::max(cols, 1);
    rows = std::max(rows, 1);
    m_store = Reallocated(m_store, m_cols, m_rows, cols, rows, Name);
    m_cols = cols;
    m_rows = rows;
    if (OnChange) OnChange(*this);
    return true;
}

void TMatrix::SetNrOfColumns(int v) {
    Resize(v > 0 ? v : 1, m_rows);
}
void TMatrix::SetNrOfRows(int v) {
    Resize(m_cols, v > 0 ? v : 1);
}

double TMatrix::Cell(int col, int row) const {
    return Inside(col, row, m_cols, m_rows) ? m_store[Index(col, row, m_rows)] : 0.0;
}

void TMatrix::SetCell(int col, int row, double v) {
    if (!Inside(col, row, m_cols, m_rows)) return;
    m_store[Index(col, row, m_rows)] = v;
    if (OnChange) OnChange(*this);
}

TIntMatrix::TIntMatrix() : m_store(1, 0) {}

bool TIntMatrix::Resize(int cols, int rows) {
    if ((cols == m_cols && rows == m_rows) || cols < 1 || rows < 1) return false;
    m_store = Reallocated(m_store, m_cols, m_rows, cols, rows, Name);
    m_cols = cols;
    m_rows = rows;
    if (OnChange) OnChange(*this);
    return true;
}

void TIntMatrix::SetNrOfColumns(int v) {
    Resize(v > 0 ? v : 1, m_rows);
}
void TIntMatrix::SetNrOfRows(int v) {
    Resize(m_cols, v > 0 ? v : 1);
}

std::int32_t TIntMatrix::Cell(int col, int row) const {
    return Inside(col, row, m_cols, m_rows) ? m_store[Index(col, row, m_rows)] : 0;
}

void TIntMatrix::SetCell(int col, int row, std::int32_t v) {
    if (!Inside(col, row, m_cols, m_rows)) return;
    m_store[Index(col, row, m_rows)] = v;
    if (OnChange) OnChange(*this);
}
