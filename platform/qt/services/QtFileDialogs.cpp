#include "platform/qt/services/QtFileDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace qv::platform::qt {

QtFileDialogs::QtFileDialogs()
    : ask_([](QWidget *parent, const QString &start, const QString &filter, bool save) {
          if (save)
              return QFileDialog::getSaveFileName(parent, QString(), start, filter, nullptr,
                                                  QFileDialog::DontConfirmOverwrite);
          return QFileDialog::getOpenFileName(parent, QString(), start, filter);
      }) {}

QString QtFileDialogs::toQtFilter(const std::string &filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        // "*.*" would hide names without a dot on systems that do not treat it as "everything".
        description.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        out << description;
    }
    return out.join(QStringLiteral(";;"));
}

std::optional<std::string> QtFileDialogs::choose(const std::string &filter, bool save) {
    const auto own = last_.find(filter);
    const QString start = own != last_.end() ? own->second : lastFolder_;
    const QString name = ask_(parent_, start, toQtFilter(filter), save);
    if (name.isEmpty())
        return std::nullopt;
    last_[filter] = name;
    lastFolder_ = QFileInfo(name).absolutePath();
    return QFile::encodeName(name).toStdString(); // the name's bytes, as the system has them
}

std::optional<std::string> QtFileDialogs::openFile(const std::string &filter) {
    return choose(filter, false);
}

std::optional<std::string> QtFileDialogs::saveFile(const std::string &filter) {
    return choose(filter, true);
}

} // namespace qv::platform::qt
