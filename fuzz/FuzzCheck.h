#pragma once
#include "common/DrawingTarget.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

/// An invariant of a fuzz target (this header also brings the standard headers they all use): when
/// it fails, the target says which and aborts, so libFuzzer keeps the input as a crasher.
#define FUZZ_CHECK(holds, what) ((holds) ? void() : qv::fuzz::fail(what, __FILE__, __LINE__))

namespace qv::fuzz {

[[noreturn]] inline void fail(const char *what, const char *file, int line) {
    std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", what, file, line);
    std::abort();
}

/// Every coordinate on a surface is a finite number near the 16-bit range: positions taken from
/// the data saturate at that range, and what is drawn around them (a marker's corners) stays
/// within a marker's size of it. With `readouts`, no text on it shows a number that is not one.
inline void checkSurface(const common::DrawingTarget &t, bool readouts = false) {
    const auto in = [](double c) { return std::isfinite(c) && std::fabs(c) <= 32768 + 100; };
    const auto corners = [&](const auto *s) {
        return !s || (in(s->x1) && in(s->y1) && in(s->x2) && in(s->y2));
    };
    for (const auto &op : t.ops()) {
        FUZZ_CHECK(corners(std::get_if<common::LineOp>(&op)) &&
                       corners(std::get_if<common::BoxOp>(&op)),
                   "line or box outside the 16-bit range");
        if (const auto *x = std::get_if<common::TextOp>(&op)) {
            FUZZ_CHECK(in(x->x) && in(x->y), "text outside the 16-bit range");
            FUZZ_CHECK(!readouts || (x->text.find("NaN") == std::string::npos &&
                                     x->text.find("Inf") == std::string::npos),
                       "a readout shows NaN or infinity");
        }
    }
}

} // namespace qv::fuzz
