// Number formatting against a slow reference. The reference takes a double's exact binary value in
// decimal, rounds that by hand, and lays the digits out by the documented rules; the formatting
// must agree with it digit for digit, and its texts must read back: a print item reads back as a
// number that prints the same (the shortest round trip), a pattern's text lies within half a unit
// of its last place of the value.
//
// Input: 8 bytes of a double, then one byte each for the pattern's integer "#" and "0" counts,
// whether it has a point, and its fraction "0" and "#" counts ("##0.0#" is 2, 1, yes, 1, 1).
#include "FuzzCheck.h"
#include "common/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using namespace qv::common;

// The exact decimal value of |v| (finite, not zero): digits without trailing zeros, and the power
// of ten of the first one. The C library writes out every digit of a double's binary value when
// asked for enough of them (767 significant digits at most); the rounding is done here, by hand.
struct Exact {
    std::string digits;
    int exponent = 0;
};

Exact exactDecimal(double v) {
    char buf[900];
    std::snprintf(buf, sizeof buf, "%.800e", std::fabs(v));
    char *e = std::strchr(buf, 'e');
    Exact x{std::string(1, buf[0]) + std::string(buf + 2, e), std::atoi(e + 1)};
    while (x.digits.size() > 1 && x.digits.back() == '0')
        x.digits.pop_back();
    return x;
}

// Adds one to the last of the digits; a carry out of the first makes them one longer.
bool increment(std::string &digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

// Keeps `keep` digits (at least 0) of x, rounding what is cut off; ties go to even digits or away
// from zero. The result's exponent grows when rounding carries into a new digit.
Exact roundTo(Exact x, long keep, bool tiesToEven) {
    if (keep >= static_cast<long>(x.digits.size()))
        return x;
    const std::string rest = x.digits.substr(static_cast<std::size_t>(std::max(keep, 0L)));
    std::string kept = x.digits.substr(0, static_cast<std::size_t>(std::max(keep, 0L)));
    bool up = false;
    if (keep >= 0) {
        const bool tie = rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string::npos;
        const bool odd = !kept.empty() && (kept.back() - '0') % 2 == 1;
        up = rest[0] > '5' || (rest[0] == '5' && (!tie || !tiesToEven || odd));
    }
    if (kept.empty()) { // every digit was cut: the result is 0 or one unit of the place kept
        if (!up)
            return {"0", x.exponent - static_cast<int>(keep)};
        return {"1", x.exponent - static_cast<int>(keep) + 1};
    }
    if (up && increment(kept)) {
        kept.pop_back();
        ++x.exponent;
    }
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();
    return {kept, x.exponent};
}

// The digits of x from the place 10^from down to 10^to, as plain text (zeros where x has none).
std::string placeDigits(const Exact &x, int from, int to) {
    std::string out;
    for (int p = from; p >= to; --p) {
        const int i = x.exponent - p;
        out += i >= 0 && i < static_cast<int>(x.digits.size())
                   ? x.digits[static_cast<std::size_t>(i)]
                   : '0';
    }
    return out;
}

std::string referenceShortest(double v) {
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v < 0 ? "-Inf" : "Inf";
    if (v == 0)
        return "0";
    Exact x = roundTo(exactDecimal(v), 15, true);
    std::string padded = x.digits;
    padded.resize(15, '0');
    if (x.exponent == 308 && padded > "179769313486231") // past the largest double: cut instead
        x = {"179769313486231", 308};
    std::string out = v < 0 ? "-" : "";
    if (x.exponent >= -10 && x.exponent < 15) {
        out += placeDigits(x, std::max(x.exponent, 0), 0);
        const int last = x.exponent - static_cast<int>(x.digits.size()) + 1;
        if (last < 0)
            out += "." + placeDigits(x, -1, last);
        return out;
    }
    out += x.digits.substr(0, 1);
    if (x.digits.size() > 1)
        out += "." + x.digits.substr(1);
    const std::string e = std::to_string(std::abs(x.exponent));
    return out + "E" + (x.exponent < 0 ? "-" : "+") + (e.size() < 2 ? "0" : "") + e;
}

struct Pattern {
    int intHash, intZero, fracZero, fracHash;
    bool point;
    [[nodiscard]] std::string text() const {
        const std::string intPart = std::string(static_cast<std::size_t>(intHash), '#') +
                                    std::string(static_cast<std::size_t>(intZero), '0');
        if (!point)
            return intPart;
        return intPart + "." + std::string(static_cast<std::size_t>(fracZero), '0') +
               std::string(static_cast<std::size_t>(fracHash), '#');
    }
};

std::string referencePattern(double v, const Pattern &p) {
    if (!std::isfinite(v) || std::fabs(v) >= 1e15)
        return referenceShortest(v);
    const int maxFrac = p.point ? p.fracZero + p.fracHash : 0;
    const int minFrac = p.point ? p.fracZero : 0;
    Exact x{"0", 0};
    if (v != 0) {
        x = roundTo(exactDecimal(v), 15, true);
        x = roundTo(x, x.exponent + 1 + maxFrac, false); // to the last fraction place
    }
    std::string intPart = x.exponent >= 0 ? placeDigits(x, x.exponent, 0) : "";
    intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size()));
    if (static_cast<int>(intPart.size()) < p.intZero)
        intPart.insert(0, static_cast<std::size_t>(p.intZero) - intPart.size(), '0');
    std::string frac = maxFrac > 0 ? placeDigits(x, -1, -maxFrac) : "";
    while (static_cast<int>(frac.size()) > minFrac && frac.back() == '0')
        frac.pop_back();
    const bool zero = x.digits == "0";
    return (v < 0 && !zero ? "-" : "") + intPart + (frac.empty() ? "" : "." + frac);
}

double readBack(const std::string &s) {
    return std::strtod(s.c_str(), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::uint8_t in[13] = {};
    std::memcpy(in, data, std::min(size, sizeof in));
    double v = 0;
    std::memcpy(&v, in, sizeof v);
    const Pattern p{in[8] % 4, in[9] % 4, in[11] % 8, in[12] % 8, in[10] % 2 == 1};

    // The shortest form, its print item, and the round trip.
    const std::string s = shortestNumber(v);
    FUZZ_CHECK(s == referenceShortest(v), "shortest form differs from the reference");
    FUZZ_CHECK(printItem(v) == (s[0] == '-' ? s + " " : " " + s + " "), "print item layout");
    if (std::isfinite(v)) {
        const double back = parseNumber(s);
        FUZZ_CHECK(back == readBack(s), "the shortest form reads back wrong");
        FUZZ_CHECK(shortestNumber(back) == s, "the shortest form does not round-trip");
    }

    // The display pattern and its round trip.
    const std::string pattern = p.text();
    const std::string f = formatPattern(v, pattern);
    FUZZ_CHECK(f == referencePattern(v, p), "pattern text differs from the reference");
    if (std::isfinite(v)) {
        FUZZ_CHECK(roundThrough(v, pattern) == parseNumber(f), "round trip differs from its text");
        if (std::fabs(v) < 1e15) {
            const int places = p.point ? p.fracZero + p.fracHash : 0;
            const double unit = std::pow(10.0, -places);
            FUZZ_CHECK(std::fabs(readBack(f) - v) <= unit / 2 + std::fabs(v) * 1e-14 + 1e-300,
                       "pattern text further than half a unit from the value");
        }
    }
    return 0;
}
