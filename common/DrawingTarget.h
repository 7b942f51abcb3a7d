#pragma once
#include "common/DrawOps.h"
#include "common/TextMeasure.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qv::common {

/// One item of a print: a string as it is, or a number as a print item (" 2.5 ").
class PrintItem {
  public:
    PrintItem(const char *s) : text_(s) {}
    PrintItem(std::string s) : text_(std::move(s)) {}
    PrintItem(std::string_view s) : text_(s) {}
    PrintItem(double v);
    PrintItem(int v) : PrintItem(static_cast<double>(v)) {}
    [[nodiscard]] const std::string &text() const { return text_; }

  private:
    std::string text_;
};

/// The surface everything is drawn on: the scope screen, the digit panel, the printer page and
/// any image. It keeps the drawing state (colour, current position, pen, mode, font) and records
/// each operation in twips into a display list that a renderer paints at any scale. A clear
/// starts a new list, so the list only ever holds what is visible.
class DrawingTarget {
  public:
    explicit DrawingTarget(Rgb background = kWhite, const TextMeasure *measure = nullptr);

    void setForeColor(Rgb c) { fore_ = c; }
    [[nodiscard]] Rgb foreColor() const { return fore_; }
    void setCurrentX(double x) { cx_ = x; }
    void setCurrentY(double y) { cy_ = y; }
    [[nodiscard]] double currentX() const { return cx_; }
    [[nodiscard]] double currentY() const { return cy_; }
    void setPenWidth(int px) { width_ = px < 1 ? 1 : px; }
    [[nodiscard]] int penWidth() const { return width_; }
    void setPenStyle(PenStyle s) { style_ = s; }
    [[nodiscard]] PenStyle penStyle() const { return style_; }
    void setDrawMode(DrawMode m) { mode_ = m; }
    [[nodiscard]] DrawMode drawMode() const { return mode_; }
    void setFontName(std::string name) { font_ = std::move(name); }
    [[nodiscard]] const std::string &fontName() const { return font_; }
    void setFontSize(double pt) { sizePt_ = pt; }
    [[nodiscard]] double fontSize() const { return sizePt_; }
    /// The coordinates of the target's top-left corner (the printer page uses -1000, -1000).
    void setOrigin(double left, double top);
    [[nodiscard]] double originLeft() const { return originLeft_; }
    [[nodiscard]] double originTop() const { return originTop_; }
    [[nodiscard]] Rgb background() const { return background_; }
    void setTextMeasure(const TextMeasure *measure);

    /// Erases everything: the list restarts with the background, the position goes to the corner.
    void clear();
    /// Prints the items at the current position; a line end returns to the left edge one text line
    /// lower, otherwise the position moves past the text.
    void print(std::initializer_list<PrintItem> items, bool lineEnd = true);
    void print(const std::string &text, bool lineEnd = true);
    /// A line from the current position; the end becomes the current position.
    void lineTo(double x, double y);
    void lineTo(double x, double y, Rgb color);
    void line(double x1, double y1, double x2, double y2);
    void line(double x1, double y1, double x2, double y2, Rgb color);
    /// Rectangle outline in the foreground colour, and a box filled with (and outlined in) colour.
    void rect(double x1, double y1, double x2, double y2);
    void box(double x1, double y1, double x2, double y2, Rgb color);

    [[nodiscard]] const DisplayList &ops() const { return ops_; }
    /// Counts clears, so a view knows when to repaint from scratch rather than add to its image.
    [[nodiscard]] std::uint64_t generation() const { return generation_; }
    /// Called after every operation (the window repaints from it).
    void setOnChange(std::function<void()> f) { onChange_ = std::move(f); }
    /// Makes the target a printer page of this height in twips: a print that would run past the
    /// bottom first hands the full page to newPage, then goes on at the top of a fresh one.
    void setPageHeight(double twips, std::function<void(const DisplayList &)> newPage);

  private:
    void add(DrawOp op);

    Rgb background_;
    const TextMeasure *measure_;
    EstimatedTextMeasure estimate_;
    Rgb fore_ = kBlack;
    double cx_ = 0, cy_ = 0;
    int width_ = 1;
    PenStyle style_ = PenStyle::Solid;
    DrawMode mode_ = DrawMode::Copy;
    std::string font_ = "Sans Serif";
    double sizePt_ = 9;
    double originLeft_ = 0, originTop_ = 0;
    DisplayList ops_;
    std::uint64_t generation_ = 0;
    std::function<void()> onChange_;
    double pageHeight_ = 0;
    std::function<void(const DisplayList &)> newPage_;
};

} // namespace qv::common
