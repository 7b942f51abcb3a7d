#pragma once
#include "app/cli/NoServices.h"
#include "platform/Platform.h"

#include <string>
#include <vector>

namespace qv::app::cli {

/// The platform of a run without a window: no serial port, no dialogs, printer or clipboard, a
/// clock that never waits, and message boxes that answer their default button and keep the texts
/// so that the command line can print them.
class HeadlessPlatform {
  public:
    HeadlessPlatform();
    HeadlessPlatform(const HeadlessPlatform &) = delete;
    HeadlessPlatform &operator=(const HeadlessPlatform &) = delete;

    /// The texts of the message boxes shown since the last call, and forgets them.
    [[nodiscard]] std::vector<std::string> takeMessages();
    [[nodiscard]] platform::Platform &platform() { return platform_; }

  private:
    struct NoPort final : platform::SerialPort {
        bool selectPort(int) override { return false; }
        int port() const override { return 0; }
        bool open() override { return false; }
        bool close() override { return false; }
        bool isOpen() const override { return false; }
        bool setRts(bool) override { return false; }
        bool setDtr(bool) override { return false; }
        std::optional<bool> dsr() override { return std::nullopt; }
        std::optional<bool> cts() override { return std::nullopt; }
        std::vector<std::uint8_t> read() override { return {}; }
        void setEventHandler(std::function<void(int)>) override {}
        void setFailureHandler(std::function<void()>) override {}
        std::string deviceName(int) const override { return {}; }
    };
    struct KeptMessages final : platform::MessageBoxes {
        std::vector<std::string> texts;
        platform::Answer show(const platform::Message &m) override {
            texts.push_back(m.text);
            return m.defaultButton;
        }
    };
    struct NoWaitClock final : platform::Clock {
        std::string shortDate() const override { return {}; }
        std::string shortTime() const override { return {}; }
        std::string longTime() const override { return {}; }
        double now() const override { return 0; }
        void sleepMs(int) override {}
    };

    NoPort port_;
    KeptMessages messages_;
    NoDialogs dialogs_;
    NoPrinter printer_;
    NoClipboard clipboard_;
    NoWaitClock clock_;
    platform::Platform platform_;
};

} // namespace qv::app::cli
