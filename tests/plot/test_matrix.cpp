// TMatrix and TIntMatrix: size, 1-based indices, silent out-of-range access,
// change notices and failed allocation.
#include <climits>
#include <gtest/gtest.h>

#include "plot/matrix.h"

namespace {

TEST(Matrix, NewGridIsOneByOneZero) {
    TMatrix m;
    TIntMatrix im;
    EXPECT_EQ(m.NrOfColumns(), 1);
    EXPECT_EQ(m.NrOfRows(), 1);
    EXPECT_EQ(m.Cell(1, 1), 0.0);
    EXPECT_EQ(m.DataID, "");
    EXPECT_EQ(im.NrOfColumns(), 1);
    EXPECT_EQ(im.NrOfRows(), 1);
    EXPECT_EQ(im.Cell(1, 1), 0);
}

TEST(Matrix, ResizeKeepsOverlapAndFiresOnce) {
    TMatrix m;
    m.SetCell(1, 1, 7.5);
    int changes = 0;
    m.OnChange = [&](TMatrix&) { ++changes; };
    EXPECT_TRUE(m.Resize(36, 36));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(m.NrOfColumns(), 36);
    EXPECT_EQ(m.NrOfRows(), 36);
    EXPECT_EQ(m.Cell(1, 1), 7.5);
    double sum = 0;
    for (int c = 1; c <= 36; ++c)
        for (int r = 1; r <= 36; ++r) sum += m.Cell(c, r);
    EXPECT_EQ(sum, 7.5);
}

TEST(Matrix, ResizeToSameSize) {
    TMatrix m;
    TIntMatrix im;
    m.Resize(3, 4);
    im.Resize(3, 4);
    int changes = 0, intChanges = 0;
    m.OnChange = [&](TMatrix&) { ++changes; };
    im.OnChange = [&](TIntMatrix&) { ++intChanges; };
    EXPECT_TRUE(m.Resize(3, 4));
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(im.Resize(3, 4));
    EXPECT_EQ(intChanges, 0);
}

TEST(Matrix, ColumnIsTheFirstIndex) {
    TMatrix m;
    m.Resize(3, 2);
    m.SetCell(3, 1, 31);
    m.SetCell(1, 2, 12);
    EXPECT_EQ(m.Cell(3, 1), 31);
    EXPECT_EQ(m.Cell(1, 2), 12);
    EXPECT_EQ(m.Cell(2, 1), 0);
    m.Resize(3, 3); // growing the rows must not shift columns
    EXPECT_EQ(m.Cell(3, 1), 31);
    EXPECT_EQ(m.Cell(1, 2), 12);
}

TEST(Matrix, OutOfRangeIsSilent) {
    struct Row {
        const char* name;
        int col, row;
    };
    const Row rows[] = {{"column 0", 0, 5},       {"column 37", 37, 5}, {"row 37", 5, 37},
                        {"row 0", 5, 0},          {"negative", -1, -1}, {"max", INT_MAX, 1},
                        {"min", INT_MIN, INT_MIN}};
    TMatrix m;
    TIntMatrix im;
    m.Resize(36, 36);
    im.Resize(36, 36);
    int changes = 0;
    m.OnChange = [&](TMatrix&) { ++changes; };
    im.OnChange = [&](TIntMatrix&) { ++changes; };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        m.SetCell(r.col, r.row, 3.0);
        im.SetCell(r.col, r.row, 3);
        EXPECT_EQ(m.Cell(r.col, r.row), 0.0);
        EXPECT_EQ(im.Cell(r.col, r.row), 0);
    }
    EXPECT_EQ(changes, 0);
}

TEST(Matrix, WriteFiresAfterStoring) {
    TMatrix m;
    m.Resize(2, 2);
    double seen = -1;
    m.OnChange = [&](TMatrix& grid) { seen = grid.Cell(2, 2); };
    m.SetCell(2, 2, 4.25);
    EXPECT_EQ(seen, 4.25);
}

TEST(Matrix, CountSettersTakeAtLeastOne) {
    struct Row {
        const char* name;
        int value, expected;
    };
    const Row rows[] = {{"zero", 0, 1}, {"negative", -5, 1}, {"positive", 4, 4}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TMatrix m;
        TIntMatrix im;
        m.Resize(3, 3);
        im.Resize(3, 3);
        m.SetNrOfColumns(r.value);
        m.SetNrOfRows(r.value);
        im.SetNrOfColumns(r.value);
        im.SetNrOfRows(r.value);
        EXPECT_EQ(m.NrOfColumns(), r.expected);
        EXPECT_EQ(m.NrOfRows(), r.expected);
        EXPECT_EQ(im.NrOfColumns(), r.expected);
        EXPECT_EQ(im.NrOfRows(), r.expected);
    }
}

TEST(Matrix, ShrinkingLosesValues) {
    TMatrix m;
    TIntMatrix im;
    m.Resize(3, 3);
    im.Resize(3, 3);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r) {
            m.SetCell(c, r, 10 * c + r);
            im.SetCell(c, r, 10 * c + r);
        }
    m.Resize(2, 2);
    m.Resize(3, 3);
    im.Resize(2, 2);
    im.Resize(3, 3);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r) {
            const int expected = (c <= 2 && r <= 2) ? 10 * c + r : 0;
            EXPECT_EQ(m.Cell(c, r), expected) << c << "," << r;
            EXPECT_EQ(im.Cell(c, r), expected) << c << "," << r;
        }
}

TEST(Matrix, IntResizeRejectsCountsBelowOne) {
    TIntMatrix im;
    im.Resize(4, 4);
    im.SetCell(2, 2, 9);
    int changes = 0;
    im.OnChange = [&](TIntMatrix&) { ++changes; };
    EXPECT_FALSE(im.Resize(0, 10));
    EXPECT_FALSE(im.Resize(10, -1));
    EXPECT_EQ(im.NrOfColumns(), 4);
    EXPECT_EQ(im.NrOfRows(), 4);
    EXPECT_EQ(im.Cell(2, 2), 9);
    EXPECT_EQ(changes, 0);
}

TEST(Matrix, FailedAllocationRaisesAndKeepsTheGrid) {
    TMatrix m;
    m.Resize(2, 2);
    m.SetCell(2, 2, 5);
    int changes = 0;
    m.OnChange = [&](TMatrix&) { ++changes; };
    try {
        m.Resize(INT_MAX, INT_MAX);
        FAIL() << "no error";
    } catch (const EVelMatrixError& e) {
        EXPECT_STREQ(e.what(), "Component \"\": not enough memory on heap");
    }
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(m.NrOfColumns(), 2);
    EXPECT_EQ(m.NrOfRows(), 2);
    EXPECT_EQ(m.Cell(2, 2), 5);

    TIntMatrix im;
    im.Name = "Grid";
    try {
        im.Resize(INT_MAX, INT_MAX);
        FAIL() << "no error";
    } catch (const EVelError& e) {
        EXPECT_STREQ(e.what(), "Component \"Grid\": not enough memory on heap");
    }
    EXPECT_EQ(im.NrOfColumns(), 1);
}

} // namespace
