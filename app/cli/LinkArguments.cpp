#include "app/cli/LinkArguments.h"

#include <array>

namespace qv::app::cli {
namespace {

using Value = OptionSpec::Value;

constexpr auto kRows = std::to_array<OptionSpec>({
    {.name = "port",
     .value = Value::Required,
     .valueName = "device",
     .description = "Open this serial device at start-up instead of searching ports 1 to 8 "
                    "(/dev/ttyUSB3, /dev/serial/by-id/..., COM12)."},
    {.name = "record-raw",
     .value = Value::Required,
     .valueName = "file",
     .description = "Write every byte received, with its time, into this raw recording."},
    {.name = "replay",
     .value = Value::Required,
     .valueName = "file",
     .description = "Play this raw recording as the meter on port 1."},
    {.name = "speed",
     .value = Value::Required,
     .valueName = "speed",
     .description = "Pace of --replay: 1 (as recorded), 10, or max.",
     .word = true},
});

} // namespace

std::span<const OptionSpec> linkOptionRows() {
    return kRows;
}

std::optional<link::qt::LinkOptions> linkOptionsOf(const ParsedArguments &parsed,
                                                   std::string &error) {
    link::qt::LinkArguments given;
    given.demo = parsed.valueOr("demo", "");
    given.port = parsed.valueOr("port", "");
    given.recordRaw = parsed.valueOr("record-raw", "");
    given.replay = parsed.valueOr("replay", "");
    given.speed = parsed.valueOr("speed", "1");
    return link::qt::readLinkOptions(given, error);
}

} // namespace qv::app::cli
