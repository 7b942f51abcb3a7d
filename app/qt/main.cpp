#include "app/Program.h"
#include "app/RecordRecovery.h"
#include "app/cli/Cli.h"
#include "app/cli/StartupFile.h"
#include "app/cli/WindowArguments.h"
#include "app/qt/MainWindow.h"
#include "app/qt/Screenshots.h"
#include "app/qt/Translations.h"
#include "app/qt/DeviceLinkSetup.h"
#include "app/qt/MqttPublishing.h"
#include "app/qt/MainWindow.h"
#include "app/qt/Screenshots.h"
#include "link/qt/LinkOptions.h"
#include "mqtt/qt/QtSettingsStore.h"
#include "platform/Platform.h"
#include "platform/qt/services/QtClipboard.h"
#include "platform/qt/services/QtClock.h"
#include "platform/qt/services/QtFileDialogs.h"
#include "platform/qt/services/QtMessageBoxes.h"
#include "platform/qt/services/QtPictureWriter.h"
#include "platform/qt/services/QtPrinter.h"
#include "platform/qt/services/QtTextMeasure.h"

#include <QApplication>
#include <QFile>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

using namespace qv;

int main(int argc, char *argv[]) {
    // The arguments as the bytes given: a file's name need not be UTF-8.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (app::cli::isSubcommand(arguments))
        return app::cli::runSubcommand(argv[0], arguments);
    // Decided before any application object, so that no display is needed to say so.
    app::cli::WindowStart start = app::cli::windowStart(argv[0], arguments);
    if (!start.window) {
        std::fputs(start.out.c_str(), stdout);
        if (!start.error.empty())
            app::cli::complain(start.error);
        return start.code;
    }
    app::cli::WindowOptions &options = *start.window;
    // Qt sees its own options only: a file named "-reverse" after "--" stays a file.
    std::vector<char *> qtArguments{argv[0]};
    for (std::string &option : options.toolkit)
        qtArguments.push_back(option.data());
    qtArguments.push_back(nullptr);
    int qtCount = static_cast<int>(qtArguments.size()) - 1;
    QApplication application(qtCount, qtArguments.data());
    QApplication::setApplicationName(QStringLiteral("qvlink"));
    QApplication::setApplicationVersion(QString::fromLatin1(app::cli::version()));
    // The dialogs speak the program's language; the command line's help stays as written.
    app::qt::installQtTranslations(application);

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
    platform::Platform os{*port, messages, files, printer, clipboard, clock};

    app::Program program(os);
    platform::qt::QtTextMeasure measure;
    program.form().el.Picture1.setTextMeasure(&measure);
    program.form().el.Picture2.setTextMeasure(&measure);
    app::qt::MainWindow window(program);
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
    app::RecordRecovery recovery(program.form(),
                                 data.filePath(app::RecordRecovery::kFileName).toStdString());

    program.Form_Load();
    // A replay without a whole record: no meter was found; panel 1's tool tip says why.
    if (meterLink->port.nothingToReplay)
        program.form().el.linkNote.setText(meterLink->port.replayNote);
    // A waveform demo starts where its waveforms are shown.
    const bool dsoDemo = options.link.demo.starts_with("dso");
    if (dsoDemo)
        program.commands().pressButton("DSOmode");
    window.show();
    QTimer::singleShot(0, &window, [&recovery] { recovery.start(); });

    // A file named on the command line opens in DSO mode once the window is up, as Open would.
    if (options.file)
        QTimer::singleShot(0, &window, [&program, file = *options.file] {
            (void)app::cli::openAtStartUp(program, file);
        });
    if (options.screenshots)
        app::qt::takeScreenshots(window, program, QFile::decodeName(options.screenshots->c_str()),
                                 dsoDemo);
    const int code = QApplication::exec();
    recovery.end(); // a clean end (Exit, the window closed): unsaved lines stay for the next start
    return code;
}
