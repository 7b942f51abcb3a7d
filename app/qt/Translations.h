#pragma once

class QCoreApplication;

namespace qv::app::qt {

/// Installs Qt's own Chinese translations, so the standard buttons and the file and print
/// dialogs speak the language of the program's texts. False when they are not installed (the
/// dialogs then stay in English).
bool installQtTranslations(QCoreApplication &application);

} // namespace qv::app::qt
