#include "common/DrawingTarget.h"

#include "common/NumberFormat.h"

namespace qv::common {

PrintItem::PrintItem(double v) : text_(printItem(v)) {}

DrawingTarget::DrawingTarget(Rgb background, const TextMeasure *measure)
    : background_(background), measure_(measure ? measure : &estimate_) {
    ops_.push_back(ClearOp{background_});
}

void DrawingTarget::setTextMeasure(const TextMeasure *measure) {
    measure_ = measure ? measure : &estimate_;
}

void DrawingTarget::setOrigin(double left, double top) {
    originLeft_ = left;
    originTop_ = top;
}

void DrawingTarget::clear() {
    ops_.clear();
    ++generation_;
    cx_ = originLeft_;
    cy_ = originTop_;
    add(ClearOp{background_});
}

void DrawingTarget::print(std::initializer_list<PrintItem> items, bool lineEnd) {
    std::string text;
    for (const PrintItem &item : items)
        text += item.text();
    print(text, lineEnd);
}

void DrawingTarget::setPageHeight(double twips, std::function<void(const DisplayList &)> newPage) {
    pageHeight_ = twips;
    newPage_ = std::move(newPage);
}

void DrawingTarget::print(const std::string &text, bool lineEnd) {
    const double lineHeight = measure_->lineHeight(font_, sizePt_);
    if (pageHeight_ > 0 && newPage_ && cy_ > originTop_ &&
        cy_ + lineHeight > originTop_ + pageHeight_) {
        newPage_(ops_);
        const double x = cx_;
        clear();
        cx_ = x;
    }
    if (!text.empty())
        add(TextOp{cx_, cy_, text, fore_, font_, sizePt_});
    if (lineEnd) {
        cx_ = originLeft_;
        cy_ += lineHeight;
    } else {
        cx_ += measure_->width(text, font_, sizePt_);
    }
    if (text.empty() && onChange_)
        onChange_();
}

void DrawingTarget::lineTo(double x, double y) {
    lineTo(x, y, fore_);
}

void DrawingTarget::lineTo(double x, double y, Rgb color) {
    line(cx_, cy_, x, y, color);
}

void DrawingTarget::line(double x1, double y1, double x2, double y2) {
    line(x1, y1, x2, y2, fore_);
}

void DrawingTarget::line(double x1, double y1, double x2, double y2, Rgb color) {
    cx_ = x2;
    cy_ = y2;
    add(LineOp{x1, y1, x2, y2, color, width_, style_, mode_});
}

void DrawingTarget::rect(double x1, double y1, double x2, double y2) {
    cx_ = x2;
    cy_ = y2;
    add(BoxOp{x1, y1, x2, y2, fore_, false, fore_, width_, style_, mode_});
}

void DrawingTarget::box(double x1, double y1, double x2, double y2, Rgb color) {
    cx_ = x2;
    cy_ = y2;
    add(BoxOp{x1, y1, x2, y2, color, true, color, width_, style_, mode_});
}

void DrawingTarget::add(DrawOp op) {
    ops_.push_back(std::move(op));
    if (onChange_)
        onChange_();
}

} // namespace qv::common
