#include "app/Program.h"
#include "app/RecordRecovery.h"
#include "app/cli/Cli.h"
#include "app/cli/StartupFile.h"
#include "app/qt/MainWindow.h"
#include "app/qt/Screenshots.h"
#include "app/qt/Translations.h"
#include "app/qt/DeviceLinkSetup.h"
#include "app/qt/MainWindow.h"
#include "app/qt/Screenshots.h"
#include "link/qt/LinkOptions.h"
#include "platform/Platform.h"
#include "platform/qt/services/QtClipboard.h"
#include "platform/qt/services/QtClock.h"
#include "platform/qt/services/QtFileDialogs.h"
#include "platform/qt/services/QtMessageBoxes.h"
#include "platform/qt/services/QtPictureWriter.h"
#include "platform/qt/services/QtPrinter.h"
#include "platform/qt/services/QtTextMeasure.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

using namespace qv;

int main(int argc, char *argv[]) {
    app::cli::headlessWhenNoWindow(argc, argv);
    if (app::cli::isSubcommand(argc, argv)) {
        QGuiApplication headless(argc, argv);
        return app::cli::runSubcommand(QGuiApplication::arguments());
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qvlink"));
    QApplication::setApplicationVersion(QString::fromLatin1(app::cli::version()));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Companion program for the handheld scope-meter\n\n") +
        QString::fromStdString(app::cli::usage()));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A waveform file to open at start-up."),
                                 QStringLiteral("[FILE.dso]"));
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("Put the built-in virtual meter on port 1, sending "
                       "dmm, dso, dso-memory or dmm-memory packets."),
        QStringLiteral("mode"));
    const QCommandLineOption shots(QStringLiteral("screenshots"),
                                   QStringLiteral("Save pictures of the window into this folder "
                                                  "while it runs, then quit."),
                                   QStringLiteral("folder"));
    parser.addOption(demo);
    parser.addOption(shots);
    link::qt::addLinkOptions(parser);
    // "--demo" may stand alone: it then means the DMM readings.
    QStringList arguments = QApplication::arguments();
    for (qsizetype i = 0; i < arguments.size(); ++i)
        if (arguments[i] == QLatin1String("--demo") &&
            (i + 1 == arguments.size() || arguments[i + 1].startsWith(QLatin1Char('-'))))
            arguments.insert(i + 1, QStringLiteral("dmm"));
    parser.process(arguments);
    // The dialogs speak the program's language; the command line's help stays as written.
    app::qt::installQtTranslations(application);

    std::string error;
    std::optional<link::qt::CommandLineLink> meterLink =
        link::qt::linkFromCommandLine(parser, parser.value(demo).toStdString(), error);
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
    const QDir data(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    (void)data.mkpath(QStringLiteral("."));
    app::RecordRecovery recovery(program.form(),
                                 data.filePath(app::RecordRecovery::kFileName).toStdString());

    program.Form_Load();
    // A replay without a whole record: no meter was found; panel 1's tool tip says why.
    if (meterLink->port.nothingToReplay)
        program.form().el.linkNote.setText(meterLink->port.replayNote);
    // A waveform demo starts where its waveforms are shown.
    const bool dsoDemo = parser.value(demo).startsWith(QLatin1String("dso"));
    if (dsoDemo)
        program.commands().pressButton("DSOmode");
    window.show();
    QTimer::singleShot(0, &window, [&recovery] { recovery.start(); });

    // A file named on the command line opens in DSO mode once the window is up, as Open would.
    if (const QStringList named = parser.positionalArguments(); !named.isEmpty())
        QTimer::singleShot(0, &window, [&program, file = named.front().toStdString()] {
            (void)app::cli::openAtStartUp(program, file);
        });
    if (parser.isSet(shots))
        app::qt::takeScreenshots(window, program, parser.value(shots), dsoDemo);
    const int code = QApplication::exec();
    recovery.end(); // a clean end (Exit, the window closed): unsaved lines stay for the next start
    return code;
}
