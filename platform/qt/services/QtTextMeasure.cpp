#include "platform/qt/services/QtTextMeasure.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <cmath>

namespace qv::platform::qt {
namespace {

// Measured at one pixel per twip, so pixel extents are twips.
QFont fontAtTwipScale(std::string_view name, double sizePt) {
    QFont font(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(sizePt * 20.0))));
    return font;
}

} // namespace

double QtTextMeasure::width(std::string_view text, std::string_view font, double sizePt) const {
    const QFontMetricsF metrics(fontAtTwipScale(font, sizePt));
    return metrics.horizontalAdvance(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

double QtTextMeasure::lineHeight(std::string_view font, double sizePt) const {
    return QFontMetricsF(fontAtTwipScale(font, sizePt)).lineSpacing();
}

} // namespace qv::platform::qt
