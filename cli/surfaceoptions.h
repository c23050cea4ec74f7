// The options that grid and render share: the formula, the display mode, Q and
// the six interval fields' texts.
#pragma once

#include "app/sampling.h"
#include "cli/command.h"

#include <string>
#include <vector>

namespace cli {

// "--mode", "--q", "--x", "--y", "--z": each takes a value.
const std::vector<std::string>& SurfaceOptionNames();

// Reads those options and the one positional FORMULA (UTF-8, converted and
// upper-cased as the formula line does); throws UsageError on bad usage.
sampling::SurfaceRequest ReadSurfaceRequest(const OptionReader& options);

} // namespace cli
