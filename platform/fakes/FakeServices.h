#pragma once
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Output.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qv::platform::fakes {

/// Message boxes that answer from a script and remember what they were asked. With no scripted
/// answer left they answer the box's default button.
class ScriptedMessages final : public MessageBoxes {
  public:
    std::deque<Answer> answers;
    std::vector<Message> shown;
    Answer show(const Message &message) override;
};

/// File dialogs that return scripted names (nullopt = the user cancelled) and remember filters.
class ScriptedFileDialogs final : public FileDialogs {
  public:
    std::deque<std::optional<std::string>> openAnswers, saveAnswers;
    std::vector<std::string> openFilters, saveFilters;
    std::optional<std::string> openFile(const std::string &filter) override;
    std::optional<std::string> saveFile(const std::string &filter) override;
};

/// A clock that reads fixed texts and counts the sleeps instead of waiting.
class FakeClock final : public Clock {
  public:
    std::string date = "2026-12-07", time = "14:03", timeLong = "14:03:27";
    double seconds = 1796652207; ///< 2026-12-07 14:03:27 UTC
    std::vector<int> sleeps;
    std::string shortDate() const override { return date; }
    std::string shortTime() const override { return time; }
    std::string longTime() const override { return timeLong; }
    double now() const override { return seconds; }
    void sleepMs(int ms) override { sleeps.push_back(ms); }
};

/// A printer that keeps every finished page as a drawing target.
class FakePrinter final : public Printer {
  public:
    std::optional<int> copies = 1;
    bool failBegin = false, failEnd = false;
    /// Height of a page in twips; 0 never breaks a page.
    double pageHeight = 0;
    /// The last page of every finished document.
    std::vector<std::unique_ptr<common::DrawingTarget>> pages;
    /// Full pages that a document's prints ran past, in order.
    std::vector<common::DisplayList> earlierPages;
    std::optional<int> askCopies() override { return copies; }
    common::DrawingTarget *beginDocument() override;
    bool endDocument() override;

  private:
    std::unique_ptr<common::DrawingTarget> current_;
};

/// A clipboard that keeps the last picture's display list.
class FakeClipboard final : public Clipboard {
  public:
    bool cleared = false;
    std::optional<common::DisplayList> image;
    double width = 0, height = 0;
    void clear() override {
        cleared = true;
        image.reset();
    }
    void setImage(const common::DrawingTarget &surface, double w, double h) override {
        image = surface.ops();
        width = w;
        height = h;
    }
};

} // namespace qv::platform::fakes
