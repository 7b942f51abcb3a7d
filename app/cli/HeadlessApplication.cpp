#include "app/cli/HeadlessApplication.h"

#include <QGuiApplication>

namespace qv::app::cli {

HeadlessApplication::HeadlessApplication(const char *program, bool pictures)
    : argv_{const_cast<char *>(program), nullptr} {
    if (pictures)
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    else
        app_ = std::make_unique<QCoreApplication>(argc_, argv_);
}

HeadlessApplication::~HeadlessApplication() = default;

} // namespace qv::app::cli
