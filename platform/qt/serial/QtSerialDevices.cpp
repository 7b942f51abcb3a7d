#include "platform/qt/serial/QtSerialDevices.h"

#include <QSerialPortInfo>
#include <QTimer>

namespace qv::platform::qt {

std::vector<SerialDeviceInfo> QtSerialDevices::list() const {
    if (read_)
        return *read_;
    std::vector<SerialDeviceInfo> out;
    for (const QSerialPortInfo &p : QSerialPortInfo::availablePorts()) {
        SerialDeviceInfo d{p.portName().toStdString(),
                           p.systemLocation().toStdString(),
                           p.description().toStdString(),
                           p.manufacturer().toStdString(),
                           p.serialNumber().toStdString(),
                           {},
                           {}};
        if (p.hasVendorIdentifier())
            d.vendorId = p.vendorIdentifier();
        if (p.hasProductIdentifier())
            d.productId = p.productIdentifier();
        out.push_back(std::move(d));
    }
    read_ = out;
    QTimer::singleShot(0, &turn_, [this] { read_.reset(); });
    return out;
}

} // namespace qv::platform::qt
