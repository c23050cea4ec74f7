// Reading the options that grid and render share into a sampling request.
#include "cli/surfaceoptions.h"

#include "text/cp1252.h"

namespace cli {

namespace {

// "LO,HI" split at the first comma; each half is an interval field's text.
void ReadBounds(const OptionReader& options, const char* name, std::string& low,
                std::string& high) {
    const std::string* value = options.Value(name);
    if (!value) return;
    const auto comma = value->find(',');
    if (comma == std::string::npos) throw UsageError(std::string("expected LO,HI after ") + name);
    low = text::Utf8ToCp1252(value->substr(0, comma));
    high = text::Utf8ToCp1252(value->substr(comma + 1));
}

} // namespace

const std::vector<std::string>& SurfaceOptionNames() {
    static const std::vector<std::string> names = {"--mode", "--q", "--x", "--y", "--z"};
    return names;
}

sampling::SurfaceRequest ReadSurfaceRequest(const OptionReader& options) {
    if (options.Positional().size() != 1) throw UsageError("expected one FORMULA");
    sampling::SurfaceRequest request;
    request.formula = text::UpperCase1252(text::Utf8ToCp1252(options.Positional()[0]));
    if (const std::string* mode = options.Value("--mode")) {
        const double m = ParseDouble(*mode);
        if (m != 1 && m != 2 && m != 3 && m != 4) throw UsageError("--mode is 1, 2, 3 or 4");
        request.displayMode = static_cast<int>(m);
    }
    if (const std::string* q = options.Value("--q")) request.q = ParseDouble(*q);
    ReadBounds(options, "--x", request.intervals[0], request.intervals[3]);
    ReadBounds(options, "--y", request.intervals[1], request.intervals[4]);
    ReadBounds(options, "--z", request.intervals[2], request.intervals[5]);
    return request;
}

} // namespace cli
