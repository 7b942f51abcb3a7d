#include "files/LeadingNumber.h"

#include <charconv>
#include <cstddef>
#include <memory>
#include <string>

namespace qv::files {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t skipDigits(std::string_view s, size_t i) {
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return i;
}

// The exponent written after "E", saturated well beyond any double's range.
long long exponentValue(std::string_view digits, bool negative) {
    long long e = 0;
    for (char c : digits) {
        e = e * 10 + (c - '0');
        if (e > 100000)
            break;
    }
    return negative ? -e : e;
}

} // namespace

std::optional<double> leadingNumber(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const size_t intStart = i;
    const size_t intEnd = skipDigits(s, intStart);
    size_t fracStart = intEnd, fracEnd = intEnd;
    if (intEnd < s.size() && s[intEnd] == '.') {
        fracStart = intEnd + 1;
        fracEnd = skipDigits(s, fracStart);
    }
    if (intEnd == intStart && fracEnd == fracStart)
        return 0.0;

    size_t end = fracEnd;
    long long exponent = 0;
    if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
        size_t j = end + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        const size_t expEnd = skipDigits(s, j);
        if (expEnd > j) {
            exponent = exponentValue(s.substr(j, expEnd - j), expNegative);
            end = expEnd;
        }
    }

    // from_chars takes no "+" sign; the sign is applied afterwards.
    const std::string text(s.substr(intStart, end - intStart));
    double value = 0.0;
    const auto result =
        std::from_chars(std::to_address(text.begin()), std::to_address(text.end()), value);
    if (result.ec != std::errc::result_out_of_range) // no other error: the text is a number
        return negative ? -value : value;
    // Too large or too small: tell them apart by the power of ten of the first significant digit,
    // give or take one (out of range, its sign is all that tells).
    const std::string digits = std::string(s.substr(intStart, intEnd - intStart)) +
                               std::string(s.substr(fracStart, fracEnd - fracStart));
    const size_t first = digits.find_first_not_of('0');
    if (first != std::string::npos &&
        static_cast<long long>(intEnd - intStart) - static_cast<long long>(first) + exponent > 0)
        return std::nullopt;
    return negative ? -0.0 : 0.0;
}

} // namespace qv::files
