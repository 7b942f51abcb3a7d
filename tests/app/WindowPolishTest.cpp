// The window's finish: status panels that never overlap, copying from the log, the log editor,
// the recovery question, the dialogs' memory and texts.
#include "app/Program.h"
#include "app/qt/MainWindow.h"
#include "app/qt/StatusPanel.h"
#include "platform/fakes/FakePlatform.h"

#include <QApplication>
#include <QStatusBar>
#include <gtest/gtest.h>

#include <algorithm>

namespace qv::app::qt {
namespace {

struct WindowPolishTest : ::testing::Test {
    platform::fakes::FakePlatform fp;
    Program program{fp.platform};
    MainWindow window{program};
    common::Elements &el = program.form().el;

    void SetUp() override {
        for (auto &p : fp.port.ports)
            p.exists = false;
        program.Form_Load();
        window.show();
    }
};

// Each panel keeps its share of the bar (3500 : 2000 : 2200 : 1440); a long device name is
// elided in the middle, whole in the tool tip above the link's note, and widening shows more.
TEST_F(WindowPolishTest, StatusPanelsKeepTheirWidthsAndElideALongText) {
    const QString device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0";
    program.serialLink().connectDevice(device.toStdString(), false);
    auto panels = window.statusBar()->findChildren<StatusPanel *>();
    ASSERT_EQ(panels.size(), 4);
    qsizetype shown = 0;
    for (const int width : {609, 1400}) {
        window.resize(width, 450);
        QApplication::processEvents();
        std::ranges::sort(panels, {}, &QWidget::x);
        int right = -1, total = 0;
        for (const StatusPanel *panel : panels) {
            EXPECT_GT(panel->x(), right) << panel->text().toStdString() << " covers its neighbour";
            right = panel->geometry().right();
            total += panel->width();
        }
        const double shares[] = {3500, 2000, 2200, 1440};
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(panels[i]->width(), total * shares[i] / 9140, 6) << i << " at " << width;
        const StatusPanel *link = panels[0];
        EXPECT_TRUE(link->text().contains(device));
        EXPECT_TRUE(link->shownText().contains(QStringLiteral("…")));
        EXPECT_TRUE(link->shownText().startsWith(QStringLiteral("通信电缆未连接在/")));
        EXPECT_TRUE(link->shownText().endsWith(QStringLiteral("，通信无法建立")));
        EXPECT_EQ(link->toolTip(),
                  link->text() + "\n" + device + ": cannot open (No such file or directory)");
        EXPECT_GT(link->shownText().size(), shown) << "a wider window shows more";
        shown = link->shownText().size();
        EXPECT_EQ(panels[3]->toolTip(), QString()) << "a text that fits has no tool tip";
    }
    // A meter on a port of the machine fits at the default size.
    window.resize(609, 450);
    el.panel[0].setText("通信电缆已连接在COM 1，通信已建立");
    QApplication::processEvents();
    EXPECT_EQ(panels[0]->shownText(), panels[0]->text());
}

} // namespace
} // namespace qv::app::qt
