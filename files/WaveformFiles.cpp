#include "files/WaveformFiles.h"

#include "files/DmmRecordFormat.h"
#include "files/FileMessages.h"
#include "files/FileStore.h"
#include "files/TextCodec.h"
#include "files/WaveformFormat.h"

#include <algorithm>

namespace qv::files {
namespace {

/// A DMM record file: the header, then "<model> DMM Record: <title>" on the fourth line.
bool isDmmRecord(std::string_view text) {
    if (!text.starts_with(DmmRecordFormat::kHeader))
        return false;
    for (int line = 0; line < 3; ++line) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos)
            return false;
        text.remove_prefix(end + 1);
    }
    return text.substr(0, text.find('\n')).find(" DMM Record: ") != std::string_view::npos;
}

void caption(common::Form &form, const std::string &path) {
    if (form.call.CaptionChange)
        form.call.CaptionChange(path);
}

} // namespace

WaveformRecord waveformRecordOf(const common::Form &form) {
    WaveformRecord r;
    r.modelName = form.v.MeterModelName;
    r.title = form.el.Text1.text();
    r.date = form.wave.WaveDate;
    r.time = form.wave.WaveTime;
    std::copy_n(form.wave.DsoParam.begin(), r.params.size(), r.params.begin());
    std::copy_n(form.wave.WaveData.begin(), r.samples.size(), r.samples.begin());
    return r;
}

bool WaveformFiles::writeCurrent() {
    // The file's name is taken before writing: a failed write leaves it named, unsaved.
    const std::string path = form_.v.CurrentFileName;
    const std::string text = TextCodec::toSystem(WaveformFormat::compose(waveformRecordOf(form_)));
    const auto written = FileStore::write(path, text);
    if (!written.ok) {
        FileMessages(form_.os.messages).saveFailed(path, written.reason);
        return false;
    }
    caption(form_, path);
    form_.el.Save.setEnabled(false);
    form_.el.menuSave.setEnabled(false);
    return true;
}

bool WaveformFiles::SaveFile(const std::string &name) {
    if (!name.empty()) {
        form_.v.CurrentFileName = std::string(name); // name may be CurrentFileName itself
        return writeCurrent();
    }
    const auto chosen = form_.os.files.saveFile(kSaveFilter);
    if (!chosen || chosen->empty())
        return false;
    if (FileStore::exists(*chosen) && !FileMessages(form_.os.messages).confirmReplace(*chosen))
        return false;
    form_.v.CurrentFileName = *chosen;
    return writeCurrent();
}

void WaveformFiles::mnuSaveAs_Click() {
    const auto chosen = form_.os.files.saveFile(kSaveAsFilter);
    if (!chosen || chosen->empty())
        return;
    if (FileStore::exists(*chosen) && !FileMessages(form_.os.messages).confirmReplace(*chosen))
        return;
    (void)SaveFile(*chosen);
}

void WaveformFiles::menuSave_Click() {
    if (form_.el.DMMmode.checked()) {
        if (form_.call.SaveDMMRecord)
            (void)form_.call.SaveDMMRecord();
        return;
    }
    (void)SaveFile(form_.v.CurrentFileName);
}

void WaveformFiles::FileOpen() {
    const auto chosen = form_.os.files.openFile(kOpenFilter);
    if (!chosen)
        return;
    (void)FileOpen0(*chosen);
}

bool WaveformFiles::FileOpen0(const std::string &name) {
    const auto bytes = FileStore::readLines(name, WaveformFormat::kLineCount);
    if (!bytes)
        return false;
    const auto parsed = WaveformFormat::parse(*bytes);
    if (parsed.status == WaveformFormat::Status::WrongFormat)
        FileMessages(form_.os.messages)
            .wrongFormat(name, isDmmRecord(*bytes) ? FileMessages::kRecordFileHint : "");
    if (parsed.status != WaveformFormat::Status::Ok)
        return false;

    // The whole file is in: only now does the waveform on screen change.
    const WaveformRecord &r = parsed.record;
    form_.v.MeterModelName = r.modelName;
    form_.v.MeterModelCode = static_cast<std::int16_t>(r.modelCode);
    form_.wave.WaveTitle = TextCodec::fromFile(r.title);
    form_.wave.WaveDate = TextCodec::fromFile(r.date);
    form_.wave.WaveTime = TextCodec::fromFile(r.time);
    std::copy(r.params.begin(), r.params.end(), form_.wave.DsoParam.begin());
    std::copy(r.samples.begin(), r.samples.end(), form_.wave.WaveData.begin());
    caption(form_, name);
    form_.v.CurrentFileName = name;

    common::Procedures::run(form_.el.DSO_wave.checked() ? form_.call.DSO_display
                                                        : form_.call.FFT_Display);

    auto &el = form_.el;
    el.Save.setEnabled(false);
    el.menuSave.setEnabled(false);
    el.Print.setEnabled(true);
    el.Copy.setEnabled(true);
    el.mnuPrint.setEnabled(true);
    el.mnuSaveAs.setEnabled(true);
    el.mnuCopy.setEnabled(true);
    form_.wave.WaveValid = true;
    el.XCursor.setEnabled(true);
    el.YCursor.setEnabled(true);
    el.DSO_FFT.setEnabled(true);
    return true;
}

void WaveformFiles::Picture1_OLEDragDrop(const std::vector<std::string> &paths) {
    // A disabled screen (DMM mode) takes no drop, even when a stop left drops switched on.
    if (!form_.el.Picture1Drops.checked() || !form_.el.Picture1Mouse.enabled())
        return;
    // One dropped file opens; several at once open nothing (their joined paths name no file).
    if (paths.size() != 1)
        return;
    (void)FileOpen0(paths.front());
}

} // namespace qv::files
