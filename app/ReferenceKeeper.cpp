#include "app/ReferenceKeeper.h"

#include "dso/ReferenceTrace.h"
#include "files/FileMessages.h"
#include "files/FileStore.h"
#include "files/TextCodec.h"
#include "files/WaveformFiles.h"
#include "files/WaveformFormat.h"
#include "output/SpectrumCsv.h"

#include <algorithm>
#include <filesystem>

namespace qv::app {
namespace {

constexpr const char *kOpenFilter = "DSO波形文件(*.dso)|*.dso|所有文件(*.*)|*.*";
constexpr double kPointsPerDiv = 20;

/// A waveform's points and scales as the reference drawing takes them: all 256 points.
dso::WaveInput inputOf(const common::Waveform &wave, double model, const dso::ScaleTables &tables,
                       std::size_t points) {
    const auto perDiv = output::secondsPerDiv(wave, model, tables);
    return {std::span<const double>(wave.WaveData).first(points), wave.DsoParam[3],
            output::voltsPerUnit(wave, model, tables),
            perDiv ? std::optional(*perDiv / kPointsPerDiv) : std::nullopt};
}

} // namespace

std::optional<dso::HistoryFrame> ReferenceKeeper::parse(const std::string &bytes,
                                                        std::string *reason) {
    const auto parsed = files::WaveformFormat::parse(bytes);
    if (parsed.status != files::WaveformFormat::Status::Ok) {
        if (reason)
            *reason = parsed.reason;
        return std::nullopt;
    }
    const files::WaveformRecord &r = parsed.record;
    dso::HistoryFrame f;
    f.modelName = r.modelName;
    f.modelCode = static_cast<std::int16_t>(r.modelCode);
    f.wave.WaveTitle = files::TextCodec::fromFile(r.title);
    f.wave.WaveDate = files::TextCodec::fromFile(r.date);
    f.wave.WaveTime = files::TextCodec::fromFile(r.time);
    std::copy(r.params.begin(), r.params.end(), f.wave.DsoParam.begin());
    std::copy(r.samples.begin(), r.samples.end(), f.wave.WaveData.begin());
    f.wave.WaveValid = true;
    return f;
}

void ReferenceKeeper::load() {
    if (store_.empty() || !files::FileStore::exists(store_))
        return;
    const auto bytes = files::FileStore::readLines(store_, files::WaveformFormat::kLineCount);
    if (bytes)
        ref_ = parse(*bytes, nullptr);
    updateItems();
}

void ReferenceKeeper::keep() {
    if (!form_.wave.WaveValid || !form_.el.DSOmode.checked())
        return;
    ref_ = dso::HistoryFrame{form_.wave, form_.v.MeterModelCode, form_.v.MeterModelName, {}};
    ref_->wave.WaveTitle = form_.el.Text1.text();
    store();
    redraw();
}

void ReferenceKeeper::open() {
    const auto chosen = form_.os.files.openFile(kOpenFilter);
    if (!chosen || chosen->empty())
        return;
    const auto bytes = files::FileStore::readLines(*chosen, files::WaveformFormat::kLineCount);
    std::string reason = kUnreadable;
    auto taken = bytes ? parse(*bytes, &reason) : std::nullopt;
    if (!taken) {
        files::FileMessages(form_.os.messages).wrongFormat(*chosen, reason);
        return;
    }
    ref_ = std::move(taken);
    store();
    redraw();
}

void ReferenceKeeper::clear() {
    ref_.reset();
    if (!store_.empty()) {
        std::error_code error;
        std::filesystem::remove(std::filesystem::path(store_), error);
    }
    redraw();
}

void ReferenceKeeper::store() {
    if (store_.empty() || !ref_)
        return;
    files::WaveformRecord r;
    r.modelName = ref_->modelName;
    r.title = ref_->wave.WaveTitle;
    r.date = ref_->wave.WaveDate;
    r.time = ref_->wave.WaveTime;
    std::copy_n(ref_->wave.DsoParam.begin(), r.params.size(), r.params.begin());
    std::copy_n(ref_->wave.WaveData.begin(), r.samples.size(), r.samples.begin());
    const auto written = files::FileStore::write(
        store_, files::TextCodec::toSystem(files::WaveformFormat::compose(r)), false);
    if (!written.ok)
        files::FileMessages(form_.os.messages).saveFailed(store_, written.reason);
}

void ReferenceKeeper::redraw() {
    updateItems();
    const common::Elements &el = form_.el;
    if (el.DSOmode.checked() && el.DSO_wave.checked() && form_.wave.WaveValid)
        common::Procedures::run(form_.call.DSO_display);
}

void ReferenceKeeper::updateItems() {
    keepItem.setEnabled(form_.el.DSOmode.checked() && form_.wave.WaveValid);
    clearItem.setEnabled(ref_.has_value());
}

void ReferenceKeeper::drawUnder(common::DrawingTarget &target) const {
    if (!ref_)
        return;
    const double liveModel = form_.v.MeterModelCode;
    const auto live = inputOf(form_.wave, liveModel, tables_, dso::kShownPoints);
    const auto reference = inputOf(ref_->wave, ref_->modelCode, tables_, 256);
    dso::drawReference(target, form_.geo, reference, live,
                       dso::referenceLabel(ref_->wave, ref_->modelCode, tables_));
}

} // namespace qv::app
