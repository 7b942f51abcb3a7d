#include "platform/qt/serial/QtDeviceMemory.h"

#include "platform/qt/ProgramSettings.h"

#include <QSettings>

#include <memory>

namespace qv::platform::qt {

namespace {

std::optional<std::uint16_t> id(const QVariant &v) {
    bool ok = false;
    const uint n = v.toUInt(&ok);
    if (!ok || n > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(n);
}

} // namespace

std::optional<DeviceIdentity> QtDeviceMemory::recall() const {
    const auto s = programSettings(iniFile_);
    const QString path = s->value(QStringLiteral("link/device")).toString();
    if (path.isEmpty())
        return std::nullopt;
    return DeviceIdentity{path.toStdString(),
                          s->value(QStringLiteral("link/serialNumber")).toString().toStdString(),
                          id(s->value(QStringLiteral("link/vendorId"))),
                          id(s->value(QStringLiteral("link/productId")))};
}

void QtDeviceMemory::remember(const DeviceIdentity &device) {
    const auto s = programSettings(iniFile_);
    s->setValue(QStringLiteral("link/device"), QString::fromStdString(device.path));
    s->setValue(QStringLiteral("link/serialNumber"), QString::fromStdString(device.serialNumber));
    const auto put = [&s](const char *key, std::optional<std::uint16_t> v) {
        if (v)
            s->setValue(QLatin1String(key), *v);
        else
            s->remove(QLatin1String(key));
    };
    put("link/vendorId", device.vendorId);
    put("link/productId", device.productId);
}

} // namespace qv::platform::qt
