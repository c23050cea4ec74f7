#include "complexformula/fktkomplex.h"

#include <gtest/gtest.h>

TEST(EvalComplex, Smoke) {
    const Complex v = EvalComplex("Z+1", Complex{2, 3});
    EXPECT_EQ(v.re, 3);
    EXPECT_EQ(v.im, 3);
}
