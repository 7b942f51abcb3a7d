#include "app/cli/HeadlessScope.h"

#include "app/Layout.h"
#include "files/FileStore.h"
#include "files/WaveformFormat.h"

namespace qv::app::cli {

HeadlessScope::HeadlessScope(const View &view) {
    program_.form().el.Picture1.setTextMeasure(&measure_);
    program_.Form_Load();
    Commands &commands = program_.commands();
    commands.pressButton("DSOmode");
    // Window and scale first: they redraw the spectrum whatever the view; the file then draws
    // the chosen view.
    if (view.window >= 0 && view.window < static_cast<int>(kWindowItems.size()))
        commands.clickMenu(kWindowItems[static_cast<size_t>(view.window)]);
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
    if (parsed.status == WaveformFormat::Status::ReadError)
        return "shorter than " + std::to_string(WaveformFormat::kLineCount) + " lines";
    const std::string header(WaveformFormat::kHeader);
    const bool headerOk = bytes->compare(0, header.size(), header) == 0 &&
                          (bytes->size() == header.size() || (*bytes)[header.size()] == '\r' ||
                           (*bytes)[header.size()] == '\n');
    if (!headerOk)
        return "the first line is not \"" + header + "\"";
    return "unknown meter model \"" + parsed.record.modelName + "\"";
}

} // namespace qv::app::cli
