#pragma once
#include "common/DrawingTarget.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>

/// An invariant of a fuzz target: when it fails, the target says which and aborts, so libFuzzer
/// keeps the input as a crasher.
#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", what, __FILE__, __LINE__);      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace qv::fuzz {

/// Every coordinate on a surface is a finite number near the 16-bit range: positions taken from
/// the data saturate at that range, and what is drawn around them (a marker's corners) stays
/// within a marker's size of it.
inline void checkSurface(const common::DrawingTarget &t) {
    const auto inRange = [](double c) { return std::isfinite(c) && std::fabs(c) <= 32768 + 100; };
    for (const auto &op : t.ops()) {
        if (const auto *l = std::get_if<common::LineOp>(&op))
            FUZZ_CHECK(inRange(l->x1) && inRange(l->y1) && inRange(l->x2) && inRange(l->y2),
                       "line outside the 16-bit range");
        else if (const auto *b = std::get_if<common::BoxOp>(&op))
            FUZZ_CHECK(inRange(b->x1) && inRange(b->y1) && inRange(b->x2) && inRange(b->y2),
                       "box outside the 16-bit range");
        else if (const auto *x = std::get_if<common::TextOp>(&op))
            FUZZ_CHECK(inRange(x->x) && inRange(x->y), "text outside the 16-bit range");
    }
}

/// No readout on the surface shows a number that is not one.
inline void checkReadouts(const common::DrawingTarget &t) {
    for (const auto &op : t.ops())
        if (const auto *x = std::get_if<common::TextOp>(&op))
            FUZZ_CHECK(x->text.find("NaN") == std::string::npos &&
                           x->text.find("Inf") == std::string::npos,
                       "a readout shows NaN or infinity");
}

} // namespace qv::fuzz
