#include "app/cli/Arguments.h"
#include "app/cli/CaptureSettings.h"
#include "app/cli/WindowArguments.h"
#include "app/qt/TwipsCanvas.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

namespace qv::app::cli {
namespace {

using Value = OptionSpec::Value;
using Kind = OptionSpec::Kind;
using Args = std::vector<std::string>;

constexpr OptionSpec kTable[] = {
    {.name = "help", .shortName = 'h'},
    {.name = "csv", .value = Value::Required},
    {.name = "view", .value = Value::Required, .word = true},
    {.name = "demo", .value = Value::Optional, .fallback = "dmm"},
    {.name = "platform", .value = Value::Required, .kind = Kind::Toolkit},
};

// Each row: the arguments, then "name=value ... | positional ... | toolkit ..." or the error.
TEST(Arguments, OptionsValuesPositionalsAndErrors) {
    const std::pair<Args, std::string> cases[] = {
        {{"a.dso", "--csv", "-", "--view=SPECTRUM", "-h"}, "csv=- help= view=spectrum | a.dso |"},
        {{"--csv", "--view", "--", "--view", "-"}, "csv=--view | --view - |"},
        {{"--demo", "--csv=o", "--demo"}, "error: --demo is given twice"},
        {{"--demo", "--csv=o"}, "csv=o demo=dmm | |"},
        {{"--demo", "dso", "x"}, "demo=dso | x |"},
        {{"-platform", "xcb", "--platform=a", "-h"}, "help= | | -platform xcb --platform=a"},
        {{"--csv"}, "error: --csv needs a value"},
        {{"--csv="}, "error: --csv needs a value, not an empty one"},
        {{"--help=yes"}, "error: --help takes no value"},
        {{"--vue", "x"}, "error: unknown option \"--vue\" (did you mean \"--view\"?)"},
        {{"-csv", "x"}, "error: unknown option \"-csv\" (did you mean \"--csv\"?)"},
        {{"--colour=red"}, "error: unknown option \"--colour=red\""},
        {{"--viewer-of-csv"}, "error: unknown option \"--viewer-of-csv\""}, // near none
    };
    for (const auto &[arguments, expected] : cases) {
        std::string error, got;
        if (const auto p = parseArguments(kTable, arguments, error)) {
            for (const auto &[name, value] : p->options)
                got += name + "=" + value + " ";
            got += "|";
            for (const std::string &a : p->positional)
                got += " " + a;
            got += " |";
            for (const std::string &a : p->toolkit)
                got += " " + a;
        } else {
            got = "error: " + error;
        }
        EXPECT_EQ(got, expected) << arguments.front();
    }
}

// As Qt's help: names in a column one past the longest, texts wrapped at a blank (dropped) by
// column 79, an over-long word cut (after a break too, as Qt's own help does), line breaks kept.
TEST(Arguments, HelpColumnsAndWrapping) {
    constexpr OptionSpec help[] = {
        {.name = "help", .description = "Shows this help.", .shortName = 'h'},
        {.name = "csv",
         .value = Value::Required,
         .valueName = "file",
         .description = "Writes the waveform as CSV to file, or to standard output when file is -, "
                        "then ends."},
        {.name = "platform", .valueName = "name", .description = "Qt's.", .kind = Kind::Toolkit},
        {.name = "style", .kind = Kind::Hidden},
        {.name = "w",
         .description = "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"},
        {.name = "y",
         .description =
             "short yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy"},
        {.name = "x", .description = "one\ntwo"},
    };
    const std::string indent(16, ' ');
    EXPECT_EQ(optionHelp(help, false, "file", "A file."),
              "Options:\n  -h, --help    Shows this help.\n"
              "  --csv <file>  Writes the waveform as CSV to file, or to standard output when\n" +
                  indent + "file is -, then ends.\n  --w           " + std::string(63, 'w') + "\n" +
                  indent + "wwwwwww\n  --y           short\n" + indent + std::string(64, 'y') +
                  "\n" + indent + "yyyyyy\n  --x           one\n" + indent +
                  "two\n\nArguments:\n  file          A file.\n");
    EXPECT_NE(optionHelp(help, true, "f", "").find("\n  --platform <name>  Qt's.\n"),
              std::string::npos);
}

// A letter swapped, missing, extra or changed, in any case; nothing for a word further off.
TEST(Arguments, NearestCommand) {
    constexpr std::string_view names[] = {"export", "info", "capture"};
    const std::pair<const char *, std::optional<std::string_view>> cases[] = {
        {"exprot", "export"}, {"xeport", "export"},  {"INFO", "info"},     {"captur", "capture"},
        {"inf", "info"},      {"exportt", "export"}, {"exbort", "export"}, {"wave1", std::nullopt},
        {"if", std::nullopt}, {"exp", std::nullopt}};
    for (const auto &[word, expected] : cases)
        EXPECT_EQ(nearest(word, names), expected) << word;
    constexpr std::string_view near[] = {"export", "expert"};    // one letter off, then two
    constexpr std::string_view swapped[] = {"expert", "export"}; // two off, then one swap
    EXPECT_EQ(std::pair(nearest("exporr", near), nearest("exprot", swapped)),
              std::pair(std::optional(near[0]), std::optional(swapped[1])));
}

// --duration: whole numbers of seconds (the default), minutes, hours or days; 0 refuses.
TEST(Arguments, Durations) {
    const std::pair<const char *, long long> cases[] = {
        {"90s", 90'000},     {"15m", 900'000}, {"2h", 7'200'000}, {"1d", 86'400'000},
        {"45", 45'000},      {"", 0},          {"s", 0},          {"1.5h", 0},
        {"-5s", 0},          {"5 s", 0},       {"2w", 0},         {"999999999999", 999999999999000},
        {"1000000000000", 0}};
    for (const auto &[text, ms] : cases)
        EXPECT_EQ(parseDuration(text), ms) << text;
}

TEST(WindowArguments, WhatStartsTheWindow) {
    const WindowOptions demo = windowStart("qvlink", Args{"--demo", "DSO", "--speed", "MAX"})
                                   .window.value_or(WindowOptions{});
    EXPECT_EQ(std::tuple(demo.link.demo, demo.file), std::tuple("dso", std::nullopt));

    // Qt's options go to Qt; after "--" a name with a dash is a file.
    const WindowStart file =
        windowStart("qvlink", Args{"-platform", "offscreen", "--", "-reverse"});
    ASSERT_TRUE(file.window) << file.error;
    EXPECT_EQ(std::tuple(file.window->toolkit, file.window->file),
              std::tuple(Args{"-platform", "offscreen"}, "-reverse"));
    const WindowStart missing = windowStart("qvlink", Args{"wave1"}); // the window says so
    EXPECT_EQ(missing.window.value_or(WindowOptions{}).file, "wave1");

    const WindowStart mistyped = windowStart("qvlink", Args{"exprot"});
    EXPECT_EQ(std::tuple(mistyped.window.has_value(), mistyped.code), std::tuple(false, 2));
    const WindowStart version = windowStart("qvlink", Args{"--demo", "bogus", "-v"});
    EXPECT_EQ(std::tuple(version.code, version.out), std::tuple(0, std::string("qvlink 1.1\n")));

    // --history: 0 to 10000 frames; anything else is a usage error.
    const std::pair<const char *, int> histories[] = {
        {"0", 0},      {"250", 250}, {"10000", 10000},
        {"10001", -1}, {"-3", -1},   {"", -1},
        {"1e3", -1},   {"+3", -1},   {"18446744073709551617", -1}};
    for (const auto &[given, kept] : histories) {
        const WindowStart history = windowStart("qvlink", Args{std::string("--history=") + given});
        EXPECT_EQ(history.window ? int(*history.window->history) : -1, kept) << given;
    }
}

} // namespace
} // namespace qv::app::cli

namespace qv::app::qt {
namespace {

struct DropSite : TwipsCanvas {
    using TwipsCanvas::dropEvent;
    using TwipsCanvas::TwipsCanvas;
};

// A file manager hands over the encoded URL; the path's bytes are kept, UTF-8 or not.
TEST(Drop, TheDroppedFileIsTheBytesOfItsPath) {
    common::DrawingTarget target;
    DropSite canvas(target, 100, 100);
    std::vector<std::string> dropped;
    canvas.onDrop = [&dropped](const std::vector<std::string> &paths) { dropped = paths; };
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file:///tmp/caf%E9%20x.dso"),
                  QUrl::fromEncoded("file:///tmp/caf%C3%A9%25.dso")});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    canvas.dropEvent(&drop);
    EXPECT_EQ(dropped, (std::vector<std::string>{"/tmp/caf\xe9 x.dso", "/tmp/caf\xc3\xa9%.dso"}));
}

} // namespace
} // namespace qv::app::qt
