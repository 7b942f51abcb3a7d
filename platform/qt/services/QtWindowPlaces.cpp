#include "platform/qt/services/QtWindowPlaces.h"

#include <QRect>
#include <QSettings>

#include <memory>

namespace qv::platform::qt {
namespace {

std::unique_ptr<QSettings> settings(const QString &iniFile) {
    if (iniFile.isEmpty())
        return std::make_unique<QSettings>(QStringLiteral("qvlink"), QStringLiteral("qvlink"));
    return std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
}

QString key(const std::string &window) {
    return QStringLiteral("windows/") + QString::fromStdString(window);
}

} // namespace

std::optional<WindowPlace> QtWindowPlaces::recall(const std::string &window) const {
    const QRect r = settings(iniFile_)->value(key(window)).toRect();
    if (!r.isValid())
        return std::nullopt;
    return WindowPlace{r.x(), r.y(), r.width(), r.height()};
}

void QtWindowPlaces::remember(const std::string &window, const WindowPlace &place) {
    settings(iniFile_)->setValue(key(window), QRect(place.x, place.y, place.width, place.height));
}

} // namespace qv::platform::qt
