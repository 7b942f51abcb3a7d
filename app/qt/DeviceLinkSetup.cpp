#include "app/qt/DeviceLinkSetup.h"

#include <cstdio>

namespace qv::app::qt {

DeviceLinkSetup::DeviceLinkSetup(Program &program, const link::qt::LinkOptions &options,
                                 link::qt::LinkPort &port, QWidget *dialogParent)
    : program_(program), recording_(port.recording), dialog_(dialogParent) {
    link::SerialLink &link = program.serialLink();
    // The port's own list where it has one: a search and the link's look-ups read it once.
    link.useDevices({port.devices ? port.devices : &devices_, &memory_, &dialog_, &retry_});
    link.setStartDevice(options.device);
    if (!port.recording)
        return;
    common::TextControl &note = program.form().el.linkNote;
    port.recording->setRecordingFailed([&note](const std::string &why) {
        std::fprintf(stderr, "qvlink: the raw recording stopped: %s\n", why.c_str());
        note.setText("the raw recording stopped: " + why);
    });
}

DeviceLinkSetup::~DeviceLinkSetup() {
    program_.serialLink().useDevices({});
    if (recording_)
        recording_->setRecordingFailed(nullptr);
}

} // namespace qv::app::qt
