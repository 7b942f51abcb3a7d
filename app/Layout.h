#pragma once
#include "common/Elements.h"

#include <array>
#include <span>
#include <string_view>

namespace qv::app {

enum class ButtonStyle { Push, Toggle, Group };

/// One toolbar button: its key, tool tip, style, whether a separator stands before it, and its
/// element.
struct ButtonSpec {
    std::string_view key;
    std::string_view tip;
    ButtonStyle style;
    bool separatorBefore;
    common::Control common::Elements::*element;
};

/// The toolbar, left to right.
[[nodiscard]] std::span<const ButtonSpec> toolbarButtons();
[[nodiscard]] const ButtonSpec *findButton(std::string_view key);

/// One menu entry. Depth 0 is a menu of the menu bar, 1 an item (or a submenu title), 2 an item of
/// a submenu. A caption of "-" is a separator. `name` is what the command handlers know it by.
struct MenuSpec {
    int depth;
    std::string_view name;
    std::string_view caption;
    std::string_view shortcut; ///< e.g. "Ctrl+N", "F5"; empty for none
};

/// The menu tree in order, top-level menus File, Edit, Comm, Run, Record, Wave, Help.
[[nodiscard]] std::span<const MenuSpec> menuTree();

/// Names of the interval items (1 s .. 60 s) and of the window items (by window type).
inline constexpr std::array<std::string_view, 7> kIntervalItems{
    "mnu1s", "mnu2s", "mnu5s", "mnu10s", "mnu20s", "mnu30s", "mnu60s"};
inline constexpr std::array<std::string_view, 6> kWindowItems{
    "mnuRectangular", "mnuHanning", "mnuHamming", "mnuBlackman", "mnuFlattop", "mnuBartlett"};

/// Names of the Export submenu's items, in menu order (see ExportItem).
inline constexpr std::array<std::string_view, 6> kExportItems{
    "mnuExportWaveCsv", "mnuExportSpectrumCsv", "mnuExportPng",
    "mnuExportSvg",     "mnuExportPdf",         "mnuExportRecordCsv"};

/// Position of name in a list of item names; -1 when it is not there.
[[nodiscard]] int itemIndex(std::span<const std::string_view> names, std::string_view name);
/// Port number 1..8 of "mnuCOM1".."mnuCOM8"; 0 for any other name.
[[nodiscard]] int comPortOf(std::string_view name);

/// The element behind a menu name; nullptr for separators and unknown names.
[[nodiscard]] common::Control *menuElement(common::Elements &el, std::string_view name);

} // namespace qv::app
