#include "app/cli/HeadlessApplication.h"

#include "app/cli/Cli.h"
#include "app/cli/FontWarmUp.h"
#include "lang/Language.h"

#include <cstdio>
#include <cstdlib>

namespace qv::app::cli {

HeadlessApplication::HeadlessApplication(const char *program, bool pictures)
    : argv_{const_cast<char *>(program), nullptr} {
    if (!pictures) {
        app_ = std::make_unique<QCoreApplication>(argc_, argv_);
        translators_.apply(lang::runLanguage());
        return;
    }
    FontWarmUp fonts; // read by the first picture, just after
    std::string error;
    kit_ = loadPictureKit(error);
    if (!kit_) {
        complain("cannot draw pictures: " + error);
        return;
    }
    app_ = kit_->application(argc_, argv_);
    translators_.apply(lang::runLanguage());
}

void HeadlessApplication::leave(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

HeadlessApplication::~HeadlessApplication() = default;

} // namespace qv::app::cli
