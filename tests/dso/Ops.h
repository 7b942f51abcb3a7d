#pragma once
#include "common/DrawingTarget.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qv::dso::test {

/// The texts of a display list by their position.
inline std::map<std::pair<double, double>, std::string> textsAt(const common::DrawingTarget &t) {
    std::map<std::pair<double, double>, std::string> out;
    for (const auto &op : t.ops())
        if (const auto *text = std::get_if<common::TextOp>(&op))
            out[{text->x, text->y}] = text->text;
    return out;
}

/// The lines of a display list in one colour.
inline std::vector<common::LineOp> linesIn(const common::DrawingTarget &t, common::Rgb color) {
    std::vector<common::LineOp> out;
    for (const auto &op : t.ops())
        if (const auto *line = std::get_if<common::LineOp>(&op); line && line->color == color)
            out.push_back(*line);
    return out;
}

} // namespace qv::dso::test
