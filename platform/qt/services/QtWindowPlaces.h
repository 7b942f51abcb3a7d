#pragma once
#include "platform/WindowPlaces.h"

#include <QString>

namespace qv::platform::qt {

/// Window places in QSettings ("windows/<name>"): the platform's usual place for "qvlink", or an
/// INI file of its own (tests).
class QtWindowPlaces final : public WindowPlaces {
  public:
    QtWindowPlaces() = default;
    explicit QtWindowPlaces(QString iniFile) : iniFile_(std::move(iniFile)) {}

    std::optional<WindowPlace> recall(const std::string &window) const override;
    void remember(const std::string &window, const WindowPlace &place) override;

  private:
    QString iniFile_;
};

} // namespace qv::platform::qt
