// The window's module (qvlink-window.so): the window, started by the program once its
// arguments ask for it. The command line's subcommands never load it, nor the widget libraries
// it needs.
#include "app/Program.h"
#include "app/RecordRecovery.h"
#include "app/cli/Cli.h"
#include "app/cli/Modules.h"
#include "app/cli/StartupFile.h"
#include "app/qt/DeviceLinkSetup.h"
#include "app/qt/LanguageMenu.h"
#include "app/qt/MainWindow.h"
#include "app/qt/MqttPublishing.h"
#include "app/qt/Screenshots.h"
#include "lang/Language.h"
#include "lang/ShownText.h"
#include "link/qt/LinkOptions.h"
#include "mqtt/qt/QtSettingsStore.h"
#include "platform/Platform.h"
#include "platform/qt/ProgramSettings.h"
#include "platform/qt/services/QtClipboard.h"
#include "platform/qt/services/QtClock.h"
#include "platform/qt/services/QtFileDialogs.h"
#include "platform/qt/services/QtMessageBoxes.h"
#include "platform/qt/services/QtPictureWriter.h"
#include "platform/qt/services/QtPrinter.h"
#include "platform/qt/services/QtTextMeasure.h"
#include "platform/qt/services/QtWindowPlaces.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using namespace qv;

namespace {

/// The frames the history keeps: --history, else the setting "scope/historyFrames", else 100.
std::size_t historyFrames(const app::cli::WindowOptions &options) {
    if (options.history)
        return *options.history;
    bool ok = false;
    const uint n =
        platform::qt::programSettings()->value(QStringLiteral("scope/historyFrames")).toUInt(&ok);
    return ok ? std::min<std::size_t>(n, dso::FrameHistory::kMaxCapacity)
              : dso::FrameHistory::kDefaultCapacity;
}

} // namespace

extern "C" int qvlinkWindow(const char *programName, app::cli::WindowOptions &options) {
    // Qt sees its own options only: a file named "-reverse" after "--" stays a file.
    std::vector<char *> qtArguments{const_cast<char *>(programName)};
    for (std::string &option : options.toolkit)
        qtArguments.push_back(option.data());
    qtArguments.push_back(nullptr);
    int qtCount = static_cast<int>(qtArguments.size()) - 1;
    QApplication application(qtCount, qtArguments.data());
    QApplication::setApplicationName(QStringLiteral("qvlink"));
    QApplication::setApplicationVersion(QString::fromLatin1(app::cli::version()));
    // The window, its dialogs and Qt's own speak the language chosen; --help stays as written.
    lang::Translators translators;
    translators.apply(lang::runLanguage());

    std::string error;
    std::optional<link::qt::CommandLineLink> meterLink =
        link::qt::linkFromCommandLine(options.link, error);
    if (!meterLink) {
        std::fprintf(stderr, "qvlink: %s\n", error.c_str());
        return 2;
    }
    if (!meterLink->port.replayNote.empty())
        std::fprintf(stderr, "qvlink: %s\n", meterLink->port.replayNote.c_str());
    platform::SerialPort *port = meterLink->port.port.get();
    platform::qt::QtMessageBoxes messages;
    platform::qt::QtFileDialogs files;
    platform::qt::QtPrinter printer;
    platform::qt::QtClipboard clipboard;
    platform::qt::QtClock clock;
    lang::ShownMessageBoxes shownMessages(messages);
    lang::ShownFileDialogs shownFiles(files);
    platform::Platform os{*port, shownMessages, shownFiles, printer, clipboard, clock};

    app::Program program(os, historyFrames(options));
    platform::qt::QtTextMeasure measure;
    program.form().el.Picture1.setTextMeasure(&measure);
    program.form().el.Picture2.setTextMeasure(&measure);
    platform::qt::QtWindowPlaces places; // outlives the window, which keeps the trend's place
    app::qt::MainWindow window(program);
    window.setWindowPlaces(&places);
    app::qt::addLanguageMenu(window, translators);
    messages.setParent(&window);
    files.setParent(&window);
    printer.setParent(&window);
    program.quit = [] { QApplication::exit(0); };
    platform::qt::QtPictureWriter pictures;
    program.exports().setPictureWriter(&pictures);
    app::qt::DeviceLinkSetup devices(program, meterLink->options, meterLink->port, &window);
    mqtt::qt::QtSettingsStore mqttSettings;
    app::qt::MqttPublishing mqttPublishing(program, window, mqttSettings);
    const QDir data(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    (void)data.mkpath(QStringLiteral("."));
    // A run taking screenshots neither offers nor touches the user's recovery file.
    std::optional<app::RecordRecovery> recovery;
    if (!options.screenshots)
        recovery.emplace(program.form(),
                         data.filePath(app::RecordRecovery::kFileName).toStdString());
    // The reference trace is kept there too (a run taking pictures leaves it alone).
    if (!options.screenshots)
        program.reference().setStore(data.filePath(QStringLiteral("reference.dso")).toStdString());

    program.Form_Load();
    program.reference().load();
    // A replay without a whole record: no meter was found; panel 1's tool tip says why.
    if (meterLink->port.nothingToReplay)
        program.form().el.linkNote.setText(meterLink->port.replayNote);
    // A waveform demo starts where its waveforms are shown.
    const bool dsoDemo = options.link.demo.starts_with("dso");
    if (dsoDemo)
        program.commands().pressButton("DSOmode");
    window.show();
    // Asked once the window is on the screen, so that the question stands over it.
    if (recovery)
        window.whenShown([&recovery] { recovery->start(); });

    // A file named on the command line opens in DSO mode once the window is up, as Open would.
    if (options.file)
        QTimer::singleShot(0, &window, [&program, file = *options.file] {
            (void)app::cli::openAtStartUp(program, file);
        });
    if (options.screenshots)
        app::qt::takeScreenshots(window, program, QFile::decodeName(options.screenshots->c_str()),
                                 dsoDemo);
    const int code = QApplication::exec();
    if (recovery) // a clean end (Exit, the window closed): unsaved lines stay for the next start
        recovery->end();
    return code;
}
