#pragma once
#include "common/DrawingTarget.h"

#include <optional>

namespace qv::platform {

/// The print dialog and the printer. Each document is one page drawn on a drawing target in
/// twips; finishing it sends it to the printer (or the PDF file the user chose).
class Printer {
  public:
    virtual ~Printer() = default;
    /// Shows the print dialog; the number of copies, or nullopt when cancelled or no printer.
    [[nodiscard]] virtual std::optional<int> askCopies() = 0;
    /// Starts a document of one page and returns its page; nullptr when that fails.
    [[nodiscard]] virtual common::DrawingTarget *beginDocument() = 0;
    /// Finishes the page and the document; false when printing failed.
    [[nodiscard]] virtual bool endDocument() = 0;
    /// Ends the print job after its last document (all copies of one print command); a printer
    /// that writes a file puts every copy into that one file. False when that failed.
    [[nodiscard]] virtual bool endJob() { return true; }
};

/// The clipboard: takes a picture of a drawing surface of the given size in twips.
class Clipboard {
  public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setImage(const common::DrawingTarget &surface, double widthTwips,
                          double heightTwips) = 0;
};

} // namespace qv::platform
