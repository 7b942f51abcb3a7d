#include "dmm/ReadingText.h"

namespace qv::dmm {
namespace {

std::string_view part(std::string_view s, std::size_t from, std::size_t count) {
    if (from >= s.size())
        return {};
    return s.substr(from, count);
}

} // namespace

std::string valueField(std::string_view reading) {
    return std::string(part(reading, 0, 6));
}

std::string unitField(std::string_view reading) {
    return std::string(part(reading, 6, 10));
}

std::string trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string recordPrefix(int n) {
    std::string number = std::to_string(n);
    if (n < 10)
        number += ' ';
    return "  No." + number + ":  ";
}

} // namespace qv::dmm
