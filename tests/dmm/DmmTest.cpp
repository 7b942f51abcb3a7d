#include "common/Formatted.h"
#include "dmm/DmmDecoder.h"
#include "dmm/MeterIdentity.h"
#include "dmm/ReadingText.h"
#include "dmm/ReadingValue.h"
#include "dmm/RecordLog.h"
#include "platform/fakes/FakePlatform.h"
#include "tests/TestFiles.h"

#include <gtest/gtest.h>

namespace qv::dmm {
namespace {

using platform::Answer;
using Bytes = std::vector<std::uint8_t>;
using test::dmmPacket;

std::string colour(common::Rgb c) {
    return c == common::kCyan                ? "cyan"
           : c == common::kBlack             ? "black"
           : c == common::Rgb{0, 192, 192}   ? "progress"
           : c == common::Rgb{128, 128, 128} ? "grey"
                                             : "other";
}

/// A panel's display list, a short text per operation, '|' between them.
std::string drawing(const common::DrawingTarget &target) {
    std::ostringstream s;
    for (const common::DrawOp &op : target.ops()) {
        s << (&op == target.ops().data() ? "" : "|");
        if (const auto *t = std::get_if<common::TextOp>(&op))
            s << colour(t->color) << ' ' << t->sizePt << "pt " << t->x << ',' << t->y << " '"
              << t->text << "'";
        else if (const auto *b = std::get_if<common::BoxOp>(&op))
            s << colour(b->fill) << (b->filled ? " box " : " frame ") << b->x1 << ',' << b->y1
              << ' ' << b->x2 << ',' << b->y2;
        else
            s << (std::holds_alternative<common::ClearOp>(op) ? "clear" : "line");
    }
    return s.str();
}

/// DMM mode on an open fake port, running, with decoder, digit panel and log wired as the window.
struct Rig {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    common::Elements &el = form.el;
    DmmDecoder decoder{form};
    RecordLog log{form};
    int dsoModeCalls = 0, carets = 0;

