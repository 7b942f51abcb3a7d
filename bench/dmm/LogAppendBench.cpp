// The cost of one record line appended by the one-second timer, early in a log (line 1,000) and
// after a day at 1 s (line 86,400), with the log shown in a plain-text view that takes each
// line at its end through a text cursor, as the window does.
#include "common/Form.h"
#include "dmm/RecordLog.h"
#include "platform/fakes/FakePlatform.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

using namespace qv;

QString lineText(std::string_view s) {
    QString t = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    t.remove(QLatin1Char('\r'));
    return t;
}

/// A form whose log box is bound to a QPlainTextEdit, and the record timer on top of it.
struct LoggedForm {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    dmm::RecordLog log{form};
    QPlainTextEdit view;
    std::size_t lines = 0;

    LoggedForm() {
        view.setReadOnly(true);
        view.resize(220, 265);
        common::LogControl::View v;
        v.replaced = [this](const std::string &text) { view.setPlainText(lineText(text)); };
        v.appended = [this](std::string_view more) {
            QTextCursor c(view.document());
            c.movePosition(QTextCursor::End);
            c.insertText(lineText(more));
        };
        v.caretToEnd = [this] {
            QTextCursor c = view.textCursor();
            c.movePosition(QTextCursor::End);
            view.setTextCursor(c);
        };
        v.enabledChanged = [this](bool on) { view.setEnabled(on); };
        form.el.RichTextBox1.setView(std::move(v));
        form.el.Timer1.setEnabled(true);
        view.show();
    }

    /// One live reading followed by one timer tick, then the window's event loop runs.
    void tick() {
        form.v.DMMReading = " 1.234V  DC  AUTO";
        form.v.DMMSampleReady = true;
        log.Timer1_Timer();
        QCoreApplication::processEvents();
        ++lines;
    }
};

std::unique_ptr<LoggedForm> g_form;
std::map<int, double> g_microsPerLine;

void BM_AppendAtLine(benchmark::State &state) {
    const auto line = static_cast<std::size_t>(state.range(0));
    while (g_form->lines + 1 < line)
        g_form->tick();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        g_form->tick();
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    g_microsPerLine[static_cast<int>(line)] =
        spent.count() / static_cast<double>(state.iterations());
    state.counters["log_lines"] = static_cast<double>(g_form->lines);
}

// Fixed iterations: the log must only grow by a few lines while a point is measured.
BENCHMARK(BM_AppendAtLine)->Arg(1000)->Arg(86400)->Iterations(300)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_form = std::make_unique<LoggedForm>();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double early = g_microsPerLine[1000], late = g_microsPerLine[86400];
    if (early > 0 && late > 0)
        std::printf("append at line 1000: %.1f us, at line 86400: %.1f us, ratio %.2f\n", early,
                    late, late / early);
    g_form.reset();
    return 0;
}
