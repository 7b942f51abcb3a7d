#include "DmmRig.h"

#include <gtest/gtest.h>
#include <random>

namespace qv::dmm::test {
namespace {

using platform::Answer;

TEST(DmmDecoder, AsksOnceOnTheEleventhPacketOfTheOtherMode) {
    struct Case {
        int mode;          // work mode of the stream
        Answer answer;     // to the question
        int dsoModeCalls;  // afterwards
        int countAfterAll; // ModeMismatchCount after 20 packets
    };
    const Case cases[] = {
        {3, Answer::Cancel, 0, 11},
        {4, Answer::Ok, 1, 9},      // DSOmode resets to 0; packets 12..20 count again
        {7, Answer::Cancel, 0, 11}, // outside the table counts as the other mode
    };
    for (const Case &c : cases) {
        DmmRig rig;
        rig.fp.messages.answers.push_back(c.answer);
        for (int i = 1; i <= 20; ++i) {
            rig.send("", c.mode);
            const size_t asked = i >= 11 ? 1 : 0;
            ASSERT_EQ(rig.fp.messages.shown.size(), asked) << "mode " << c.mode << " packet " << i;
            if (i == 10) {
                EXPECT_EQ(rig.form.v.ModeMismatchCount, 10);
            }
        }
        EXPECT_EQ(rig.dsoModeCalls, c.dsoModeCalls);
        EXPECT_EQ(rig.form.v.ModeMismatchCount, c.countAfterAll);
        const platform::Message &m = rig.fp.messages.shown.front();
        EXPECT_EQ(m.text, "仪表当前工作在DSO模式，要将程序切换到DSO模式吗?");
        EXPECT_EQ(m.title, "QVLK: 请注意工作模式");
        EXPECT_EQ(m.buttons, platform::Buttons::OkCancel);
        EXPECT_TRUE(m.warning);
        EXPECT_EQ(m.defaultButton, Answer::Cancel);
        EXPECT_TRUE(m.systemModal);
        EXPECT_TRUE(rig.form.el.RichTextBox1.text().empty());
    }
}

TEST(DmmDecoder, AnyDmmPacketResetsTheCount) {
    // The DMM packet between the runs may even be one that is dropped as garbled.
    const std::vector<std::uint8_t> dmmPackets[] = {
        packet("  1.234 V       ", 0),
        packet("  No data       ", 1, 3),
        packet("x\x01yz", 0),
    };
    for (const auto &dmm : dmmPackets) {
        DmmRig rig;
        for (int i = 0; i < 10; ++i)
            rig.send("", 3);
        rig.send(dmm);
        EXPECT_EQ(rig.form.v.ModeMismatchCount, 0);
        for (int i = 0; i < 10; ++i)
            rig.send("", 3);
        EXPECT_EQ(rig.form.v.ModeMismatchCount, 10);
        EXPECT_TRUE(rig.fp.messages.shown.empty());
    }
}

TEST(DmmDecoder, StoredReadingsGetNumberedLinesAndProgressMarks) {
    struct Case {
        int number;
        const char *line;
    };
    const Case cases[] = {
        {7, "  No.7 :  -0.012 mV  REC  \r\n"},
        {42, "  No.42:  -0.012 mV  REC  \r\n"},
        {0, "  No.0 :  -0.012 mV  REC  \r\n"},
        {255, "  No.255:  -0.012 mV  REC  \r\n"},
    };
    for (const Case &c : cases) {
        DmmRig rig;
        rig.form.v.DMMSampleReady = true;
        rig.form.el.Save.setEnabled(false);
        rig.form.el.menuSave.setEnabled(false);
        int carets = 0;
        rig.form.el.RichTextBox1.setView(caretCounter(carets));
        rig.send("-0.012 mV  REC  ", 1, c.number);
        EXPECT_EQ(rig.form.el.RichTextBox1.text(), c.line);
        EXPECT_EQ(carets, 1);
        EXPECT_TRUE(rig.form.el.Save.enabled()); // through the log box's change event
        EXPECT_TRUE(rig.form.el.menuSave.enabled());
        EXPECT_FALSE(rig.form.v.DMMSampleReady);
        EXPECT_FALSE(rig.form.el.Timer1.enabled());
        EXPECT_EQ(rig.form.el.panel[2].text(), "工作模式: DMM mem");
        const auto boxes = rig.panelBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].x1, 400 + 23 * c.number);
        EXPECT_EQ(boxes[0].x2, 420 + 23 * c.number);
        EXPECT_EQ(boxes[0].y1, 800);
        EXPECT_EQ(boxes[0].y2, 900);
        EXPECT_TRUE(boxes[0].filled);
        EXPECT_EQ(boxes[0].fill, common::kProgress);
    }
}

