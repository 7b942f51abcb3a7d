#pragma once
#include "app/Program.h"
#include "app/cli/StartupFile.h"
#include "app/qt/MainWindow.h"
#include "files/WaveformFormat.h"
#include "platform/fakes/FakePlatform.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace qv::app::qt {

/// Saves a sine (1 ms/div, 2 V/div, DC, 40 samples a period) to path; opens it as at start-up: DSO.
inline void openSine(Program &program, const std::string &path) {
    files::WaveformRecord r{"7302", 0, "Meter 7302 DSO sample ", "2026-12-07", "14:03:27"};
    r.params = {13, 0, 7, 0, 1, 1, 0, 0};
    for (size_t i = 0; i < r.samples.size(); ++i)
        r.samples[i] = std::round(20 * std::sin(2 * 3.14159265358979 * double(i) / 40));
    std::ofstream(path, std::ios::binary) << files::WaveformFormat::compose(r);
    ASSERT_TRUE(cli::openAtStartUp(program, path));
}

/// The window over fake services, with a scratch folder; SetUp starts the program and shows it.
class WindowFixture : public ::testing::Test {
  protected:
    platform::fakes::FakePlatform fp;
    Program program{fp.platform};
    MainWindow window{program};
    common::Form &form = program.form();
    common::Elements &el = form.el;
    QTemporaryDir dir;

    void SetUp() override {
        program.Form_Load();
        window.show();
    }
    [[nodiscard]] std::string path(const std::string &name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    void openSine() { qt::openSine(program, path("wave1.dso")); }
};

} // namespace qv::app::qt
