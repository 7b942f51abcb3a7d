// The window, its dialogs and the core's texts in Chinese and in English, switched while open.
#include "lang/Language.h"
#include "app/qt/LanguageMenu.h"
#include "app/qt/MeasurementsPanel.h"
#include "app/qt/StatusPanel.h"
#include "app/qt/TwipsCanvas.h"
#include "common/ShownTexts.h"
#include "lang/ShownText.h"
#include "link/LinkTexts.h"
#include "platform/qt/services/QtClipboard.h"
#include "tests/app/WindowFixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>

namespace qv::app::qt {
namespace {

using lang::Language;

/// The window with messages and file dialogs translated, the settings in a file of its own.
class LanguageTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    platform::fakes::FakePlatform fp;
    lang::ShownMessageBoxes messages{fp.messages};
    lang::ShownFileDialogs files{fp.files};
    platform::Platform os{fp.port, messages, files, fp.printer, fp.clipboard, fp.clock};
    Program program{os};
    MainWindow window{program};
    lang::Translators translators;
    common::Elements &el = program.form().el;

    void SetUp() override {
        qputenv(lang::kSettingsVariable, dir.filePath(QStringLiteral("settings.ini")).toUtf8());
        for (auto &p : fp.port.ports)
            p.exists = false;
        translators.apply(Language::Chinese);
        addLanguageMenu(window, translators);
        program.Form_Load();
        window.show();
    }
    void TearDown() override {
        translators.apply(Language::Chinese);
        qunsetenv(lang::kSettingsVariable);
    }

