#include "platform/qt/serial/QtSerialPort.h"

#include <QDir>
#include <QFileInfo>

namespace qv::platform::qt {

namespace {

/// Where a device name points. QSerialPort takes a name without a leading "/" as one under
/// /dev; here a relative path means what it means everywhere else, a path from the working
/// folder: one with a "/" in it (dev/m8), or a bare name that exists there. Other bare names
/// (ttyUSB0) stay under /dev.
QString location(const std::string &device) {
    const QString name = QString::fromStdString(device);
#ifdef Q_OS_WIN
    return name;
#else
    if (name.startsWith(QLatin1Char('/')) ||
        (!name.contains(QLatin1Char('/')) && !QFileInfo::exists(name)))
        return name;
    return QDir::current().absoluteFilePath(name);
#endif
}

} // namespace

QtSerialPort::QtSerialPort() {
    QObject::connect(&serial_, &QSerialPort::readyRead, &serial_, [this] { onReadyRead(); });
    QObject::connect(&serial_, &QSerialPort::errorOccurred, &serial_,
                     [this](QSerialPort::SerialPortError e) { onError(e); });
}

QtSerialPort::~QtSerialPort() {
    // No handler may run while the port goes away.
    handler_ = nullptr;
    failure_ = nullptr;
    QObject::disconnect(&serial_, nullptr, &serial_, nullptr);
    if (serial_.isOpen())
        serial_.close();
}

std::string QtSerialPort::deviceFor(int number) const {
    if (number == kNamedDevice)
        return named_;
    if (number < 1 || number > PortTable::kPorts)
        return {};
#ifdef Q_OS_WIN
    if (table_.device(number).empty())
        return "COM" + std::to_string(number);
    return table_.device(number);
#else
    std::vector<std::string> devices;
    for (const SerialDeviceInfo &info : system_.list())
        devices.push_back(info.location);
    table_.update(devices);
    return table_.device(number);
#endif
}

bool QtSerialPort::selectDevice(const std::string &device) {
    if (serial_.isOpen())
        return false;
    port_ = kNamedDevice;
    named_ = device;
    return true;
}

std::string QtSerialPort::deviceName(int number) const {
    return deviceFor(number);
}

void QtSerialPort::useDevice(int number, const std::string &device) {
    table_.assign(number, device);
}

bool QtSerialPort::selectPort(int number) {
    if (serial_.isOpen() || number < 1 || number > PortTable::kPorts)
        return false;
    port_ = number;
    return true;
}

bool QtSerialPort::open() {
    if (serial_.isOpen())
        return false;
    const std::string device = deviceFor(port_);
    lastError_.clear();
    if (device.empty()) {
        lastError_ = "no such port";
        return false;
    }
    serial_.setPortName(location(device));
    serial_.setBaudRate(QSerialPort::Baud2400);
    serial_.setDataBits(QSerialPort::Data8);
    serial_.setParity(QSerialPort::NoParity);
    serial_.setStopBits(QSerialPort::OneStop);
    serial_.setFlowControl(QSerialPort::NoFlowControl);
    queue_.clear();
    if (!serial_.open(QIODevice::ReadOnly)) {
        lastError_ = serial_.errorString().toStdString();
        serial_.clearError();
        return false;
    }
    return true;
}

bool QtSerialPort::close() {
    if (!serial_.isOpen())
        return false;
    serial_.clearError();
    serial_.close();
    queue_.clear();
    const bool ok = serial_.error() == QSerialPort::NoError;
    serial_.clearError();
    return ok;
}

bool QtSerialPort::setRts(bool on) {
    const bool ok = serial_.isOpen() && serial_.setRequestToSend(on);
    serial_.clearError(); // a device without the line (a pseudo-terminal) stays usable
    return ok;
}

bool QtSerialPort::setDtr(bool on) {
    const bool ok = serial_.isOpen() && serial_.setDataTerminalReady(on);
    serial_.clearError();
    return ok;
}

std::optional<QSerialPort::PinoutSignals> QtSerialPort::pinout() {
    if (!serial_.isOpen())
        return std::nullopt;
    serial_.clearError();
    const QSerialPort::PinoutSignals s = serial_.pinoutSignals();
    if (serial_.error() != QSerialPort::NoError) {
        serial_.clearError();
        return std::nullopt;
    }
    return s;
}

std::optional<bool> QtSerialPort::dsr() {
    const auto s = pinout();
    if (!s)
        return std::nullopt;
    return s->testFlag(QSerialPort::DataSetReadySignal);
}

std::optional<bool> QtSerialPort::cts() {
    const auto s = pinout();
    if (!s)
        return std::nullopt;
    return s->testFlag(QSerialPort::ClearToSendSignal);
}

void QtSerialPort::setEventHandler(std::function<void(int)> handler) {
    handler_ = std::move(handler);
}

void QtSerialPort::setFailureHandler(std::function<void()> handler) {
    failure_ = std::move(handler);
}

void QtSerialPort::onReadyRead() {
    const QByteArray bytes = serial_.readAll();
    queue_.deliver(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                   static_cast<std::size_t>(bytes.size()), [this] {
                       if (handler_)
                           handler_(SerialPort::kReceiveEvent);
                   });
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    // The device is gone; Qt would report it again on every notification. Close at once so the
    // event loop goes quiet, and tell the program once.
    if (!serial_.isOpen())
        return;
    serial_.close();
    serial_.clearError();
    queue_.clear();
    if (failure_)
        failure_();
}

} // namespace qv::platform::qt
