#pragma once
#include <QCoreApplication>

#include <memory>

namespace qv::app::cli {

/// The Qt application of a subcommand, made once its arguments are read. Pictures (and text
/// measured as the window draws it) need Qt's GUI application on a platform without a display,
/// which loads a platform plugin and reads the system's font set-up; anything else (CSV, a
/// capture of readings) takes the core application, which needs neither.
class HeadlessApplication {
  public:
    /// program: the program's name (Qt sees no other argument).
    HeadlessApplication(const char *program, bool pictures);
    ~HeadlessApplication();
    HeadlessApplication(const HeadlessApplication &) = delete;
    HeadlessApplication &operator=(const HeadlessApplication &) = delete;

  private:
    int argc_ = 1;
    char *argv_[2];
    std::unique_ptr<QCoreApplication> app_;
};

} // namespace qv::app::cli
