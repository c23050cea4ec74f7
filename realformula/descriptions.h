// What each function of the real formula language computes, in one German
// line with its domain: the source of the help window's and the completer's
// lists. Plain C++; the texts are UTF-8.
#pragma once

#include <span>
#include <string_view>

struct RealFunctionDescription {
    std::string_view name;        // as in KeywordList
    std::string_view description; // one line: what it computes, for which x
};

// One entry per name of KeywordList, in the list's order.
std::span<const RealFunctionDescription> RealFunctionDescriptions();
