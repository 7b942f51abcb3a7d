#include "app/cli/LanguageOption.h"

#include "lang/Language.h"

#include <cstdlib>
#include <string_view>

namespace qv::app::cli {

bool takeLanguageOption(std::vector<std::string> &arguments, std::string &error) {
    constexpr std::string_view kOption = "--lang";
    for (std::size_t i = 0; i < arguments.size() && arguments[i] != "--";) {
        const std::string &a = arguments[i];
        const bool joined = a.starts_with("--lang=");
        if (a != kOption && !joined) {
            ++i;
            continue;
        }
        if (!joined && i + 1 >= arguments.size()) {
            error = "--lang needs a language: zh or en";
            return false;
        }
        const std::string value = joined ? a.substr(kOption.size() + 1) : arguments[i + 1];
        if (!lang::parseLanguage(value)) {
            error = "--lang: '" + value + "' is not a language: zh or en";
            return false;
        }
        setenv(lang::kLanguageVariable, value.c_str(), 1);
        arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                        arguments.begin() + static_cast<std::ptrdiff_t>(i + (joined ? 1 : 2)));
    }
    return true;
}

} // namespace qv::app::cli