    Rig() {
        form.call.Display_DMMReading = [this] { decoder.panel().Display_DMMReading(); };
        form.call.DSOmode = [this] { ++dsoModeCalls, form.v.ModeMismatchCount = 0; };
        el.DMMmode.setChecked(true), el.mnuStart.setChecked(true), el.Timer1.setEnabled(true);
        el.RichTextBox1.setView({{}, {}, [this] { ++carets; }, {}});
        fp.port.setEventHandler([this](int code) {
            if (code == platform::SerialPort::kReceiveEvent)
                decoder.COM_DMM();
        });
        (void)fp.port.open();
    }
    void send(const std::string &text, int mode, int number = 0) {
        fp.port.deliver(dmmPacket(text, mode, number));
    }
    [[nodiscard]] const std::string &logText() const { return el.RichTextBox1.text(); }
};

TEST(ReadingValue, NumberAndUnitOfTheDisplayTextAndLogLinesSplitIntoTimeAndReading) {
    // clang-format off
    const std::tuple<const char *, std::optional<double>, const char *> cases[] = {
        {"-1.234mV  DC    ", -1.234, "mV  DC"}, {"+12.34k ohm     ", 12.34, "k ohm"},
        {" 1 234Hz        ", 1234, "Hz"}, // blanks inside the digits are padding
        {"  .5  nF        ", 0.5, "nF"},  // decimal point first
        {"  OL  M ohm     ", std::nullopt, "M ohm"}, {" -  . mV        ", std::nullopt, "mV"},
        {"                ", std::nullopt, ""},  // a blank display
        {"1.2.3 V         ", std::nullopt, "V"}, // two decimal points
        {"5", 5, ""}}; // a short text has no unit
    // clang-format on
    for (const auto &[reading, value, unit] : cases) {
        const ReadingValue r = parseReading(reading);
        EXPECT_EQ(std::tie(r.value, r.unit), std::tuple(value, unit)) << '"' << reading << '"';
    }

    using Split = std::optional<std::pair<std::string, std::string>>;
    const std::pair<const char *, Split> lines[] = {
        // A timed line: one blank between the value field and the unit field.
        {"  14:03:27    -1.234 mV  DC    \r\n", std::pair("14:03:27", "-1.234mV  DC    ")},
        {"  No.5 :   0.123V   AC    \r\n", std::pair("No.5", " 0.123V   AC    ")}, // play-back
        {"  下午 2:03:27    -1.234 V       ", std::pair("下午 2:03:27", "-1.234V       ")},
        {"  14:03:27    -1.234 V", std::pair("14:03:27", "-1.234V")}, // trailing blanks cut
        {"14:03:27    -1.234 V", std::nullopt},                       // not indented
        {"  14:03:27", std::nullopt},                                 // no reading
        {"      -1.234 V", std::nullopt},                             // no time
        {"  No.5 -1.234", std::nullopt}, // play-back line without its colon
    };
    for (const auto &[line, split] : lines) {
        const std::optional<LogLine> got = parseLogLine(line);
        EXPECT_EQ(got ? Split(std::pair(got->time, got->reading)) : std::nullopt, split)
            << '"' << line << '"';
    }
    // A play-back line's number takes the place of the time: one digit is followed by a blank.
    EXPECT_EQ(recordPrefix(9) + "|" + recordPrefix(10), "  No.9 :  |  No.10:  ");
}

TEST(MeterIdentity, ModelAndWorkModeTables) {
    platform::fakes::FakePlatform fp;
    common::Form form(fp.platform);
    std::string shown; // a code outside the table keeps the name before it
    for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1})
        MeterModel(form, code), shown += form.el.panel[1].text() + ",";
    EXPECT_EQ(shown, "仪表型号: 7302,仪表型号: 7302B,仪表型号: 7303,仪表型号: 7304,"
                     "仪表型号: 7303A,仪表型号: 7304A,仪表型号: QM520V,仪表型号: ZORA900A,"
                     "仪表型号: ZORA900X,仪表型号: ZORA900X,仪表型号: ZORA900X,");
    // In order: a mode outside the table leaves no panel text, keeps the name before it.
    // clang-format off
    const std::tuple<int, const char *, const char *> modes[] = {
        {0, "工作模式: DMM", " DMM sample"},     {1, "工作模式: DMM mem", " DMM database"},
        {2, "工作模式: DMM mem", " DMM database"}, {3, "工作模式: DSO", " DSO sample "},
        {4, "工作模式: DSO mem", " DSO database No. "},
        {5, "工作模式: DSO mem", " DSO database No. "}, {-3, "", " DSO database No. "},
        {6, "", " DSO database No. "}};
    // clang-format on
    for (const auto &[code, panel, name] : modes) // braces: the name is read after the call
        EXPECT_EQ((std::tuple{code, MeterWorkMode(form, code), form.v.WorkModeName}),
                  std::tuple(code, panel, name));
}

