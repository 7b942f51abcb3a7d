#pragma once
#include "common/Rgb.h"

#include <string>
#include <variant>
#include <vector>

namespace qv::common {

/// How a line or box meets what is already drawn: copy replaces the pixels, XOR inverts them so
/// that drawing the same thing twice restores them exactly.
enum class DrawMode { Copy, Xor };

/// Line styles: solid, dash, dot, dash-dot, dash-dot-dot, invisible.
enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Invisible };

/// Everything below is in twips of the target (1440 per inch) after the origin shift; pen widths
/// are in pixels of a 96-dpi screen (one pixel = 15 twips).
struct LineOp {
    double x1, y1, x2, y2;
    Rgb color;
    int width;
    PenStyle style;
    DrawMode mode;
};

struct BoxOp {
    double x1, y1, x2, y2;
    Rgb color; ///< outline colour
    bool filled;
    Rgb fill;
    int width;
    PenStyle style;
    DrawMode mode;
};

struct TextOp {
    double x, y; ///< top-left corner of the text
    std::string text;
    Rgb color;
    std::string font;
    double sizePt;
};

struct ClearOp {
    Rgb background;
};

using DrawOp = std::variant<LineOp, BoxOp, TextOp, ClearOp>;
using DisplayList = std::vector<DrawOp>;

} // namespace qv::common
