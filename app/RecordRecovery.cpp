#include "app/RecordRecovery.h"

#include "dmm/ReadingValue.h"
#include "files/FileStore.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace qv::app {

std::string RecordRecovery::question(std::string_view lines) {
    std::size_t count = 0;
    std::string first, last;
    for (std::size_t at = 0; at < lines.size();) {
        const std::size_t end = std::min(lines.find('\n', at), lines.size());
        const std::string_view line = lines.substr(at, end - at);
        at = end + 1;
        ++count;
        const auto parsed = dmm::parseLogLine(line);
        if (!parsed || parsed->time.starts_with("No.")) // a play-back line has no time
            continue;
        (first.empty() ? first : last) = parsed->time;
    }
    std::string text = std::string(kQuestion) + " (" + std::to_string(count) + " 行";
    if (!first.empty())
        text += ", " + first;
    if (!last.empty())
        text += " – " + last;
    return text + ")";
}

RecordRecovery::RecordRecovery(common::Form &form, std::string path)
    : form_(form), path_(std::move(path)) {
    auto save = form_.call.SaveDMMRecord;
    form_.call.SaveDMMRecord = [this, save] {
        const bool saved = save && save();
        if (saved) {
            discard();
            unsaved_ = false;
        }
        return saved;
    };
}

RecordRecovery::~RecordRecovery() {
    form_.el.RichTextBox1.setOnAppend(nullptr);
    form_.el.RichTextBox1.setOnReplace(nullptr);
}

void RecordRecovery::start() {
    std::stringstream left;
    left << std::ifstream(path_, std::ios::binary).rdbuf(); // closed before the question
    // Only whole lines: a line cut by the crash is not part of the record.
    const std::string text = left.str().substr(0, output::wholeLinesLength(left.str()));
    if (!text.empty()) {
        platform::Message m;
        m.text = question(text);
        m.buttons = platform::Buttons::YesNo;
        m.defaultButton = platform::Answer::Yes;
        const platform::Answer answer = form_.os.messages.show(m);
        if (answer == platform::Answer::Yes) {
            form_.el.RichTextBox1.setText(text);
            form_.el.RichTextBox1.moveCaretToEnd(); // the newest lines in view
            unsaved_ = true; // until Save: the lines are in no file but this one
        } else if (answer == platform::Answer::No) {
            discard();
        } else {
            // Not answered (the program ended while asking): the file stays, untouched, for the
            // next start to offer.
            left_ = true;
            return;
        }
    } else {
        discard();
    }
    form_.el.RichTextBox1.setOnAppend([this](std::string_view more) { appended(more); });
    form_.el.RichTextBox1.setOnReplace([this](const std::string &all) { replaced(all); });
}

void RecordRecovery::end() {
    if (left_)
        return;
    if (unsaved_ && !form_.el.RichTextBox1.text().empty()) {
        file_.reset(); // closed; the lines stay for the next start
        return;
    }
    discard();
}

void RecordRecovery::discard() {
    file_.reset();
    std::remove(path_.c_str());
}

void RecordRecovery::appended(std::string_view text) {
    unsaved_ = true;
    std::string error;
    if (!file_)
        // A line cut by a crash is no part of the record (start() did not restore it): cut off.
        file_ = output::LineFile::open(path_, {.firstLine = {}, .mendTail = nullptr}, error);
    // Without a recovery file (a full disk) the log itself goes on as always.
    if (!file_)
        return;
    if (!file_->append(text, error))
        file_.reset();
    else
        file_->sync();
}

void RecordRecovery::replaced(const std::string &text) {
    unsaved_ = !text.empty();
    file_.reset();
    if (text.empty()) {
        discard();
        return;
    }
    (void)files::FileStore::write(path_, text);
}

} // namespace qv::app