TEST(DmmDecoder, AsksOnTheEleventhOtherModePacketLogsPlaybackDropsGarbledOnesShowsLiveReadings) {
    // Work modes ('g' garbled DMM), answer, packet that asks (0: none), DSOmode calls, count at
    // the end. Mode 7 (no such mode) counts as the other; after Ok packets 12..20 count again.
    const std::string dso10(10, '3');
    const std::tuple<std::string, Answer, int, int, int> cases[] = {
        {"3333377777" + dso10, Answer::Cancel, 11, 0, 11},
        {std::string(20, '4'), Answer::Ok, 11, 1, 9},
        {dso10 + "0" + dso10, Answer::Cancel, 0, 0, 10},
        {dso10 + "g" + dso10, Answer::Cancel, 0, 0, 10}};
    for (const auto &[stream, answer, asks, dsoModeCalls, countAfter] : cases) {
        SCOPED_TRACE(stream);
        Rig rig;
        rig.fp.messages.answers.push_back(answer);
        for (std::size_t i = 0; i < stream.size(); ++i) {
            const int mode = stream[i] - '0'; // 'g': garbled
            rig.fp.port.deliver(mode > 9 ? dmmPacket("x\x01yz", 0) : dmmPacket(" 1.234 V", mode));
            ASSERT_EQ(rig.fp.messages.shown.size(), asks && int(i) >= asks - 1 ? 1u : 0u) << i;
        }
        EXPECT_EQ(std::tuple(rig.dsoModeCalls, int(rig.form.v.ModeMismatchCount), rig.logText()),
                  std::tuple(dsoModeCalls, countAfter, ""));
        for (const platform::Message &m : rig.fp.messages.shown)
            EXPECT_EQ(
                std::tie(m.text, m.title, m.buttons, m.defaultButton, m.warning, m.systemModal),
                std::tuple("仪表当前工作在DSO模式，要将程序切换到DSO模式吗?",
                           "QVLK: 请注意工作模式", platform::Buttons::OkCancel, Answer::Cancel,
                           true, true));
    }

    // After a live reading waiting for the timer: a stored reading, a message or a packet with a
    // byte outside 0x20..0x7E; the line logged, the panel ('Data e' blacks out the message line).
    const std::string live = "clear|cyan 43pt 300,40 ' 1.000'|cyan 12pt 2850,940 'V'";
    const auto garbled = [](std::size_t at, std::uint8_t byte) {
        Bytes p = dmmPacket("ABCDEFGHIJKLMNOP", 1, 3);
        p[at] = byte;
        return p;
    };
    const std::tuple<Bytes, std::string, std::string> playback[] = {
        {dmmPacket("-0.012 mV  REC  ", 1, 7), "  No.7 :  -0.012 mV  REC  \r\n",
         live + "|progress box 561,800 581,900"},
        {dmmPacket("-0.012 mV  REC  ", 1, 42), "  No.42:  -0.012 mV  REC  \r\n",
         live + "|progress box 1366,800 1386,900"},
        {dmmPacket("   12 records", 2), "   12 records   \r\n", live}, // three leading blanks
        {dmmPacket("Data end", 2), "Data end             \r\n",
         live + "|black box 400,300 3255,700|cyan 12pt 400,300 'Data end        '"},
        {dmmPacket("  two blanks~", 2), "  two blanks~        \r\n", // 0x7E is text
         "clear|cyan 12pt 400,300 '  two blanks~   '"},
        {garbled(5, 0x1F), "", live},
        {garbled(16, 0x7F), "", live}};
    for (const auto &[bytes, line, drawn] : playback) {
        SCOPED_TRACE(line);
        Rig rig;
        rig.send(" 1.000V         ", 0), rig.el.panel[1].setText("");
        rig.form.v.DMMSampleReady = true, rig.el.Save.setEnabled(false), rig.fp.port.deliver(bytes);
        // The status bar comes first; Save follows the log box's change event; no reading is left
        // for the timer to log; recording pauses for stored readings.
        EXPECT_EQ(std::tuple(rig.el.panel[1].text(), rig.el.panel[2].text(), rig.logText(),
                             rig.carets, rig.el.Save.enabled(), rig.form.v.DMMSampleReady,
                             rig.el.Timer1.enabled(), drawing(rig.el.Picture2)),
                  std::tuple("仪表型号: QM520V", "工作模式: DMM mem", line, int(!line.empty()),
                             !line.empty(), false, bytes[18] != 1 || line.empty(), drawn));
    }

    // A live reading arms the record, shows while running and goes grey when the link is down.
    Rig rig;
    common::Elements &el = rig.el;
    common::Control *armed[] = {&el.Timer1, &el.Save,     &el.menuSave,
                                &el.Print,  &el.mnuPrint, &el.mnuSaveAs};
    for (const bool recording : {false, true}) {
        for (common::Control *c : armed)
            c->setEnabled(false);
        el.mnuDMMRecordStart.setChecked(recording), rig.form.v.CurrentFileName = "wave1.dso";
        rig.send(" 1.234 V   AC   ", 0);
        EXPECT_EQ(
            std::tie(rig.form.v.DMMReading, rig.form.v.DMMSampleReady, rig.form.v.CurrentFileName),
            std::tuple(" 1.234 V   AC   ", recording, recording ? "" : "wave1.dso"));
        for (common::Control *c : armed)
            EXPECT_EQ(c->enabled(), recording);
    }
    rig.send("12", 0); // without a unit nothing is printed, but the position goes to (3000, 940)
    EXPECT_EQ(std::tuple(drawing(el.Picture2), el.Picture2.currentX(), el.Picture2.currentY()),
              std::tuple("clear|cyan 43pt 300,40 '12    '", 3000.0, 940.0));
    // Stopped acquisition keeps the last reading on the panel.
    el.mnuStart.setChecked(false), rig.send(" 9.999 V        ", 0);
    EXPECT_EQ(std::tuple(rig.form.v.DMMReading, drawing(el.Picture2)),
              std::tuple(" 9.999 V        ", "clear|cyan 43pt 300,40 '12    '"));

    // When the link goes down a live reading turns grey with the link-lost text under it.
    const std::string shown = "clear|cyan 43pt 300,40 ' 1.234'|cyan 12pt 2100,940 'V   AC'";
    const std::string stale = "clear|grey 43pt 300,40 ' 1.234'|grey 12pt 2100,940 'V   AC'|"
                              "cyan 10pt 300,940 '通信已断开'";
    const std::string message = "clear|cyan 12pt 400,300 'Data start      '";
    // What happens after the reading was drawn, and the panel once the link went down.
    const std::pair<std::function<void(Rig &)>, std::string> afterwards[] = {
        {[](Rig &) {}, stale},
        {[](Rig &r) { r.fp.port.deliver(dmmPacket("1.2\x01", 0)); }, stale}, // garbled: not drawn
        {[](Rig &r) { r.send("   3 records", 2); }, stale},                  // not drawn either
        {[](Rig &r) { r.send("Data start", 2); }, message},                  // no reading shown
        {[](Rig &r) { r.send("-0.012 mV", 1, 0); }, shown + "|progress box 400,800 420,900"},
        {[](Rig &r) { r.el.mnuStart.setChecked(false); }, shown}, // stopped: kept as it is
        {[](Rig &r) { r.el.DMMmode.setChecked(false); }, shown},  // DSO mode: the scope's panel
        {[](Rig &r) { r.el.Link.setChecked(false), r.el.Link.setChecked(true); }, stale}, // search
        {[](Rig &r) { r.el.Link.setChecked(false), r.send(" 1.234 V   AC   ", 0); }, shown}, // next
    };
    for (const auto &[before, drawn] : afterwards) {
        SCOPED_TRACE(&before - &afterwards[0].first);
        Rig rig;
        rig.el.Link.setChecked(true), rig.send(" 1.234 V   AC   ", 0);
        before(rig), rig.el.Link.setChecked(false);
        EXPECT_EQ(drawing(rig.el.Picture2), drawn);
    }
}

