#pragma once
#include <string>
#include <vector>

namespace qv::app::cli {

/// Takes "--lang zh|en" (or "--lang=en") out of the arguments, wherever it stands before "--",
/// and makes it this run's language for the window and every subcommand (lang::runLanguage).
/// False, with error set, for a missing or unknown language.
[[nodiscard]] bool takeLanguageOption(std::vector<std::string> &arguments, std::string &error);

} // namespace qv::app::cli
