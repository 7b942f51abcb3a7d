#include "app/cli/HeadlessScope.h"

#include "app/Layout.h"
#include "files/FileStore.h"
#include "files/WaveformFormat.h"

#include <filesystem>
#include <fstream>

namespace qv::app::cli {

HeadlessScope::HeadlessScope(const View &view, const common::TextMeasure *measure) {
    if (measure)
        program_.form().el.Picture1.setTextMeasure(measure);
    program_.Form_Load();
    Commands &commands = program_.commands();
    commands.pressButton("DSOmode");
    // Window and scale first: they redraw the spectrum whatever the view; the file then draws
    // the chosen view.
    commands.clickMenu(kWindowItems.at(static_cast<size_t>(view.window)));
    if (view.db)
        commands.clickMenu("mnuLog");
    if (view.spectrum)
        commands.clickMenu("mnuDSOFFT");
}

std::optional<std::string> HeadlessScope::open(const std::string &path) {
    if (program_.waveFiles().FileOpen0(path))
        return std::nullopt;
    const auto messages = platform_.takeMessages();
    return (messages.empty() ? path : messages.front()) + " (" + refusalReason(path) + ")";
}

namespace {

// The first bytes of a file, read as they are: what was read when a line-wise read gave up.
std::string head(const std::string &path, size_t count) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

// Lines ended by CR LF, LF or CR.
int lineCount(std::string_view bytes) {
    int lines = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        ++lines;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    return lines;
}

} // namespace

std::string refusalReason(const std::string &path) {
    using files::WaveformFormat;
    if (!files::FileStore::exists(path))
        return "no such file";
    const auto bytes = files::FileStore::readLines(path, WaveformFormat::kLineCount);
    if (!bytes)
        return "not a readable file";
    const auto parsed = WaveformFormat::parse(*bytes);
    if (parsed.status == WaveformFormat::Status::Ok)
        return {};
    const std::string first = head(path, 64 * 1024);
    if (first.find('\0') != std::string::npos)
        return "not text";
    // Fewer lines than a waveform file has, and more bytes: the read gave up inside a line longer
    // than it reads at all.
    const int lines = lineCount(*bytes);
    std::error_code error;
    const auto size = std::filesystem::file_size(std::filesystem::path(path), error);
    if (!error && lines < WaveformFormat::kLineCount && bytes->size() < size)
        return "line " + std::to_string(lines + 1) + " is longer than " +
               std::to_string(WaveformFormat::kMaxLineBytes) + " bytes";
    return parsed.reason;
}

} // namespace qv::app::cli
