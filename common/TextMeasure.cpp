#include "common/TextMeasure.h"

namespace qv::common {

double EstimatedTextMeasure::width(std::string_view text, std::string_view, double sizePt) const {
    size_t chars = 0;
    for (unsigned char c : text)
        chars += (c & 0xC0) != 0x80; // count UTF-8 code points, not bytes
    return static_cast<double>(chars) * sizePt * 20.0 * 0.55;
}

double EstimatedTextMeasure::lineHeight(std::string_view, double sizePt) const {
    return sizePt * 20.0 * 1.2;
}

} // namespace qv::common
