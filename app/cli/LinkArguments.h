#pragma once
#include "app/cli/Arguments.h"
#include "link/qt/LinkOptions.h"

#include <optional>
#include <span>
#include <string>

namespace qv::app::cli {

/// The rows of --port, --record-raw, --replay and --speed, which the window and `capture` take.
[[nodiscard]] std::span<const OptionSpec> linkOptionRows();

/// The link options of parsed arguments, --demo included; nullopt with the reason in error.
[[nodiscard]] std::optional<link::qt::LinkOptions> linkOptionsOf(const ParsedArguments &parsed,
                                                                 std::string &error);

} // namespace qv::app::cli
