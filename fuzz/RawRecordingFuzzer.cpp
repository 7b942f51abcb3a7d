// The raw recording: any bytes as a recording file. A refused one says why; an accepted one
// holds no more record bytes than the file and replays through the stand-in port (which opens
// only when there is a whole record), raising no more receive events than its bytes fill.
#include "FuzzCheck.h"
#include "link/ReplayPort.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace qv;
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    std::string error;
    const auto recording = link::readRawRecording(in, error);
    if (!recording) {
        FUZZ_CHECK(!error.empty(), "a refused recording without a reason");
        return 0;
    }
    std::size_t total = 0;
    for (const link::RawRecord &r : recording->records) {
        FUZZ_CHECK(r.bytes.size() <= 0xFFFF, "a record longer than its length field");
        total += r.bytes.size() + 6;
    }
    FUZZ_CHECK(total <= size, "more record bytes than the file holds");

    link::ReplayPort port(1, *recording);
    std::size_t events = 0;
    port.setEventHandler([&](int) { ++events, (void)port.read(); });
    // A recording without a whole record has nothing to replay: no meter stands on its port.
    const bool opened = port.selectPort(1) && port.open();
    FUZZ_CHECK(opened == !recording->records.empty(), "the replay's port opens wrongly");
    if (!opened)
        return 0;
    FUZZ_CHECK(port.setRts(true) && port.setDtr(true), "the replay's lines do not rise");
    while (!port.finished())
        port.playNext(1024);
    constexpr std::size_t kEvent = platform::SerialPort::kThreshold; // bytes a receive event takes
    FUZZ_CHECK(events * kEvent <= total + kEvent, "more receive events than bytes");
    return 0;
}