    void choose(Language language) {
        auto *item = window.findChild<QAction *>(
            QStringLiteral("mnuLanguage_%1").arg(lang::languageName(language)));
        ASSERT_NE(item, nullptr);
        item->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }
    [[nodiscard]] std::string panel(int i) const {
        return window.statusBar()->findChildren<StatusPanel *>().at(i)->text().toStdString();
    }
};

// One row per kind of text, in English after the switch and in Chinese again; the choice is kept.
TEST_F(LanguageTest, TheChoiceRetranslatesTheOpenWindowAndIsKept) {
    program.openTrend();
    ASSERT_NE(window.trendWindow(), nullptr);
    using Read = std::function<std::string()>;
    const auto text = [&](const char *a) { return window.action(a)->text().toStdString(); };
    const auto tip = [](const auto *w) { return w->toolTip().toStdString(); };
    const auto measurements = window.measurementsPanel()->findChild<QTableWidget *>();
    // clang-format off
    const std::tuple<const char *, Read, std::string, std::string> rows[] = {
        {"File menu", [&] { return text("mnuFile"); }, "&File   ", "&File   "},
        {"Other port", [&] { return text("mnuOtherPort"); }, "其他端口(&O)…", "&Other port…"},
        {"Trend", [&] { return text("mnuTrend"); }, "趋势(&T)…", "&Trend…"},
        {"Export item", [&] { return text("mnuExportRecordCsv"); }, "记录 CSV…", "Record CSV…"},
        {"Wave item", [&] { return text("mnuPreviousFrame"); }, "上一帧", "Previous frame"},
        {"measurement", [&] { return measurements->item(0, 0)->text().toStdString(); }, "最大值",
         "Maximum"},
        {"Link tip", [&] { return tip(window.action("button:Link")); }, "连接", "Link"},
        {"scope tip", [&] { return tip(window.scope()); }, "DSO窗口", "DSO window"},
        {"panel 1", [&] { return panel(0); }, "通信电缆未连接，通信无法建立",
         "Cable not connected, no link"},
        {"panel 4", [&] { return panel(3); }, "数据间隔1s", "Interval 1 s"},
        {"trend title", [&] { return window.trendWindow()->windowTitle().toStdString(); },
         "趋势 - QVLINK", "Trend - QVLINK"},
        {"Qt's buttons",
         [] { return QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(); },
         "取消", "Cancel"}};
    // clang-format on
    for (const Language language : {Language::English, Language::Chinese}) {
        choose(language);
        for (const auto &[what, read, zh, en] : rows)
            EXPECT_EQ(read(), language == Language::English ? en : zh) << what;
        const QSettings kept(qEnvironmentVariable(lang::kSettingsVariable), QSettings::IniFormat);
        EXPECT_EQ(kept.value("language").toString(), lang::languageName(language));
        EXPECT_EQ(lang::runLanguage(), language) << "read back from the test's settings";
    }
    // A status text that changes while English is chosen comes in English.
    choose(Language::English);
    el.panel[0].setText(link::kDisconnectedText), el.panel[3].setText("帧 37/100, 10:15:03");
    EXPECT_EQ(panel(0) + "|" + panel(3), "Link lost|frame 37/100, 10:15:03");
}

// A file that is no waveform: the message and the dialog's filter in English.
TEST_F(LanguageTest, ARefusedFileSaysWhyInEnglish) {
    choose(Language::English);
    const std::string file = dir.filePath(QStringLiteral("r.txt")).toStdString();
    std::ofstream(file, std::ios::binary) << "QVDATALINK47 V1.0\r\n2026-12-07\r\n";
    fp.files.openAnswers = {file};
    program.commands().clickMenu("menuOpen");
    ASSERT_FALSE(fp.messages.shown.empty());
    EXPECT_EQ(std::tuple(fp.messages.shown.back().text, fp.messages.shown.back().title,
                         fp.files.openFilters.back()),
              std::tuple(file + ": File format not recognised", "QM520W",
                         "DSO waveform files(*.dso)|*.dso|All files(*.*)|*.*"));
}

// With the same parts; a text outside the table stays; Chinese shows the core's text exactly.
TEST_F(LanguageTest, EveryCoreTextHasItsEnglishForm) {
    const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    const QRegularExpression parts(QStringLiteral("%[1-9]"));
    const auto partsOf = [&](const QString &s) {
        QStringList found;
        for (auto it = parts.globalMatch(s); it.hasNext();)
            found << it.next().captured();
        found.sort();
        return found;
    };
    choose(Language::English);
    for (const common::ShownText &t : common::shownTexts()) {
        const QString en = QCoreApplication::translate(common::kShownTextContext, t.shown);
        EXPECT_FALSE(en.contains(chinese)) << t.core << " -> " << en.toStdString();
        EXPECT_EQ(partsOf(en), partsOf(QString::fromUtf8(t.core))) << t.core;
    }
    const std::pair<std::string, std::string> rows[] = {
        {"通信电缆已连接在COM 1，通信已建立", "Cable connected to COM 1, link established"},
        {"仪表当前工作在DSO模式，要将程序切换到DSO模式吗?",
         "The meter is working in DSO mode. Switch the program to DSO mode?"},
        {"仪表当前工作在DSO模式，要将程序切换到DMM模式吗?", // not the core's: as it is
         "仪表当前工作在DSO模式，要将程序切换到DMM模式吗?"},
        {"a%2.dso 文件格式不正确 (why)", "a%2.dso: File format not recognised (why)"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
    };
    for (const auto &[core, en] : rows)
        EXPECT_EQ(lang::shownString(core), en) << core;
    choose(Language::Chinese);
    for (const auto &[core, en] : rows)
        EXPECT_EQ(lang::shownString(core), core);
}

// The scope screen is drawn the same in both languages (its texts are the meter's).
TEST_F(LanguageTest, TheScreensAreTheSameInBothLanguages) {
    const auto screens = [&] {
        openSine(program, dir.filePath(QStringLiteral("wave1.dso")).toStdString());
        std::vector<QImage> images;
        for (const char *view : {"DSO_wave", "DSO_FFT"}) {
            program.commands().pressButton(view);
            images.push_back(platform::qt::QtClipboard::render(el.Picture1, 5530, 5055));
        }
        return images;
    };
    const std::vector<QImage> chinese = screens();
    choose(Language::English);
    EXPECT_EQ(screens(), chinese);
}

} // namespace
} // namespace qv::app::qt
