// The table of the core's shown texts. A text of the core that a user reads goes here, with %1
// to %9 for its parts; a text that is English only in the core gets its Chinese form as its
// shown text. Translations are in translations/qvlink_en.ts (lupdate reads this file).
#include "common/ShownTexts.h"

#include <array>

namespace qv::common {
namespace {

constexpr auto kTexts = std::to_array<ShownText>({
    // Status bar: initial texts, link, meter, record interval.
    {"通信状态提示", QT_TRANSLATE_NOOP("CoreText", "通信状态提示")},
    {"仪表型号", QT_TRANSLATE_NOOP("CoreText", "仪表型号")},
    {"仪表工作状态", QT_TRANSLATE_NOOP("CoreText", "仪表工作状态")},
    {"DMM记录间隔", QT_TRANSLATE_NOOP("CoreText", "DMM记录间隔")},
    {"搜索有效的通信口并检查电缆是否插上",
     QT_TRANSLATE_NOOP("CoreText", "搜索有效的通信口并检查电缆是否插上")},
    {"通信电缆未连接，通信无法建立", QT_TRANSLATE_NOOP("CoreText", "通信电缆未连接，通信无法建立")},
    {"通信已断开", QT_TRANSLATE_NOOP("CoreText", "通信已断开")},
    {"通信电缆已连接在%1，通信已建立",
     QT_TRANSLATE_NOOP("CoreText", "通信电缆已连接在%1，通信已建立")},
    {"通信电缆未连接在%1，通信无法建立",
     QT_TRANSLATE_NOOP("CoreText", "通信电缆未连接在%1，通信无法建立")},
    {"仪表型号: %1", QT_TRANSLATE_NOOP("CoreText", "仪表型号: %1")},
    {"工作模式: DMM", QT_TRANSLATE_NOOP("CoreText", "工作模式: DMM")},
    {"工作模式: DMM mem", QT_TRANSLATE_NOOP("CoreText", "工作模式: DMM mem")},
    {"工作模式: DSO", QT_TRANSLATE_NOOP("CoreText", "工作模式: DSO")},
    {"工作模式: DSO mem", QT_TRANSLATE_NOOP("CoreText", "工作模式: DSO mem")},
    {"数据间隔%1s", QT_TRANSLATE_NOOP("CoreText", "数据间隔%1s")},
    // What happened to the link (panel 1's tool tip).
    {"%1 went away; what was under way was dropped; the link comes back when the device does",
     QT_TRANSLATE_NOOP("CoreText", "%1 已断开，进行中的接收已丢弃；设备回来时通信自动恢复")},
    {"%1 went away; what was under way was dropped; a pseudo-terminal's name is not opened again: "
     "the next terminal of any program may take it",
     QT_TRANSLATE_NOOP(
         "CoreText",
         "%1 "
         "已断开，进行中的接收已丢弃；伪终端的名称不会再打开：任何程序的下一个终端都可能占用它")},
    {"%1 went away; what was under way was dropped",
     QT_TRANSLATE_NOOP("CoreText", "%1 已断开，进行中的接收已丢弃")},
    {"no device named: cannot open", QT_TRANSLATE_NOOP("CoreText", "没有指定设备: 无法打开")},
    {"%1: cannot open (%2)", QT_TRANSLATE_NOOP("CoreText", "%1: 无法打开 (%2)")},
    {"%1: cannot open", QT_TRANSLATE_NOOP("CoreText", "%1: 无法打开")},
    {"%1 (the device chosen last time)", QT_TRANSLATE_NOOP("CoreText", "%1 (上次选择的设备)")},
    {"%1 appeared: the link is up", QT_TRANSLATE_NOOP("CoreText", "%1 已出现: 通信已建立")},
    {"%1 is back: the link is up again", QT_TRANSLATE_NOOP("CoreText", "%1 已恢复: 通信重新建立")},
    // Messages and their titles.
    {"QM520V示波表PC接口软件 V1.1", QT_TRANSLATE_NOOP("CoreText", "QM520V示波表PC接口软件 V1.1")},
    {"QM520W", QT_TRANSLATE_NOOP("CoreText", "QM520W")},
    {"仪表当前工作在%1模式，要将程序切换到%1模式吗?",
     QT_TRANSLATE_NOOP("CoreText", "仪表当前工作在%1模式，要将程序切换到%1模式吗?")},
    {"QVLK: 请注意工作模式", QT_TRANSLATE_NOOP("CoreText", "QVLK: 请注意工作模式")},
    {"是否保存当前数据！", QT_TRANSLATE_NOOP("CoreText", "是否保存当前数据！")},
    {"请确认操作", QT_TRANSLATE_NOOP("CoreText", "请确认操作")},
    {"%1 已经存在。要替换它吗?", QT_TRANSLATE_NOOP("CoreText", "%1 已经存在。要替换它吗?")},
    {"%1 文件格式不正确 (%2)", QT_TRANSLATE_NOOP("CoreText", "%1 文件格式不正确 (%2)")},
    {"%1 文件格式不正确", QT_TRANSLATE_NOOP("CoreText", "%1 文件格式不正确")},
    {"无法读取此文件", QT_TRANSLATE_NOOP("CoreText", "无法读取此文件")},
    {"帧 %1/%2, %3", QT_TRANSLATE_NOOP("CoreText", "帧 %1/%2, %3")},
    {"%1 保存失败: %2", QT_TRANSLATE_NOOP("CoreText", "%1 保存失败: %2")},
    {"这是DMM记录文件: 请在 Record > Trend… 窗口中用“打开文件…”打开。",
     QT_TRANSLATE_NOOP("CoreText",
                       "这是DMM记录文件: 请在 Record > Trend… 窗口中用“打开文件…”打开。")},
    {"恢复上次未保存的记录? (%1 行, %2 – %3)",
     QT_TRANSLATE_NOOP("CoreText", "恢复上次未保存的记录? (%1 行, %2 – %3)")},
    {"恢复上次未保存的记录? (%1 行, %2)",
     QT_TRANSLATE_NOOP("CoreText", "恢复上次未保存的记录? (%1 行, %2)")},
    {"恢复上次未保存的记录? (%1 行)",
     QT_TRANSLATE_NOOP("CoreText", "恢复上次未保存的记录? (%1 行)")},
    // File dialogs' filters.
    {"DSO波形文件(*.dso)|*.dso|文档文件(*.txt)|*.txt|所有文件(*.*)|*.*",
     QT_TRANSLATE_NOOP("CoreText",
                       "DSO波形文件(*.dso)|*.dso|文档文件(*.txt)|*.txt|所有文件(*.*)|*.*")},
    {"波形文件(*.dso)|*.dso|文档文件(*.txt)|*.txt|所有文件(*.*)|*.*",
     QT_TRANSLATE_NOOP("CoreText",
                       "波形文件(*.dso)|*.dso|文档文件(*.txt)|*.txt|所有文件(*.*)|*.*")},
    {"DSO波形文件(*.dso)|*.dso|所有文件(*.*)|*.*",
     QT_TRANSLATE_NOOP("CoreText", "DSO波形文件(*.dso)|*.dso|所有文件(*.*)|*.*")},
    {"DMM文档文件(*.txt)|*.txt|所有文件(*.*)|*.*",
     QT_TRANSLATE_NOOP("CoreText", "DMM文档文件(*.txt)|*.txt|所有文件(*.*)|*.*")},
    {"CSV文件(*.csv)|*.csv|所有文件(*.*)|*.*",
     QT_TRANSLATE_NOOP("CoreText", "CSV文件(*.csv)|*.csv|所有文件(*.*)|*.*")},
    {"PNG图片(*.png)|*.png|所有文件(*.*)|*.*",
     QT_TRANSLATE_NOOP("CoreText", "PNG图片(*.png)|*.png|所有文件(*.*)|*.*")},
    {"SVG图片(*.svg)|*.svg|所有文件(*.*)|*.*",
     QT_TRANSLATE_NOOP("CoreText", "SVG图片(*.svg)|*.svg|所有文件(*.*)|*.*")},
    {"PDF文档(*.pdf)|*.pdf|所有文件(*.*)|*.*",
     QT_TRANSLATE_NOOP("CoreText", "PDF文档(*.pdf)|*.pdf|所有文件(*.*)|*.*")},
    // Toolbar tool tips.
    {"新建文件", QT_TRANSLATE_NOOP("CoreText", "新建文件")},
    {"打开文件", QT_TRANSLATE_NOOP("CoreText", "打开文件")},
    {"保存文件", QT_TRANSLATE_NOOP("CoreText", "保存文件")},
    {"打印", QT_TRANSLATE_NOOP("CoreText", "打印")},
    {"复制", QT_TRANSLATE_NOOP("CoreText", "复制")},
    {"连接", QT_TRANSLATE_NOOP("CoreText", "连接")},
    {"DMM模式", QT_TRANSLATE_NOOP("CoreText", "DMM模式")},
    {"DSO模式", QT_TRANSLATE_NOOP("CoreText", "DSO模式")},
    {"开始", QT_TRANSLATE_NOOP("CoreText", "开始")},
    {"DMM记录", QT_TRANSLATE_NOOP("CoreText", "DMM记录")},
    {"波形", QT_TRANSLATE_NOOP("CoreText", "波形")},
    {"FFT频谱", QT_TRANSLATE_NOOP("CoreText", "FFT频谱")},
    {"水平光标", QT_TRANSLATE_NOOP("CoreText", "水平光标")},
    {"垂直光标", QT_TRANSLATE_NOOP("CoreText", "垂直光标")},
    // Menu captions.
    {"&File   ", QT_TRANSLATE_NOOP("CoreText", "&File   ")},
    {"&New    ", QT_TRANSLATE_NOOP("CoreText", "&New    ")},
    {"&Open      ", QT_TRANSLATE_NOOP("CoreText", "&Open      ")},
    {"&Save   ", QT_TRANSLATE_NOOP("CoreText", "&Save   ")},
    {"Save &as     ", QT_TRANSLATE_NOOP("CoreText", "Save &as     ")},
    {"&Print     ", QT_TRANSLATE_NOOP("CoreText", "&Print     ")},
    {"Expor&t", QT_TRANSLATE_NOOP("CoreText", "导出(&T)")},
    {"Waveform CSV…", QT_TRANSLATE_NOOP("CoreText", "波形 CSV…")},
    {"Spectrum CSV…", QT_TRANSLATE_NOOP("CoreText", "频谱 CSV…")},
    {"Picture PNG…", QT_TRANSLATE_NOOP("CoreText", "图片 PNG…")},
    {"Picture SVG…", QT_TRANSLATE_NOOP("CoreText", "图片 SVG…")},
    {"Picture PDF…", QT_TRANSLATE_NOOP("CoreText", "图片 PDF…")},
    {"Record CSV…", QT_TRANSLATE_NOOP("CoreText", "记录 CSV…")},
    {"E&xit   ", QT_TRANSLATE_NOOP("CoreText", "E&xit   ")},
    {"&Edit   ", QT_TRANSLATE_NOOP("CoreText", "&Edit   ")},
    {"&Copy           ", QT_TRANSLATE_NOOP("CoreText", "&Copy           ")},
    {"&Comm   ", QT_TRANSLATE_NOOP("CoreText", "&Comm   ")},
    {"&Link   ", QT_TRANSLATE_NOOP("CoreText", "&Link   ")},
    {"&Break  ", QT_TRANSLATE_NOOP("CoreText", "&Break  ")},
    {"COM&%1", QT_TRANSLATE_NOOP("CoreText", "COM&%1")},
    {"&Other port…", QT_TRANSLATE_NOOP("CoreText", "其他端口(&O)…")},
    {"&Run    ", QT_TRANSLATE_NOOP("CoreText", "&Run    ")},
    {"&Stop   ", QT_TRANSLATE_NOOP("CoreText", "&Stop   ")},
    {"DM&M", QT_TRANSLATE_NOOP("CoreText", "DM&M")},
    {"DS&O", QT_TRANSLATE_NOOP("CoreText", "DS&O")},
    {"&Record    ", QT_TRANSLATE_NOOP("CoreText", "&Record    ")},
    {"&Start      ", QT_TRANSLATE_NOOP("CoreText", "&Start      ")},
    {"&End        ", QT_TRANSLATE_NOOP("CoreText", "&End        ")},
    {"%1s    ", QT_TRANSLATE_NOOP("CoreText", "%1s    ")},
    {"&Trend…", QT_TRANSLATE_NOOP("CoreText", "趋势(&T)…")},
    {"&Wave      ", QT_TRANSLATE_NOOP("CoreText", "&Wave      ")},
    {"&W.form ", QT_TRANSLATE_NOOP("CoreText", "&W.form ")},
    {"&FFT   ", QT_TRANSLATE_NOOP("CoreText", "&FFT   ")},
    {"FFT&Window ", QT_TRANSLATE_NOOP("CoreText", "FFT&Window ")},
    {"&Rectangular", QT_TRANSLATE_NOOP("CoreText", "&Rectangular")},
    {"Ha&nning", QT_TRANSLATE_NOOP("CoreText", "Ha&nning")},
    {"Ha&mming", QT_TRANSLATE_NOOP("CoreText", "Ha&mming")},
    {"&Blackman", QT_TRANSLATE_NOOP("CoreText", "&Blackman")},
    {"&Flattop", QT_TRANSLATE_NOOP("CoreText", "&Flattop")},
    {"&Bartlett", QT_TRANSLATE_NOOP("CoreText", "&Bartlett")},
    {"&Spectrum   ", QT_TRANSLATE_NOOP("CoreText", "&Spectrum   ")},
    {"L&inear ", QT_TRANSLATE_NOOP("CoreText", "L&inear ")},
    {"&LOG    ", QT_TRANSLATE_NOOP("CoreText", "&LOG    ")},
    {"&Help   ", QT_TRANSLATE_NOOP("CoreText", "&Help   ")},
    {"&Help Topics", QT_TRANSLATE_NOOP("CoreText", "&Help Topics")},
    {"&About  ", QT_TRANSLATE_NOOP("CoreText", "&About  ")},
});

// Whether text is pattern with its parts filled in; a part named twice must read the same.
bool fill(std::string_view pattern, std::string_view text, std::vector<std::string> &parts) {
    const std::size_t mark = pattern.find('%');
    const bool isPart = mark != std::string_view::npos && mark + 1 < pattern.size() &&
                        pattern[mark + 1] >= '1' && pattern[mark + 1] <= '9';
    if (!isPart)
        return pattern == text;
    if (text.substr(0, mark) != pattern.substr(0, mark))
        return false;
    const auto index = static_cast<std::size_t>(pattern[mark + 1] - '1');
    const std::string_view rest = pattern.substr(mark + 2);
    text.remove_prefix(mark);
    if (parts.size() <= index)
        parts.resize(index + 1);
    const std::string before = parts[index];
    for (std::size_t length = 0; length <= text.size(); ++length) {
        const std::string_view part = text.substr(0, length);
        if (!before.empty() && part != before)
            continue;
        parts[index] = std::string(part);
        if (fill(rest, text.substr(length), parts))
            return true;
    }
    parts[index] = before;
    return false;
}

} // namespace

std::span<const ShownText> shownTexts() {
    return kTexts;
}

std::optional<ShownTextMatch> matchShownText(std::string_view text) {
    for (const ShownText &entry : kTexts) {
        std::vector<std::string> parts;
        if (fill(entry.core, text, parts))
            return ShownTextMatch{&entry, std::move(parts)};
    }
    return std::nullopt;
}

} // namespace qv::common
