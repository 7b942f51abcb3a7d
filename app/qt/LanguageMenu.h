#pragma once

namespace qv::lang {
class Translators;
}

namespace qv::app::qt {

class MainWindow;

/// Help > "Language / 语言" with "中文" and "English", one checked: a choice installs its
/// translations at once (the open window and its dialogs follow) and is kept for the next runs.
/// The captions read the same in both languages, so that a user finds them in either.
void addLanguageMenu(MainWindow &window, lang::Translators &translators);

} // namespace qv::app::qt
