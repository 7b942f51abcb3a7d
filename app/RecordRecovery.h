#pragma once
#include "common/Form.h"
#include "output/LineFile.h"

#include <memory>
#include <string>
#include <string_view>

namespace qv::app {

/// Keeps an unsaved DMM log safe from a crash or a power cut: every line the log receives is
/// also appended to a recovery file and flushed at once; a saved record or an emptied log
/// removes the file, and so does a clean end when nothing in the log is unsaved; the next start
/// offers to put a file left behind back into the log.
class RecordRecovery {
  public:
    static constexpr const char *kQuestion = "恢复上次未保存的记录?";
    /// The file's name in the user's data folder.
    static constexpr const char *kFileName = "record-recovery.txt";

    /// The question for whole lines left behind: how many, and the times of the first and the
    /// last timed line: "恢复上次未保存的记录? (57 行, 18:25:03 – 18:26:00)".
    [[nodiscard]] static std::string question(std::string_view lines);

    /// path: the recovery file (the user's data folder in the window, a scratch folder in tests).
    RecordRecovery(common::Form &form, std::string path);
    ~RecordRecovery();
    RecordRecovery(const RecordRecovery &) = delete;
    RecordRecovery &operator=(const RecordRecovery &) = delete;

    /// At start-up, after Form_Load: asks once whether to restore a file left behind (Yes fills
    /// the log, No deletes the file), then keeps the log in the file from now on. A question
    /// left without an answer (the program ended meanwhile) leaves the file as it is.
    void start();
    /// A clean end (Exit, the window closed): the file goes when the log holds nothing unsaved
    /// (it was saved, cleared or is empty); otherwise it stays for the next start to offer.
    void end();
    /// Whether the log holds lines not saved: logged or restored lines, or an edit, since the
    /// last Save of the record.
    [[nodiscard]] bool unsaved() const { return unsaved_; }

  private:
    void discard();
    void appended(std::string_view text);
    void replaced(const std::string &text);

    common::Form &form_;
    std::string path_;
    std::unique_ptr<output::LineFile> file_;
    bool unsaved_ = false;
    bool left_ = false; ///< the question went unanswered: the file is not this run's
};

} // namespace qv::app
