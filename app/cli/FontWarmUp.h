#pragma once
#include <thread>

namespace qv::app::cli {

/// Reads the system's font set-up (fontconfig's configuration files and font caches, the
/// largest part of a picture's set-up) on a thread of its own while the GUI libraries load and
/// Qt's application starts; fontconfig keeps what it read for Qt's first font. Nothing happens
/// where the system has no fontconfig: Qt then reads it itself.
class FontWarmUp {
  public:
    FontWarmUp();
    ~FontWarmUp() { wait(); }
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;
    /// Until the set-up is read.
    void wait();

  private:
    std::thread thread_;
};

} // namespace qv::app::cli
