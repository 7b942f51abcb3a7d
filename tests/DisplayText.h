#pragma once
#include "common/DrawOps.h"
#include "common/Formatted.h"

#include <string>

namespace qv::test {

/// A display list as text, every field of every operation: equal texts, equal pictures.
inline std::string listed(const common::DisplayList &ops) {
    std::string out;
    const auto rgb = [](common::Rgb c) { return (c.r << 16) | (c.g << 8) | c.b; };
    for (const auto &op : ops)
        if (const auto *l = std::get_if<common::LineOp>(&op))
            out += common::formatted("L%g,%g,%g,%g,%06x,%d,%d,%d\n", l->x1, l->y1, l->x2, l->y2,
                                     rgb(l->color), l->width, int(l->style), int(l->mode));
        else if (const auto *b = std::get_if<common::BoxOp>(&op))
            out += common::formatted("B%g,%g,%g,%g,%06x,%d,%06x\n", b->x1, b->y1, b->x2, b->y2,
                                     rgb(b->color), int(b->filled), rgb(b->fill));
        else if (const auto *t = std::get_if<common::TextOp>(&op))
            out += common::formatted("T%g,%g,%06x,%s,%g,", t->x, t->y, rgb(t->color),
                                     t->font.c_str(), t->sizePt) +
                   t->text + "\n";
        else
            out += "C\n";
    return out;
}

} // namespace qv::test
