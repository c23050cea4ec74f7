// Grids of doubles and of integers with 1-based column and row indices.
// Every change is announced through OnChange; indices outside the grid read
// as 0 and ignore writes.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// Base of the plot component's errors.
class EVelError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The grid's store could not be allocated.
class EVelMatrixError : public EVelError {
  public:
    // "Component \"<name>\": not enough memory on heap"
    explicit EVelMatrixError(const std::string& componentName);
};

using TSortExchgEvent = std::function<void(void* sender, std::uint8_t exchgWhat, int index1,
                                           int index2, int first, int last)>;
using TOnCalcDistanceEvent =
    std::function<void(void* sender, int row1, int row2, double& distance)>;

// A column-major grid of doubles, at least 1 x 1.
class TMatrix {
  public:
    TMatrix();
    TMatrix(const TMatrix&) = delete;
    TMatrix& operator=(const TMatrix&) = delete;

    // Reallocates to cols x rows keeping the overlapping elements (the rest
    // become 0) and fires OnChange, also when the size is unchanged. A count
    // below 1 is taken as 1.
    bool Resize(int cols, int rows);
    int NrOfColumns() const { return m_cols; }
    int NrOfRows() const { return m_rows; }
    void SetNrOfColumns(int v);
    void SetNrOfRows(int v);

    double Cell(int col, int row) const;
    void SetCell(int col, int row, double v);

    std::string Name;
    std::string DataID;
    std::function<void(TMatrix&)> OnChange;
    // Stored and never fired.
    TSortExchgEvent OnSortExchange;
    TOnCalcDistanceEvent OnCalcDistance;

  private:
    void Reallocate(int cols, int rows);
    int m_cols = 1;
    int m_rows = 1;
    std::vector<double> m_store;
};

// A column-major grid of 32-bit integers, at least 1 x 1.
class TIntMatrix {
  public:
    TIntMatrix();
    TIntMatrix(const TIntMatrix&) = delete;
    TIntMatrix& operator=(const TIntMatrix&) = delete;

    // False and nothing done when the size is unchanged or a count is below
    // 1; otherwise reallocates as TMatrix does and fires OnChange.
    bool Resize(int cols, int rows);
    int NrOfColumns() const { return m_cols; }
    int NrOfRows() const { return m_rows; }
    void SetNrOfColumns(int v);
    void SetNrOfRows(int v);

    std::int32_t Cell(int col, int row) const;
    void SetCell(int col, int row, std::int32_t v);

    std::string Name;
    std::string DataID;
    std::function<void(TIntMatrix&)> OnChange;
    TSortExchgEvent OnSortExchange;

  private:
    int m_cols = 1;
    int m_rows = 1;
    std::vector<std::int32_t> m_store;
};