TEST(DmmDecoder, PlaybackMessages) {
    struct Case {
        const char *text;
        const char *line;
        bool panelTouched;
        bool blackBox; // else the panel is cleared first
    };
    const Case cases[] = {
        {"   12 records   ", "   12 records   \r\n", false, false},
        {"Data end        ", "Data end             \r\n", true, true},
        {"Data empty      ", "Data empty           \r\n", true, true},
        {"Reading memory  ", "Reading memory       \r\n", true, false},
        {"  two blanks    ", "  two blanks         \r\n", true, false},
    };
    for (const Case &c : cases) {
        DmmRig rig;
        rig.send(" 1.000 V        ", 0); // something on the panel
        const auto generation = rig.form.el.Picture2.generation();
        const auto before = rig.form.el.Picture2.ops().size();
        rig.send(c.text, 2);
        EXPECT_EQ(rig.form.el.RichTextBox1.text(), c.line) << c.text;
        const auto &ops = rig.form.el.Picture2.ops();
        if (!c.panelTouched) {
            EXPECT_EQ(ops.size(), before) << c.text;
            EXPECT_EQ(rig.form.el.Picture2.generation(), generation) << c.text;
            continue;
        }
        EXPECT_EQ(rig.form.el.Picture2.generation(), generation + (c.blackBox ? 0 : 1)) << c.text;
        const auto texts = rig.panelTexts();
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.back().text, std::string(c.text).substr(0, 16));
        EXPECT_EQ(texts.back().x, 400);
        EXPECT_EQ(texts.back().y, 300);
        EXPECT_EQ(texts.back().sizePt, 12);
        if (c.blackBox) {
            const auto *box = std::get_if<common::BoxOp>(&ops[before]);
            ASSERT_NE(box, nullptr) << c.text;
            EXPECT_EQ(box->x1, 400);
            EXPECT_EQ(box->y1, 360);
            EXPECT_EQ(box->x2, 1500);
            EXPECT_EQ(box->y2, 500);
            EXPECT_TRUE(box->filled);
            EXPECT_EQ(box->fill, common::kBlack);
        }
    }
}

TEST(DmmDecoder, LiveReadingArmsTheRecordOnlyWhileRecording) {
    for (const bool armed : {false, true}) {
        DmmRig rig;
        common::Elements &el = rig.form.el;
        for (common::Control *c : {&el.Save, &el.menuSave, &el.Print, &el.mnuPrint, &el.mnuSaveAs})
            c->setEnabled(false);
        el.Timer1.setEnabled(false);
        el.mnuDMMRecordStart.setChecked(armed);
        rig.form.v.CurrentFileName = "wave1.dso";
        std::vector<std::string> order;
        const std::pair<common::Control *, const char *> watched[] = {
            {&el.Save, "Save"},         {&el.menuSave, "menuSave"},   {&el.Print, "Print"},
            {&el.mnuPrint, "mnuPrint"}, {&el.mnuSaveAs, "mnuSaveAs"}, {&el.Timer1, "Timer1"}};
        for (const auto &[control, name] : watched)
            control->subscribe([&order, n = name] { order.emplace_back(n); });

        rig.send(" 1.234 V   AC   ", 0);
        EXPECT_EQ(rig.form.v.DMMReading, " 1.234 V   AC   ");
        EXPECT_EQ(rig.form.v.DMMSampleReady, armed);
        EXPECT_EQ(rig.form.v.CurrentFileName, armed ? "" : "wave1.dso");
        const std::vector<std::string> expected =
            armed ? std::vector<std::string>{"Timer1", "Save",     "menuSave",
                                             "Print",  "mnuPrint", "mnuSaveAs"}
                  : std::vector<std::string>{};
        EXPECT_EQ(order, expected);
        EXPECT_TRUE(el.RichTextBox1.text().empty()); // live readings are logged by the timer
        EXPECT_EQ(rig.panelTexts().size(), 2u);      // value and unit drawn
    }
}

