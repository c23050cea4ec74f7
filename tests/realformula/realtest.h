// Shared helpers of the real interpreter tests: rows of formula, X, expected
// value and status, checked with fresh module state.
#pragma once

#include "realformula/higherfunctions.h"
#include "realformula/interpreter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

struct Row {
    const char* name;
    std::string text;
    double x;
    double value;
    int status;
    double tolerance = 0; // 0: equal within 4 ulp; kExact: equal
};

inline constexpr double kExact = -1;

inline void ResetModule() {
    ParamP = ParamQ = ParamR = 0;
    RealStatus = 0;
    for (auto& slot : UserFunctionText) slot.clear();
}

inline void ExpectValue(double expected, double actual, double tolerance) {
    if (tolerance == kExact)
        EXPECT_EQ(expected, actual);
    else if (tolerance == 0)
        EXPECT_DOUBLE_EQ(expected, actual);
    else
        EXPECT_NEAR(expected, actual, tolerance);
}

inline void CheckRows(const std::vector<Row>& rows, double q = 0) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetModule();
        ParamQ = q;
        const double v = EvalReal(row.text, row.x);
        ExpectValue(row.value, v, row.tolerance);
        EXPECT_EQ(row.status, RealStatus);
    }
}