TEST(RecordLog, TimerLogsTheLatestReadingOnDueTicksRecordCommandsIntervalItemsAndPanel) {
    // Per tick: readings arriving before it (each newer); '1' where the tick appends a line.
    const std::tuple<std::int16_t, std::string, std::string> cases[] = {
        {1, "22222", "11111"},
        {2, "100001010", "001000101"}, // a slot without a waiting reading is used up
    };
    for (const auto &[interval, readings, lines] : cases) {
        Rig rig;
        rig.log.SetRecordTime(interval), rig.log.mnuDMMRecordStart_Click();
        std::string expected, latest;
        int sent = 0;
        for (std::size_t tick = 0; tick < readings.size(); ++tick) {
            for (char k = '0'; k < readings[tick]; ++k)
                latest = common::formatted("%6d", ++sent), rig.send(latest + "V  DC     ", 0);
            rig.fp.clock.timeLong = "10:00:" + std::to_string(tick), rig.log.Timer1_Timer();
            if (lines[tick] == '1')
                expected += "  10:00:" + std::to_string(tick) + "    " + latest + " V  DC     \r\n";
        }
        EXPECT_EQ(rig.logText(), expected) << interval;
        EXPECT_EQ(rig.carets, std::count(lines.begin(), lines.end(), '1'));
    }

    Rig rig;
    common::Elements &el = rig.el;
    const auto expectRecording = [&](bool on) {
        EXPECT_EQ(std::vector<bool>({el.mnuDMMRecordStart.checked(), el.mnuDMMRecordStart.enabled(),
                                     el.mnuDMMRecordPause.checked(), el.mnuDMMRecordPause.enabled(),
                                     el.DMMRecord.checked()}),
                  std::vector<bool>({on, !on, !on, on, on}));
    };
    for (const bool down : {true, false}) {
        el.DMMRecord.setChecked(down), rig.log.DMMRecord(); // the button toggles itself
        expectRecording(down);
    }
    rig.log.mnuDMMRecordStart_Click();
    expectRecording(true);
    // The reading that came just before the end is still logged.
    rig.send(" 2.000V         ", 0), rig.log.mnuDMMRecordPause_Click();
    expectRecording(false);
    for (const char *reading : {" 3.000V         ", " 4.000V         "}) // 4 V after the end
        rig.send(reading, 0), rig.log.Timer1_Timer();
    EXPECT_EQ(rig.logText(), "  14:03:27     3.000 V         \r\n");

    // Interval items in order ('1' checked and disabled, '0' the reverse): each step re-enables
    // and unchecks the item chosen before.
    const std::pair<std::int16_t, const char *> intervals[] = {
        {1, "1000000"},  {10, "0001000"}, {2, "0100000"},  {5, "0010000"},
        {20, "0000100"}, {30, "0000010"}, {60, "0000001"}, {3, "0000000"}};
    for (const auto &[n, items] : intervals) {
        rig.log.SetRecordTime(n);
        std::string got;
        for (const common::Control &c : rig.el.mnuInterval)
            got += c.checked() == c.enabled() ? '?' : c.checked() ? '1' : '0';
        EXPECT_EQ(std::tuple(rig.log.RecordInterval(), rig.el.panel[3].text(), got),
                  std::tuple(n, "数据间隔" + std::to_string(n) + "s", items));
    }
    for (int index : {3, -1, 7}) {
        rig.log.mnuInterval_Click(index);
        EXPECT_EQ(rig.log.RecordInterval(), 10) << index;
    }
}

