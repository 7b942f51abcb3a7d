#pragma once
#include "platform/Platform.h"

#include <optional>
#include <string>

namespace qv::app::cli {

/// The services a run without a window has no use for: no file dialogs, no printer, no
/// clipboard.
struct NoDialogs final : platform::FileDialogs {
    std::optional<std::string> openFile(const std::string &) override { return {}; }
    std::optional<std::string> saveFile(const std::string &) override { return {}; }
};
struct NoPrinter final : platform::Printer {
    std::optional<int> askCopies() override { return {}; }
    common::DrawingTarget *beginDocument() override { return nullptr; }
    bool endDocument() override { return false; }
};
struct NoClipboard final : platform::Clipboard {
    void clear() override {}
    void setImage(const common::DrawingTarget &, double, double) override {}
};

} // namespace qv::app::cli
