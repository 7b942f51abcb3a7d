#pragma once
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv::app::cli {

/// One option of a command line, a row of the table a command parses with.
struct OptionSpec {
    enum class Value {
        None,     ///< a flag
        Required, ///< "--name value" or "--name=value"
        Optional, ///< "--name" alone (then `fallback`), "--name value" unless value starts with '-'
    };
    enum class Kind {
        Own,     ///< the program's: two dashes (or shortName), at most once
        Toolkit, ///< Qt's own: one or two dashes, may repeat, handed on to Qt, in --help-all
        Hidden,  ///< Qt's own, left out of the help
    };
    std::string_view name; ///< without dashes: "csv"
    Value value = Value::None;
    std::string_view valueName = {};   ///< the help's "<file>"
    std::string_view description = {}; ///< the help's text
    char shortName = 0;                ///< 'h' for "-h"; 0 for none
    bool word = false; ///< the value is one of fixed words: any case, kept in lower case
    std::string_view fallback = {}; ///< the value of an Optional option given alone
    Kind kind = Kind::Own;
};

/// What a command line gave: options by name, positional arguments, both as the bytes given.
struct ParsedArguments {
    std::map<std::string, std::string, std::less<>> options; ///< a flag's value is empty
    std::vector<std::string> positional;
    std::vector<std::string> toolkit; ///< Qt's options as given, each followed by its value

    [[nodiscard]] bool has(std::string_view name) const;
    /// The option's value; nullopt when it was not given.
    [[nodiscard]] std::optional<std::string> value(std::string_view name) const;
    [[nodiscard]] std::string valueOr(std::string_view name, std::string_view fallback) const;
};

/// Parses arguments (without the program's name) by the table: "--name value", "--name=value",
/// short "-h"; "--" ends the options, everything after it is positional, as is "-" alone. An
/// unknown option, a value missing, an empty value, a value given to a flag or an option given
/// twice is an error: nullopt, and a one-line reason in error.
[[nodiscard]] std::optional<ParsedArguments> parseArguments(std::span<const OptionSpec> table,
                                                            std::span<const std::string> arguments,
                                                            std::string &error);

/// The help's lines of the table's options (Kind::Own, with Kind::Toolkit when toolkit is set) and
/// of one positional argument, laid out as Qt's command-line parser lays out its help: the names
/// in one column, the texts wrapped at 79 columns beside them.
[[nodiscard]] std::string optionHelp(std::span<const OptionSpec> table, bool toolkit,
                                     std::string_view argument, std::string_view argumentText);

/// The candidate nearest to a mistyped word (one or two letters wrong, missing, extra or swapped),
/// nullopt when none is that close.
[[nodiscard]] std::optional<std::string_view> nearest(std::string_view word,
                                                      std::span<const std::string_view> candidates);

/// Letters A-Z in lower case.
[[nodiscard]] std::string lowerCase(std::string text);

} // namespace qv::app::cli
