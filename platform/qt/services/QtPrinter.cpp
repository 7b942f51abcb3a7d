#include "platform/qt/services/QtPrinter.h"

#include "platform/qt/services/DisplayListPainter.h"

#include <QPainter>
#include <QPrintDialog>

namespace qv::platform::qt {

QtPrinter::QtPrinter() : printer_(QPrinter::HighResolution) {}

std::optional<int> QtPrinter::askCopies() {
    QPrintDialog dialog(&printer_, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const int copies = std::max(1, printer_.copyCount());
    // Every copy is a document of its own; the printer must not multiply each again.
    printer_.setCopyCount(1);
    return copies;
}

common::DrawingTarget *QtPrinter::beginDocument() {
    page_ = std::make_unique<common::DrawingTarget>(common::kWhite, &measure_);
    fullPages_.clear();
    // A long DMM record goes on over as many pages as it needs.
    const double heightTwips = printer_.pageRect(QPrinter::Inch).height() * 1440.0;
    page_->setPageHeight(heightTwips,
                         [this](const common::DisplayList &full) { fullPages_.push_back(full); });
    return page_.get();
}

QPainter *QtPrinter::startPage(QPainter &own) {
    if (printer_.outputFileName().isEmpty())
        return own.begin(&printer_) ? &own : nullptr;
    // Into a file: the job's first document opens it, each later one adds a page.
    if (filePainter_)
        return printer_.newPage() ? filePainter_.get() : nullptr;
    filePainter_ = std::make_unique<QPainter>();
    if (filePainter_->begin(&printer_))
        return filePainter_.get();
    filePainter_.reset();
    return nullptr;
}

bool QtPrinter::endDocument() {
    if (!page_)
        return false;
    const std::unique_ptr<common::DrawingTarget> page = std::move(page_);
    QPainter own;
    QPainter *painter = startPage(own);
    if (!painter)
        return false;
    PaintScale scale;
    scale.pixelsPerTwip = printer_.resolution() / 1440.0;
    scale.originX = page->originLeft();
    scale.originY = page->originTop();
    scale.allowXor = false;
    scale.twipsPerPenUnit = 1440.0 / 600.0;
    const QRectF area(QPointF(0, 0), printer_.pageRect(QPrinter::DevicePixel).size());
    // Pages start white; their own clears are not painted, so nothing covers the margins.
    for (const common::DisplayList &full : fullPages_) {
        paintDisplayList(*painter, full, 1, scale, area);
        if (!printer_.newPage())
            return false;
    }
    fullPages_.clear();
    paintDisplayList(*painter, page->ops(), 1, scale, area);
    return painter != &own || own.end();
}

bool QtPrinter::endJob() {
    if (!filePainter_)
        return true;
    const bool ended = filePainter_->end();
    filePainter_.reset();
    return ended;
}

} // namespace qv::platform::qt
