#pragma once
#include "common/Formatted.h"
#include "tests/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace qv::test {

/// Live DMM packets of meter model 1 showing from, from + 1, ... volts DC ("   123V   DC    ").
inline std::vector<std::uint8_t> readings(int from, int count) {
    std::vector<std::uint8_t> bytes;
    for (int n = from; n < from + count; ++n)
        std::ranges::copy(dmmPacket(common::formatted("%6dV   DC", n % 1000000), 0, n, 1),
                          std::back_inserter(bytes));
    return bytes;
}

/// The built program run as a process in a scratch folder.
class ProgramProcess : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    using Run = test::Run; // not Test::Run

    std::string path(const std::string &n) const { return dir.path().toStdString() + '/' + n; }
    QString arg(const std::string &n) const { return QString::fromStdString(path(n)); }
    /// Starts the program with the variables of env ("NAME=value") added to this process's.
    void start(QProcess &p, const QStringList &args, const QStringList &env = {}) const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const QString &v : env)
            e.insert(v.section('=', 0, 0), v.section('=', 1));
        p.setProcessEnvironment(e);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(QVLINK_PATH), args);
        EXPECT_TRUE(p.waitForStarted());
    }
    static Run finish(QProcess &p, int timeoutMs = 60000) {
        if (!p.waitForFinished(timeoutMs)) {
            ADD_FAILURE() << "still running after " << timeoutMs << " ms";
            p.kill(), p.waitForFinished();
        }
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        return {p.exitCode(), p.readAllStandardOutput().toStdString(),
                p.readAllStandardError().toStdString()};
    }
    Run run(const QStringList &args, const QStringList &env = {},
            const std::function<void()> &child = {}, int timeoutMs = 60000) const {
        QProcess p;
        p.setChildProcessModifier(child);
        start(p, args, env);
        return finish(p, timeoutMs);
    }
    /// Waits up to twenty seconds, while the process runs, for done().
    static bool waitFor(const QProcess &p, const std::function<bool()> &done) {
        for (int k = 0; k < 40000 && !done() && p.state() == QProcess::Running; ++k)
            QThread::usleep(500);
        return done();
    }
    /// Waits, as waitFor, for the text to appear in the folder's file.
    bool fileHas(const QProcess &p, const std::string &file, const std::string &text) const {
        return waitFor(p, [&] { return contents(path(file)).find(text) != std::string::npos; });
    }
};

} // namespace qv::test