TEST(RecordLog, NewRecordOffersToSaveFirstEditsEnableSaveTheTitleFollows) {
    // Log holds a line, answer, the dialog's file, dialogs shown, log cleared.
    const std::tuple<bool, Answer, const char *, int, bool> cases[] = {
        {false, Answer::Cancel, nullptr, 0, true}, {true, Answer::Cancel, "/r.txt", 0, false},
        {true, Answer::Yes, nullptr, 1, false},    {true, Answer::Yes, "/r.txt", 1, true},
        {true, Answer::No, "/r.txt", 0, true},
    };
    for (const auto &[full, answer, file, dialogs, cleared] : cases) {
        Rig rig;
        const std::string log = full ? "  No.1 :  x\r\n" : "";
        rig.el.RichTextBox1.setText(log), rig.el.Save.setEnabled(false);
        rig.fp.messages.answers.push_back(answer);
        rig.fp.files.saveAnswers.push_back(file ? std::optional<std::string>(file) : std::nullopt);
        rig.form.call.SaveDMMRecord = [&rig] { return rig.fp.files.saveFile("*.txt").has_value(); };
        rig.log.NewRecord();
        // Clearing a log that held text is a change, and any change enables Save.
        EXPECT_EQ(std::tuple(rig.fp.messages.shown.size(), int(rig.fp.files.saveFilters.size()),
                             rig.logText(), rig.el.Save.enabled()),
                  std::tuple(full ? 1u : 0u, dialogs, cleared ? "" : log, cleared && full));
        for (const platform::Message &m : rig.fp.messages.shown)
            EXPECT_EQ(std::tie(m.text, m.title, m.buttons, m.warning),
                      std::tuple("是否保存当前数据！", "请确认操作", platform::Buttons::YesNoCancel,
                                 true));
    }

    // A log edit in the wave view, a title edit outside it and one in it.
    for (const auto &[waveView, byTitle] :
         {std::pair(true, false), std::pair(false, true), std::pair(true, true)}) {
        Rig rig;
        rig.el.Save.setEnabled(false), rig.el.menuSave.setEnabled(false);
        rig.el.DSO_wave.setChecked(waveView), rig.form.wave.WaveTitle = "old";
        byTitle ? rig.el.Text1.setText("通道 1 ") : rig.el.RichTextBox1.editedByUser("typed\r\n");
        EXPECT_TRUE(rig.el.Save.enabled() && rig.el.menuSave.enabled());
        EXPECT_EQ(rig.form.wave.WaveTitle, waveView && byTitle ? "通道 1 " : "old");
    }
}

} // namespace
} // namespace qv::dmm
