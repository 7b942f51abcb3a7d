#include "app/qt/PortFactory.h"

#include "app/Program.h"
#include "app/qt/MainWindow.h"
#include "platform/fakes/FakeSerialPort.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

namespace qv::app::qt {

std::unique_ptr<platform::SerialPort> makePort(const std::string &demoMode) {
    if (!demoMode.empty() && demoMode != "dmm" && demoMode != "dso" && demoMode != "dso-memory" &&
        demoMode != "dmm-memory")
        return nullptr;
    auto port = std::make_unique<platform::fakes::FakeSerialPort>();
    for (auto &p : port->ports)
        p.exists = false;
    return port;
}

void takeScreenshots(MainWindow &window, Program &, const QString &folder) {
    QDir().mkpath(folder);
    QTimer::singleShot(1500, &window, [&window, folder] {
        const QString path = QDir(folder).absoluteFilePath(QStringLiteral("qvlink-window.png"));
        window.grab().save(path);
        std::printf("%s\n", qPrintable(path));
        QApplication::exit(0);
    });
}

} // namespace qv::app::qt
