// The descriptions table covers every real function, in KeywordList order.
#include "realformula/descriptions.h"
#include "realformula/parser.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

TEST(RealDescriptions, OneLinePerKeywordInListOrder) {
    std::vector<std::string_view> names;
    for (std::string_view rest = KeywordList; !rest.empty();) {
        const std::size_t blank = rest.find(' ');
        names.push_back(rest.substr(0, blank));
        rest = blank == std::string_view::npos ? std::string_view{} : rest.substr(blank + 1);
    }
    const auto table = RealFunctionDescriptions();
    ASSERT_EQ(table.size(), names.size()) << "a keyword without a description, or one too many";
    for (std::size_t k = 0; k < names.size(); ++k) {
        EXPECT_EQ(table[k].name, names[k]) << "row " << k;
        EXPECT_FALSE(table[k].description.empty()) << names[k];
        EXPECT_EQ(table[k].description.find('\n'), std::string_view::npos) << names[k];
    }
}
