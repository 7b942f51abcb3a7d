#include "app/Layout.h"

#include <array>
#include <string>

namespace qv::app {

using common::Elements;
using S = ButtonStyle;

namespace {

constexpr auto kButtons = std::to_array<ButtonSpec>({
    {"New", "新建文件", S::Push, false, &Elements::New},
    {"Open", "打开文件", S::Push, false, &Elements::Open},
    {"Save", "保存文件", S::Push, false, &Elements::Save},
    {"Print", "打印", S::Push, true, &Elements::Print},
    {"Copy", "复制", S::Push, false, &Elements::Copy},
    {"Link", "连接", S::Toggle, true, &Elements::Link},
    {"DMMmode", "DMM模式", S::Group, true, &Elements::DMMmode},
    {"DSOmode", "DSO模式", S::Group, false, &Elements::DSOmode},
    {"StartStop", "开始", S::Toggle, true, &Elements::StartStop},
    {"DMMRecord", "DMM记录", S::Toggle, false, &Elements::DMMRecord},
    {"DSO_wave", "波形", S::Group, true, &Elements::DSO_wave},
    {"DSO_FFT", "FFT频谱", S::Group, false, &Elements::DSO_FFT},
    {"XCursor", "水平光标", S::Toggle, true, &Elements::XCursor},
    {"YCursor", "垂直光标", S::Toggle, false, &Elements::YCursor},
});

constexpr auto kMenus = std::to_array<MenuSpec>({
    {0, "mnuFile", "&File   ", ""},
    {1, "mnuNew", "&New    ", "Ctrl+N"},
    {1, "menuOpen", "&Open      ", "Ctrl+O"},
    {1, "menuSave", "&Save   ", "Ctrl+S"},
    {1, "mnuSaveAs", "Save &as     ", ""},
    {1, "mnuLine1", "-", ""},
    {1, "mnuPrint", "&Print     ", "Ctrl+P"},
    {1, "mnuExport", "Expor&t", ""},
    {2, "mnuExportWaveCsv", "Waveform CSV…", ""},
    {2, "mnuExportSpectrumCsv", "Spectrum CSV…", ""},
    {2, "mnuExportPng", "Picture PNG…", ""},
    {2, "mnuExportSvg", "Picture SVG…", ""},
    {2, "mnuExportPdf", "Picture PDF…", ""},
    {2, "mnuExportRecordCsv", "Record CSV…", ""},
    {1, "mnuLine2", "-", ""},
    {1, "mnuExit", "E&xit   ", ""},
    {0, "mnuEdit", "&Edit   ", ""},
    {1, "mnuCopy", "&Copy           ", "Ctrl+C"},
    {0, "mnuComm", "&Comm   ", ""},
    {1, "mnuLink", "&Link   ", "Ctrl+L"},
    {1, "mnuBreak", "&Break  ", "Ctrl+B"},
    {1, "mnuLine6", "-", ""},
    {1, "mnuCOM1", "COM&1", ""},
    {1, "mnuCOM2", "COM&2", ""},
    {1, "mnuCOM3", "COM&3", ""},
    {1, "mnuCOM4", "COM&4", ""},
    {1, "mnuCOM5", "COM&5", ""},
    {1, "mnuCOM6", "COM&6", ""},
    {1, "mnuCOM7", "COM&7", ""},
    {1, "mnuCOM8", "COM&8", ""},
    {1, "mnuOtherPort", "&Other port…", ""},
    {0, "mnuRun", "&Run    ", ""},
    {1, "mnuStart", "&Run    ", "F5"},
    {1, "mnuPause", "&Stop   ", "F6"},
    {1, "mnuLine3", "-", ""},
    {1, "mnuDMMmode", "DM&M", ""},
    {1, "mnuDSOmode", "DS&O", ""},
    {0, "mnuDMMrecord", "&Record    ", ""},
    {1, "mnuDMMRecordStart", "&Start      ", ""},
    {1, "mnuDMMRecordPause", "&End        ", ""},
    {1, "mnuLine7", "-", ""},
    {1, "mnu1s", "1s    ", ""},
    {1, "mnu2s", "2s    ", ""},
    {1, "mnu5s", "5s    ", ""},
    {1, "mnu10s", "10s    ", ""},
    {1, "mnu20s", "20s    ", ""},
    {1, "mnu30s", "30s    ", ""},
    {1, "mnu60s", "60s    ", ""},
    {1, "mnuLineTrend", "-", ""},
    {1, "mnuTrend", "&Trend…", "Ctrl+T"},
    {0, "mnuDSOdis", "&Wave      ", ""},
    {1, "mnuDSOwave", "&W.form ", ""},
    {1, "mnuDSOFFT", "&FFT   ", ""},
    {1, "mnuLinefft", "-", ""},
    {1, "mnuFFTwindow", "FFT&Window ", ""},
    {2, "mnuRectangular", "&Rectangular", ""},
    {2, "mnuHanning", "Ha&nning", ""},
    {2, "mnuHamming", "Ha&mming", ""},
    {2, "mnuBlackman", "&Blackman", ""},
    {2, "mnuFlattop", "&Flattop", ""},
    {2, "mnuBartlett", "&Bartlett", ""},
    {1, "mnuFFTdisplay", "&Spectrum   ", ""},
    {2, "mnuLinear", "L&inear ", ""},
    {2, "mnuLog", "&LOG    ", ""},
    {0, "mnuHelp", "&Help   ", ""},
    {1, "mnuHelpmain", "&Help Topics", ""},
    {1, "mnuAbout", "&About  ", ""},
});

struct Named {
    std::string_view name;
    common::Control Elements::*member;
};

constexpr auto kSingles = std::to_array<Named>({
    {"mnuFile", &Elements::mnuFile},
    {"mnuNew", &Elements::mnuNew},
    {"menuOpen", &Elements::menuOpen},
    {"menuSave", &Elements::menuSave},
    {"mnuSaveAs", &Elements::mnuSaveAs},
    {"mnuPrint", &Elements::mnuPrint},
    {"mnuExit", &Elements::mnuExit},
    {"mnuExport", &Elements::mnuExport},
    {"mnuEdit", &Elements::mnuEdit},
    {"mnuCopy", &Elements::mnuCopy},
    {"mnuComm", &Elements::mnuComm},
    {"mnuLink", &Elements::mnuLink},
    {"mnuBreak", &Elements::mnuBreak},
    {"mnuOtherPort", &Elements::mnuOtherPort},
    {"mnuRun", &Elements::mnuRun},
    {"mnuStart", &Elements::mnuStart},
    {"mnuPause", &Elements::mnuPause},
    {"mnuDMMmode", &Elements::mnuDMMmode},
    {"mnuDSOmode", &Elements::mnuDSOmode},
    {"mnuDMMrecord", &Elements::mnuDMMrecord},
    {"mnuDMMRecordStart", &Elements::mnuDMMRecordStart},
    {"mnuDMMRecordPause", &Elements::mnuDMMRecordPause},
    {"mnuTrend", &Elements::mnuTrend},
    {"mnuDSOdis", &Elements::mnuDSOdis},
    {"mnuDSOwave", &Elements::mnuDSOwave},
    {"mnuDSOFFT", &Elements::mnuDSOFFT},
    {"mnuFFTwindow", &Elements::mnuFFTwindow},
    {"mnuFFTdisplay", &Elements::mnuFFTdisplay},
    {"mnuLinear", &Elements::mnuLinear},
    {"mnuLog", &Elements::mnuLog},
    {"mnuHelp", &Elements::mnuHelp},
    {"mnuHelpmain", &Elements::mnuHelpmain},
});

} // namespace

std::span<const ButtonSpec> toolbarButtons() {
    return kButtons;
}

const ButtonSpec *findButton(std::string_view key) {
    for (const ButtonSpec &b : kButtons)
        if (b.key == key)
            return &b;
    return nullptr;
}

std::span<const MenuSpec> menuTree() {
    return kMenus;
}

common::Control *menuElement(Elements &el, std::string_view name) {
    for (const Named &n : kSingles)
        if (n.name == name)
            return &(el.*n.member);
    if (name == "mnuAbout")
        return &el.mnuAbout;
    if (const int i = itemIndex(kIntervalItems, name); i >= 0)
        return &el.mnuInterval[static_cast<size_t>(i)];
    if (const int i = itemIndex(kWindowItems, name); i >= 0)
        return &el.mnuWindow[static_cast<size_t>(i)];
    if (const int i = itemIndex(kExportItems, name); i >= 0)
        return &el.mnuExportItem[static_cast<size_t>(i)];
    if (const int port = comPortOf(name))
        return &el.mnuCOM[static_cast<size_t>(port - 1)];
    return nullptr;
}

int itemIndex(std::span<const std::string_view> names, std::string_view name) {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

int comPortOf(std::string_view name) {
    if (name.size() == 7 && name.substr(0, 6) == "mnuCOM" && name[6] >= '1' && name[6] <= '8')
        return name[6] - '0';
    return 0;
}

} // namespace qv::app
