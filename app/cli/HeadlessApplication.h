#pragma once
#include "app/cli/Modules.h"
#include "lang/Language.h"

#include <QCoreApplication>

#include <memory>

namespace qv::app::cli {

/// The Qt application of a subcommand, made once its arguments are read. Pictures (and text
/// measured as the window draws it) take Qt's GUI application on a platform without a display,
/// from the picture module, which loads the GUI libraries, a platform plugin and the system's
/// font set-up; anything else (CSV, info, a capture of readings) takes the core application,
/// which needs none of them.
class HeadlessApplication {
  public:
    /// program: the program's name (Qt sees no other argument).
    HeadlessApplication(const char *program, bool pictures);
    ~HeadlessApplication();
    HeadlessApplication(const HeadlessApplication &) = delete;
    HeadlessApplication &operator=(const HeadlessApplication &) = delete;

    /// False when pictures were asked for and the picture module could not be loaded (said on
    /// stderr): nothing can be drawn.
    [[nodiscard]] bool ok() const { return app_ != nullptr; }
    /// What draws pictures; null without pictures.
    [[nodiscard]] PictureKit *pictures() const { return kit_.get(); }
    /// Ends the process with code at once, once every output is written and closed: taking
    /// Qt's GUI down (its fonts, platform and libraries) would only cost time.
    [[noreturn]] static void leave(int code);

  private:
    int argc_ = 1;
    char *argv_[2];
    std::unique_ptr<PictureKit> kit_;
    std::unique_ptr<QCoreApplication> app_;
    lang::Translators translators_; ///< the run's language, for the messages (removed first)
};

} // namespace qv::app::cli
