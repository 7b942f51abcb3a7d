#pragma once
#include "common/Elements.h"
#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace qv::common {

/// Scope screen geometry in twips of the scope surface.
struct ScreenGeometry {
    double ScreenLeft = 150, ScreenTop = 500, ScreenWidth = 5120, ScreenHeight = 4000;
    double ScreenRight = ScreenLeft + ScreenWidth;
    double ScreenBottom = ScreenTop + ScreenHeight;
    double ScreenCenterX = ScreenWidth / 2 + ScreenLeft;
    double ScreenCenterY = ScreenHeight / 2 + ScreenTop;
};

/// Values the subsystems share, with their start-up values.
struct SharedValues {
    std::int16_t ComPort = 0;
    std::int16_t ModeMismatchCount = 0;
    std::int16_t MeterModelCode = 0;
    std::string MeterModelName;
    std::string WorkModeName;
    std::string DMMReading;
    bool DMMSampleReady = false;
    std::string CurrentFileName;
    std::int16_t CursorMode = 0;
    std::int16_t WindowType = 1;
    std::string WindowName = "Hanning";
    int SpectrumLogScale = 0;
    std::array<std::uint8_t, 20> PacketPending{};
    std::array<std::uint8_t, 20> PacketData{};
};

/// The waveform on screen: settings, points, date, time and title.
struct Waveform {
    std::array<double, 21> DsoParam{};
    std::array<double, 257> WaveData{};
    std::string WaveDate, WaveTime, WaveTitle;
    bool WaveValid = false;
};

/// Procedures that one subsystem calls in another. The window wires them at start-up; an
/// unwired one does nothing (and one with a result returns its default).
struct Procedures {
    std::function<void()> DMMmode, DSOmode;          // operating modes
    std::function<void()> DSO_display, FFT_Display;  // waveform and spectrum views
    std::function<void()> Display_Coordinate_screen; // empty waveform graticule
    std::function<void()> CursorInit, CloseHCursor, CloseVCursor, Clear_dVdt; // cursors
    std::function<void()> Display_DMMReading;                                 // big digits
    std::function<void()> mnuDMMRecordPause_Click;                            // end DMM recording
    std::function<bool()> SaveDMMRecord;                    // true when the file was written
    std::function<void(const std::string &)> CaptionChange; // caption from a file path
    std::function<void()> DropCutFrame; // the port failed: drop the packet and frame under way
    /// Every live reading's time (seconds since 1970) and text, for the trend.
    std::function<void(double, const std::string &)> LiveReading;

    static void run(const std::function<void()> &f) {
        if (f)
            f();
    }
};

/// The main window's state as the program sees it: elements, shared values, the waveform, the
/// cross-subsystem procedures and the platform services.
struct Form {
    explicit Form(platform::Platform &platform) : os(platform) {}
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    Elements el;
    SharedValues v;
    ScreenGeometry geo;
    Waveform wave;
    Procedures call;
    platform::Platform &os;
};

} // namespace qv::common
