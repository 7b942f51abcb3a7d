#pragma once
#include "common/TextMeasure.h"

namespace qv::platform::qt {

/// Text extents from the real font metrics, in twips.
class QtTextMeasure final : public common::TextMeasure {
  public:
    [[nodiscard]] double width(std::string_view text, std::string_view font,
                               double sizePt) const override;
    [[nodiscard]] double lineHeight(std::string_view font, double sizePt) const override;
};

} // namespace qv::platform::qt
