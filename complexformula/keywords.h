// One line on each name of the complex formula language, for the help, the
// formula line's completion and the README tables, which are all generated
// from it. The functions come in the order of ComplexKeywordList, then the
// constants and the variables.
#pragma once

#include <span>
#include <string_view>

namespace cformula {

struct KeywordDescription {
    enum Kind { Function, Constant, Variable };
    std::string_view name;        // UTF-8, as typed ("É" is Euler's number)
    std::string_view description; // one German line: what it computes, its domain
    bool added;                   // an addition beyond the original set of names
    Kind kind;
};

std::span<const KeywordDescription> ComplexKeywordDescriptions();

} // namespace cformula
