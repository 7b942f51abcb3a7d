#include "platform/qt/services/QtWindowPlaces.h"

#include "platform/qt/ProgramSettings.h"
#include <QRect>

#include <QSettings>

#include <memory>

namespace qv::platform::qt {
namespace {

QString key(const std::string &window) {
    return QStringLiteral("windows/") + QString::fromStdString(window);
}

} // namespace

std::optional<WindowPlace> QtWindowPlaces::recall(const std::string &window) const {
    const QRect r = programSettings(iniFile_)->value(key(window)).toRect();
    if (!r.isValid())
        return std::nullopt;
    return WindowPlace{r.x(), r.y(), r.width(), r.height()};
}

void QtWindowPlaces::remember(const std::string &window, const WindowPlace &place) {
    programSettings(iniFile_)->setValue(key(window),
                                        QRect(place.x, place.y, place.width, place.height));
}

} // namespace qv::platform::qt
