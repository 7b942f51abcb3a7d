#include "common/NumberFormat.h"
#include "common/Formatted.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace qv::common {
namespace {

// |v| rounded to 15 significant digits: value = d0.d1d2... x 10^exponent, no trailing zeros.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// The few values next to the largest double whose rounding would pass it (and so not read back)
// are cut to 15 digits instead.
Decimal decimal15(double v) {
    std::string text = formatted("%.14e", std::fabs(v));
    double back = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), back).ec ==
        std::errc::result_out_of_range)
        text = formatted("%.14e", 1.79769313486231e308); // one unit lower
    Decimal d;
    const char *p = text.c_str();
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits.push_back(*p);
    d.exponent = *p ? std::atoi(p + 1) : 0;
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

std::string nonFinite(double v) {
    if (std::isnan(v))
        return "NaN";
    return v < 0 ? "-Inf" : "Inf";
}

// Integer and fraction digits of |v| as plain text from its 15-digit form.
void plainParts(const Decimal &d, std::string &intPart, std::string &fracPart) {
    const int intDigits = d.exponent + 1;
    if (intDigits <= 0) {
        intPart.assign(1, '0');
        fracPart.assign(static_cast<size_t>(-intDigits), '0');
        fracPart += d.digits;
        return;
    }
    const size_t kept = std::min(static_cast<size_t>(intDigits), d.digits.size());
    intPart = d.digits.substr(0, kept) + std::string(static_cast<size_t>(intDigits) - kept, '0');
    fracPart = d.digits.substr(kept);
}

// Adds one to a string of decimal digits.
void increment(std::string &digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::string shortestNumber(double v) {
    if (!std::isfinite(v))
        return nonFinite(v);
    if (v == 0.0)
        return "0";
    const Decimal d = decimal15(v);
    std::string out = v < 0 ? "-" : "";
    if (d.exponent >= -10 && d.exponent < 15) {
        std::string intPart, fracPart;
        plainParts(d, intPart, fracPart);
        out += intPart;
        if (!fracPart.empty()) {
            out += '.';
            out += fracPart;
        }
        return out;
    }
    out += d.digits.substr(0, 1);
    if (d.digits.size() > 1) {
        out += '.';
        out.append(d.digits, 1);
    }
    return out + formatted("E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
}

std::string printItem(double v) {
    const std::string s = shortestNumber(v);
    if (!s.empty() && s[0] == '-')
        return s + " ";
    return " " + s + " ";
}

std::string formatPattern(double v, std::string_view pattern) {
    if (!std::isfinite(v) || std::fabs(v) >= 1e15)
        return shortestNumber(v);
    const size_t point = pattern.find('.');
    const std::string_view intPat = pattern.substr(0, point);
    const std::string_view fracPat =
        point == std::string_view::npos ? std::string_view{} : pattern.substr(point + 1);
    size_t minInt = 0, minFrac = 0, maxFrac = 0;
    for (char c : intPat)
        minInt += c == '0';
    for (char c : fracPat) {
        minFrac += c == '0';
        maxFrac += c == '0' || c == '#';
    }

    std::string intPart = "0", fracPart;
    if (v != 0.0)
        plainParts(decimal15(v), intPart, fracPart);
    fracPart.resize(std::max(fracPart.size(), maxFrac + 1), '0');
    const bool roundUp = fracPart[maxFrac] >= '5';
    std::string all = intPart + fracPart.substr(0, maxFrac);
    if (roundUp)
        increment(all);
    intPart = all.substr(0, all.size() - maxFrac);
    fracPart = all.substr(all.size() - maxFrac);
    while (fracPart.size() > minFrac && fracPart.back() == '0')
        fracPart.pop_back();
    const size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? "" : intPart.substr(firstNonZero);
    if (intPart.size() < minInt)
        intPart.insert(0, minInt - intPart.size(), '0');

    const bool isZero = (intPart + fracPart).find_first_not_of('0') == std::string::npos;
    std::string out = (std::signbit(v) && !isZero) ? "-" : "";
    out += intPart;
    if (!fracPart.empty())
        out += "." + fracPart;
    return out;
}

double roundThrough(double v, std::string_view pattern) {
    return parseNumber(formatPattern(v, pattern));
}

std::string signedText(long long n) {
    const unsigned long long magnitude =
        n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    std::string text(1, n < 0 ? '-' : ' ');
    text += std::to_string(magnitude);
    return text;
}

double parseNumber(std::string_view text) {
    double value = 0.0;
    const char *first = text.data();
    if (!text.empty() && text[0] == '+')
        ++first;
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    return result.ec == std::errc{} ? value : 0.0;
}

} // namespace qv::common