TEST(DmmDecoder, GarbledPacketIsDroppedAfterTheStatusBar) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        const char *reading; // DMMReading afterwards
    };
    auto garbled = [](std::size_t at, std::uint8_t c, int mode) {
        auto p = packet("ABCDEFGHIJKLMNOP", mode, 3);
        p[at] = c;
        return p;
    };
    const Case cases[] = {{garbled(5, 0x1F, 0), "ABCD"},
                          {garbled(1, 0x7F, 1), ""},
                          {garbled(16, 0xFF, 2), "ABCDEFGHIJKLMNO"},
                          {garbled(9, 0x00, 0), "ABCDEFGH"}};
    for (const Case &c : cases) {
        DmmRig rig;
        rig.form.el.mnuDMMRecordStart.setChecked(true);
        rig.send(" 1.234 V   AC   ", 0);
        ASSERT_TRUE(rig.form.v.DMMSampleReady);
        const auto opsBefore = rig.form.el.Picture2.ops().size();
        rig.form.el.panel[2].setText("");
        rig.send(c.bytes);
        EXPECT_EQ(rig.form.v.DMMReading, c.reading);
        EXPECT_NE(rig.form.el.panel[2].text(), "");
        EXPECT_EQ(rig.form.el.panel[1].text(), "仪表型号: QM520V");
        EXPECT_TRUE(rig.form.el.RichTextBox1.text().empty());
        EXPECT_EQ(rig.form.el.Picture2.ops().size(), opsBefore);
        // The cut text is no reading: the record timer must not log it.
        EXPECT_FALSE(rig.form.v.DMMSampleReady);
    }
}

TEST(DmmDecoder, PacketsSplitAcrossBatchesAreReassembled) {
    DmmRig rig;
    std::vector<std::uint8_t> stream;
    for (int n = 1; n <= 4; ++n) {
        const auto p = packet("-1.5   mV       ", 1, n);
        stream.insert(stream.end(), p.begin(), p.end());
    }
    // The first batch starts three bytes into a packet, as after connecting mid-stream: its
    // packet is completed by the old pending bytes (all zero) and is dropped. The head of packet
    // 4 completes packet 3; its tail waits for more bytes.
    rig.send(std::vector<std::uint8_t>(stream.begin() + 3, stream.end()));
    EXPECT_EQ(rig.form.el.RichTextBox1.text(), "  No.2 :  -1.5   mV       \r\n"
                                               "  No.3 :  -1.5   mV       \r\n");
}

TEST(DmmDecoder, ArbitraryBytesKeepTheStateInBounds) {
    DmmRig rig;
    rig.form.el.mnuDMMRecordStart.setChecked(true);
    std::mt19937 random(4711);
    for (int batch = 0; batch < 2000; ++batch) {
        std::vector<std::uint8_t> bytes(random() % 45);
        for (auto &b : bytes)
            b = static_cast<std::uint8_t>(random() % 4 == 0 ? 0xFF : random());
        rig.send(bytes);
        ASSERT_GE(rig.form.v.ModeMismatchCount, 0);
        ASSERT_LE(rig.form.v.ModeMismatchCount, 11);
        ASSERT_LE(rig.form.v.DMMReading.size(), 11u + 16u); // "  No.255:  " + 16
    }
}

} // namespace
} // namespace qv::dmm::test
