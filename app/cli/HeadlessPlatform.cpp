#include "app/cli/HeadlessPlatform.h"

namespace qv::app::cli {

HeadlessPlatform::HeadlessPlatform()
    : platform_{port_, messages_, dialogs_, printer_, clipboard_, clock_} {}

std::vector<std::string> HeadlessPlatform::takeMessages() {
    std::vector<std::string> out;
    out.swap(messages_.texts);
    return out;
}

} // namespace qv::app::cli
