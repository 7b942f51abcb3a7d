#pragma once
#include "platform/Output.h"
#include "platform/qt/services/QtTextMeasure.h"

#include <QPrinter>

#include <memory>
#include <vector>

class QWidget;

namespace qv::platform::qt {

/// The system's printers (and "Print to file" as PDF) through QPrintDialog. Each document is one
/// page, composed on a drawing target in twips and painted at the printer's resolution.
class QtPrinter final : public Printer {
  public:
    QtPrinter();
    void setParent(QWidget *parent) { parent_ = parent; }
    std::optional<int> askCopies() override;
    common::DrawingTarget *beginDocument() override;
    bool endDocument() override;
    /// The printer, for tests that print to a PDF file without the dialog.
    [[nodiscard]] QPrinter &printer() { return printer_; }

  private:
    QWidget *parent_ = nullptr;
    QPrinter printer_;
    QtTextMeasure measure_;
    std::unique_ptr<common::DrawingTarget> page_;
    std::vector<common::DisplayList> fullPages_;
};

} // namespace qv::platform::qt
