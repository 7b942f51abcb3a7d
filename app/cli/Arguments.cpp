#include "app/cli/Arguments.h"

#include <algorithm>
#include <numeric>

namespace qv::app::cli {
namespace {

using Value = OptionSpec::Value;
using Kind = OptionSpec::Kind;

const OptionSpec *findOption(std::span<const OptionSpec> table, std::string_view name,
                             bool oneDash) {
    for (const OptionSpec &o : table) {
        if (oneDash && name.size() == 1 && o.shortName == name[0])
            return &o;
        if (o.name == name && (!oneDash || o.kind != Kind::Own))
            return &o;
    }
    return nullptr;
}

std::string unknownOption(std::span<const OptionSpec> table, std::string_view given) {
    std::string text = "unknown option \"" + std::string(given) + "\"";
    std::vector<std::string> names;
    for (const OptionSpec &o : table)
        if (o.kind == Kind::Own)
            names.push_back("--" + std::string(o.name));
    const std::vector<std::string_view> views(names.begin(), names.end());
    const std::string_view bare = given.substr(0, given.find('='));
    if (const auto near = nearest(bare, views))
        text += " (did you mean \"" + std::string(*near) + "\"?)";
    return text;
}

// Distance between two words counting a letter changed, missing, extra, or two letters swapped.
size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    std::iota(d[0].begin(), d[0].end(), size_t{0});
    for (size_t i = 1; i <= a.size(); ++i) {
        d[i][0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// One option's help: the names padded to the column, the text wrapped beside them, as Qt's
// command-line parser does it.
std::string wrapped(std::string_view names, size_t column, std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\n' || c == '\t'; };
    std::string out = "  " + std::string(names);
    out.resize(std::max(out.size(), column + 2), ' ');
    out += ' ';
    const size_t indent = out.size();
    const long max = 79 - static_cast<long>(indent);
    const long len = static_cast<long>(text.size());
    long lineStart = 0, lastBreakable = -1, x = 0;
    for (long i = 0; i < len; ++i) {
        ++x;
        const char c = text[static_cast<size_t>(i)];
        if (isSpace(c))
            lastBreakable = i;
        long breakAt = -1, nextLineStart = -1;
        if (x > max) { // a blank came before: else the line broke at max
            breakAt = lastBreakable;
            nextLineStart = lastBreakable + 1;
        } else if ((x > max - 1 && lastBreakable == -1) || i == len - 1) {
            breakAt = i + 1;
            nextLineStart = breakAt;
        } else if (c == '\n') {
            breakAt = i;
            nextLineStart = i + 1;
        }
        if (breakAt == -1)
            continue;
        if (lineStart > 0)
            out += std::string(indent, ' ');
        out += std::string(text.substr(static_cast<size_t>(lineStart),
                                       static_cast<size_t>(breakAt - lineStart))) +
               "\n";
        x = 0;
        lastBreakable = -1;
        lineStart = nextLineStart;
        if (lineStart < len && isSpace(text[static_cast<size_t>(lineStart)]))
            ++lineStart;
        i = lineStart;
    }
    return out;
}

} // namespace

bool ParsedArguments::has(std::string_view name) const {
    return options.find(name) != options.end();
}

std::optional<std::string> ParsedArguments::value(std::string_view name) const {
    const auto found = options.find(name);
    if (found == options.end())
        return std::nullopt;
    return found->second;
}

std::string ParsedArguments::valueOr(std::string_view name, std::string_view fallback) const {
    return value(name).value_or(std::string(fallback));
}

std::optional<ParsedArguments> parseArguments(std::span<const OptionSpec> table,
                                              std::span<const std::string> arguments,
                                              std::string &error) {
    ParsedArguments out;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--") {
            out.positional.insert(out.positional.end(), arguments.begin() + long(i) + 1,
                                  arguments.end());
            break;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            out.positional.push_back(argument);
            continue;
        }
        const bool oneDash = argument[1] != '-';
        std::string_view name = std::string_view(argument).substr(oneDash ? 1 : 2);
        std::optional<std::string> value;
        if (const size_t equals = name.find('='); equals != std::string_view::npos) {
            value = std::string(name.substr(equals + 1));
            name = name.substr(0, equals);
        }
        const OptionSpec *o = findOption(table, name, oneDash);
        if (!o) {
            error = unknownOption(table, argument);
            return std::nullopt;
        }
        const std::string shown = "--" + std::string(o->name);
        if (o->value == Value::None && value) {
            error = shown + " takes no value";
            return std::nullopt;
        }
        const bool inlineValue = value.has_value();
        const bool nextIsValue = i + 1 < arguments.size() && (o->value == Value::Required ||
                                                              !arguments[i + 1].starts_with('-'));
        if (o->value != Value::None && !value) {
            if (nextIsValue)
                value = arguments[++i];
            else if (o->value == Value::Optional)
                value = std::string(o->fallback);
            else {
                error = shown + " needs a value";
                return std::nullopt;
            }
        }
        if (value && value->empty()) {
            error = shown + " needs a value, not an empty one";
            return std::nullopt;
        }
        if (o->kind != Kind::Own) {
            out.toolkit.push_back(argument);
            if (value && !inlineValue)
                out.toolkit.push_back(*value);
            continue;
        }
        if (out.has(o->name)) {
            error = shown + " is given twice";
            return std::nullopt;
        }
        out.options.emplace(o->name, o->word ? lowerCase(value.value_or("")) : value.value_or(""));
    }
    return out;
}

std::string optionHelp(std::span<const OptionSpec> table, bool toolkit, std::string_view argument,
                       std::string_view argumentText) {
    std::vector<std::pair<std::string, std::string_view>> rows;
    for (const OptionSpec &o : table) {
        if (o.kind == Kind::Hidden || (o.kind == Kind::Toolkit && !toolkit))
            continue;
        std::string names = o.shortName ? std::string{'-', o.shortName} + ", " : std::string();
        names += "--" + std::string(o.name);
        if (!o.valueName.empty())
            names += " <" + std::string(o.valueName) + ">";
        rows.emplace_back(std::move(names), o.description);
    }
    size_t column = 0;
    for (const auto &row : rows)
        column = std::max(column, row.first.size());
    column = std::min<size_t>(50, column + 1);
    std::string out = "Options:\n";
    for (const auto &[names, text] : rows)
        out += wrapped(names, column, text);
    return out + "\nArguments:\n" + wrapped(argument, column, argumentText);
}

std::optional<std::string_view> nearest(std::string_view word,
                                        std::span<const std::string_view> candidates) {
    std::optional<std::string_view> best;
    size_t bestDistance = 3; // more letters wrong than this is another word
    for (const std::string_view candidate : candidates) {
        const size_t d = editDistance(lowerCase(std::string(word)), candidate);
        if (d < bestDistance && d < std::min(word.size(), candidate.size()) / 2 + 1) {
            best = candidate;
            bestDistance = d;
        }
    }
    return best;
}

std::string lowerCase(std::string text) {
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace qv::app::cli
