#include "platform/fakes/FakeServices.h"

namespace qv::platform::fakes {

Answer ScriptedMessages::show(const Message &message) {
    shown.push_back(message);
    if (answers.empty())
        return message.defaultButton;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> ScriptedFileDialogs::openFile(const std::string &filter) {
    openFilters.push_back(filter);
    if (openAnswers.empty())
        return std::nullopt;
    auto a = openAnswers.front();
    openAnswers.pop_front();
    return a;
}

std::optional<std::string> ScriptedFileDialogs::saveFile(const std::string &filter) {
    saveFilters.push_back(filter);
    if (saveAnswers.empty())
        return std::nullopt;
    auto a = saveAnswers.front();
    saveAnswers.pop_front();
    return a;
}

common::DrawingTarget *FakePrinter::beginDocument() {
    if (failBegin)
        return nullptr;
    current_ = std::make_unique<common::DrawingTarget>(common::kWhite);
    current_->setPageHeight(
        pageHeight, [this](const common::DisplayList &page) { earlierPages.push_back(page); });
    return current_.get();
}

bool FakePrinter::endDocument() {
    if (!current_ || failEnd)
        return false;
    pages.push_back(std::move(current_));
    return true;
}

} // namespace qv::platform::fakes
