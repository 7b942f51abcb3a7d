#include "platform/qt/services/QtFileDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

namespace qv::platform::qt {

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

std::optional<std::string> QtFileDialogs::openFile(const std::string &filter) {
    const QString name =
        QFileDialog::getOpenFileName(parent_, QString(), last_, toQtFilter(filter));
    if (name.isEmpty())
        return std::nullopt;
    last_ = name;
    return QFile::encodeName(name).toStdString(); // the name's bytes, as the system has them
}

std::optional<std::string> QtFileDialogs::saveFile(const std::string &filter) {
    const QString name = QFileDialog::getSaveFileName(parent_, QString(), last_, toQtFilter(filter),
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return std::nullopt;
    last_ = name;
    return QFile::encodeName(name).toStdString(); // the name's bytes, as the system has them
}

} // namespace qv::platform::qt
