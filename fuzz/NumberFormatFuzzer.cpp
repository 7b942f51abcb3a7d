// Number formatting against a slow reference (15 significant digits from std::to_chars, not the
// printf the program uses, laid out and rounded by hand), digit for digit; a print item reads back
// as a number that prints the same, a pattern's text lies within half a unit of its last place.
// Input: 8 bytes of a double, then one byte each for the pattern's integer "#" and "0" counts,
// whether it has a point, and its fraction "0" and "#" counts ("##0.0#" is 2, 1, yes, 1, 1).
#include "FuzzCheck.h"
#include "common/NumberFormat.h"

#include <charconv>
#include <cstring>

namespace {

using namespace qv::common;

// |v| = d.ddd x 10^exponent: the digits without trailing zeros.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// |v| (finite, not zero) rounded to 15 significant digits, ties to even.
Decimal digits15(double v) {
    char buf[32] = {};
    std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
    char *e = std::strchr(buf, 'e');
    Decimal x{std::string(1, buf[0]) + std::string(buf + 2, e), std::atoi(e + 1)};
    x.digits.erase(x.digits.find_last_not_of('0') + 1);
    return x;
}

// The digits of x from the place 10^from down to 10^to (zeros where x has none).
std::string placeDigits(const Decimal &x, int from, int to) {
    std::string out;
    for (int p = from; p >= to; --p) {
        const int i = x.exponent - p;
        out += i >= 0 && i < static_cast<int>(x.digits.size()) ? x.digits[std::size_t(i)] : '0';
    }
    return out;
}

std::string referenceShortest(double v) {
    if (!std::isfinite(v) || v == 0)
        return std::isnan(v) ? "NaN" : v == 0 ? "0" : v < 0 ? "-Inf" : "Inf";
    Decimal x = digits15(v);
    if (x.exponent == 308 && x.digits > "179769313486231") // past the largest double: cut instead
        x = {"179769313486231", 308};
    std::string out = v < 0 ? "-" : "";
    if (x.exponent >= -10 && x.exponent < 15) {
        out += placeDigits(x, std::max(x.exponent, 0), 0);
        const int last = x.exponent - static_cast<int>(x.digits.size()) + 1;
        return last < 0 ? out + "." + placeDigits(x, -1, last) : out;
    }
    out += x.digits.substr(0, 1) + (x.digits.size() > 1 ? "." + x.digits.substr(1) : "");
    const std::string e = std::to_string(std::abs(x.exponent));
    return out + "E" + (x.exponent < 0 ? "-" : "+") + (e.size() < 2 ? "0" : "") + e;
}

// The 15-digit form rounded half away from zero to `places` fraction digits, of which the first
// `minFrac` stay when zero, with at least `minInt` integer digits.
std::string referencePattern(double v, int minInt, int minFrac, int places) {
    if (!std::isfinite(v) || std::fabs(v) >= 1e15)
        return referenceShortest(v);
    const Decimal x = v == 0 ? Decimal{"0", 0} : digits15(v);
    std::string all = "0" + placeDigits(x, std::max(x.exponent, 0), -places);
    // One unit more in the last place when the next digit is 5 or more; the "0" takes a carry.
    if (placeDigits(x, -places - 1, -places - 1) >= "5")
        for (auto it = all.rbegin(); ++*it > '9'; ++it)
            *it = '0';
    const std::size_t point = all.size() - static_cast<std::size_t>(places);
    std::string intPart = all.substr(0, point), frac = all.substr(point);
    intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size()));
    intPart.insert(0, static_cast<std::size_t>(std::max(minInt - int(intPart.size()), 0)), '0');
    while (static_cast<int>(frac.size()) > minFrac && frac.back() == '0')
        frac.pop_back();
    const bool zero = all.find_first_not_of('0') == std::string::npos;
    return (v < 0 && !zero ? "-" : "") + intPart + (frac.empty() ? "" : "." + frac);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::uint8_t in[13] = {};
    std::memcpy(in, data, std::min(size, sizeof in));
    double v = 0;
    std::memcpy(&v, in, sizeof v);
    const bool point = in[10] % 2 == 1;
    const int intZero = in[9] % 4, fracZero = point ? in[11] % 8 : 0;
    const int places = point ? fracZero + in[12] % 8 : 0;
    const std::string pattern =
        std::string(in[8] % 4, '#') + std::string(intZero, '0') +
        (point ? "." + std::string(fracZero, '0') + std::string(in[12] % 8, '#') : "");

    // The shortest form, its print item and the display pattern against the references.
    const std::string s = shortestNumber(v), f = formatPattern(v, pattern);
    FUZZ_CHECK(s == referenceShortest(v), "shortest form differs from the reference");
    FUZZ_CHECK(printItem(v) == (s[0] == '-' ? s + " " : " " + s + " "), "print item layout");
    FUZZ_CHECK(f == referencePattern(v, intZero, fracZero, places),
               "pattern text differs from the reference");
    if (!std::isfinite(v))
        return 0;

    // The round trips of both texts, and the pattern's within half a unit of its last place.
    const double back = parseNumber(s);
    FUZZ_CHECK(back == std::strtod(s.c_str(), nullptr), "the shortest form reads back wrong");
    FUZZ_CHECK(shortestNumber(back) == s, "the shortest form does not round-trip");
    FUZZ_CHECK(roundThrough(v, pattern) == parseNumber(f), "round trip differs from its text");
    FUZZ_CHECK(std::fabs(v) >= 1e15 ||
                   std::fabs(std::strtod(f.c_str(), nullptr) - v) <=
                       std::pow(10.0, -places) / 2 + std::fabs(v) * 1e-14 + 1e-300,
               "pattern text further than half a unit from the value");
    return 0;
}
