#pragma once
#include "platform/Output.h"
#include "platform/qt/services/QtTextMeasure.h"

#include <QPainter>
#include <QPrinter>

#include <memory>
#include <vector>

class QWidget;

namespace qv::platform::qt {

/// The system's printers (and "Print to file" as PDF) through QPrintDialog. Each document is one
/// page, composed on a drawing target in twips and painted at the printer's resolution. On a
/// printer each copy is a document of its own; into a file the copies follow each other as pages
/// of one document, ended by endJob.
class QtPrinter final : public Printer {
  public:
    QtPrinter();
    void setParent(QWidget *parent) { parent_ = parent; }
    std::optional<int> askCopies() override;
    common::DrawingTarget *beginDocument() override;
    bool endDocument() override;
    bool endJob() override;
    /// The printer, for tests that print to a PDF file without the dialog.
    [[nodiscard]] QPrinter &printer() { return printer_; }

  private:
    /// The painter for the next page: `own` begun on a printer, the job's file painter else.
    QPainter *startPage(QPainter &own);

    QWidget *parent_ = nullptr;
    QPrinter printer_;
    QtTextMeasure measure_;
    std::unique_ptr<common::DrawingTarget> page_;
    /// Open while a job prints into a file: every copy goes into that file, page after page.
    std::unique_ptr<QPainter> filePainter_;
    std::vector<common::DisplayList> fullPages_;
};

} // namespace qv::platform::qt
