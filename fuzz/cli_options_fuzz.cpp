// Any command line for lumexa-render: the arguments are the fuzzer's bytes split at zero
// bytes. Parsing ends in options or a UsageError with a message, never anything else; the
// options it gives are within their ranges; and parsing the same line again gives the same.
#include "fuzz_check.h"
#include "cli/cli_options.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size && args.size() < 64; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back().push_back(static_cast<char>(data[i]));
    }
    using namespace lumexa::cli;
    CliOptions options;
    try {
        options = ParseCliOptions(args);
    } catch (const UsageError& e) {
        Check(!e.message.empty());
        try {
            ParseCliOptions(args);
            Check(false);
        } catch (const UsageError& again) {
            Check(again.message == e.message);
        }
        return 0;
    }
    Check(options.threads >= 0 && options.threads <= 1024);
    Check(options.scale >= 1);
    Check(options.marginMm >= 0 && options.overlapMm >= 0);
    Check(options.posterWidthMm >= 0 && options.posterHeightMm >= 0);
    if (options.dpi)
        Check(*options.dpi > 0);
    if (options.region)
        Check(options.region->width > 0 && options.region->height > 0 && options.region->x >= 0 &&
              options.region->y >= 0);
    Check(ParseCliOptions(args) == options);
    return 0;
}
