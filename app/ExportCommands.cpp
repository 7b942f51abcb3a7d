#include "app/ExportCommands.h"

#include "files/FileMessages.h"
#include "files/FileStore.h"
#include "output/RecordCsv.h"
#include "output/SpectrumCsv.h"
#include "output/WaveformCsv.h"

#include <array>

namespace qv::app {
namespace {

struct ItemSpec {
    const char *filter;
    const char *extension;
    std::optional<platform::PictureFormat> picture;
};

constexpr auto kItems = std::to_array<ItemSpec>({
    {"CSV文件(*.csv)|*.csv|所有文件(*.*)|*.*", "csv", std::nullopt},
    {"CSV文件(*.csv)|*.csv|所有文件(*.*)|*.*", "csv", std::nullopt},
    {"PNG图片(*.png)|*.png|所有文件(*.*)|*.*", "png", platform::PictureFormat::Png},
    {"SVG图片(*.svg)|*.svg|所有文件(*.*)|*.*", "svg", platform::PictureFormat::Svg},
    {"PDF文档(*.pdf)|*.pdf|所有文件(*.*)|*.*", "pdf", platform::PictureFormat::Pdf},
    {"CSV文件(*.csv)|*.csv|所有文件(*.*)|*.*", "csv", std::nullopt},
});

const ItemSpec &itemSpec(ExportItem item) {
    return kItems[static_cast<size_t>(item)];
}

} // namespace

bool ExportCommands::available(ExportItem item) const {
    if (item == ExportItem::RecordCsv)
        return form_.el.DMMmode.checked() && !form_.el.RichTextBox1.text().empty();
    return form_.el.DSOmode.checked() && form_.wave.WaveValid;
}

void ExportCommands::updateItems() {
    for (size_t i = 0; i < form_.el.mnuExportItem.size(); ++i)
        form_.el.mnuExportItem[i].setEnabled(available(static_cast<ExportItem>(i)));
}

void ExportCommands::exportAs(int index) {
    if (index < 0 || index >= static_cast<int>(kItems.size()))
        return;
    const auto item = static_cast<ExportItem>(index);
    if (!available(item))
        return;
    const auto chosen = form_.os.files.saveFile(itemSpec(item).filter);
    if (!chosen || chosen->empty())
        return;
    const std::string path = withExtension(*chosen, itemSpec(item).extension);
    files::FileMessages messages(form_.os.messages);
    if (files::FileStore::exists(path) && !messages.confirmReplace(path))
        return;
    if (const auto written = write(item, path); !written.ok)
        messages.saveFailed(path, written.reason);
}

platform::PictureWriter::Result ExportCommands::write(ExportItem item, const std::string &path) {
    if (const auto format = itemSpec(item).picture) {
        if (!pictures_)
            return {false, "no picture writer"};
        return pictures_->write(path, *format, form_.el.Picture1, kScreenWidth, kScreenHeight, 1);
    }
    const std::string text = item == ExportItem::WaveformCsv   ? waveformCsv()
                             : item == ExportItem::SpectrumCsv ? spectrumCsv()
                                                               : recordCsv();
    const auto written = files::FileStore::write(path, text);
    return {written.ok, written.reason};
}

std::string ExportCommands::waveformCsv() const {
    const std::string &model = form_.v.MeterModelName;
    return output::waveformCsv({form_.wave, model, double(form_.v.MeterModelCode),
                                output::workModeOfTitle(form_.wave.WaveTitle, model), tables_});
}

std::string ExportCommands::spectrumCsv() {
    spectrum_.compute();
    const double model = form_.v.MeterModelCode;
    return output::spectrumCsv({form_.v.WindowName, form_.v.SpectrumLogScale == 1,
                                std::span<const double>(spectrum_.Spectrum.data(), 128),
                                output::voltsPerUnit(form_.wave, model, tables_),
                                output::secondsPerDiv(form_.wave, model, tables_)});
}

std::string ExportCommands::recordCsv() const {
    return output::recordCsv(form_.el.RichTextBox1.text());
}

std::string ExportCommands::withExtension(const std::string &path, const char *ext) {
    const size_t slash = path.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.find('.') != std::string::npos)
        return path;
    return path + "." + ext;
}

} // namespace qv::app
