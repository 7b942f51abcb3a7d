#pragma once
#include <string_view>

namespace qv::common {

/// Text extents in twips for a font, so a drawing target can move its current position the way a
/// print does. The window supplies real font metrics; without them an estimate is used.
class TextMeasure {
  public:
    virtual ~TextMeasure() = default;
    [[nodiscard]] virtual double width(std::string_view text, std::string_view font,
                                       double sizePt) const = 0;
    [[nodiscard]] virtual double lineHeight(std::string_view font, double sizePt) const = 0;
};

/// Fixed-ratio estimate (0.55 em per character, 1.2 em per line); deterministic for tests.
class EstimatedTextMeasure final : public TextMeasure {
  public:
    [[nodiscard]] double width(std::string_view text, std::string_view font,
                               double sizePt) const override;
    [[nodiscard]] double lineHeight(std::string_view font, double sizePt) const override;
};

} // namespace qv::common
