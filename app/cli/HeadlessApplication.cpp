#include "app/cli/HeadlessApplication.h"

#include "app/cli/Cli.h"
#include "lang/Language.h"

namespace qv::app::cli {

HeadlessApplication::HeadlessApplication(const char *program, bool pictures)
    : argv_{const_cast<char *>(program), nullptr} {
    if (!pictures) {
        app_ = std::make_unique<QCoreApplication>(argc_, argv_);
        translators_.apply(lang::runLanguage());
        return;
    }
    std::string error;
    kit_ = loadPictureKit(error);
    if (!kit_) {
        complain("cannot draw pictures: " + error);
        return;
    }
    app_ = kit_->application(argc_, argv_);
    translators_.apply(lang::runLanguage());
}

HeadlessApplication::~HeadlessApplication() = default;

} // namespace qv::app::cli
