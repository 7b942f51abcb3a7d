#include "files/TextCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace qv::files {
namespace {

QByteArray view(std::string_view bytes) {
    return QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string toStd(const QByteArray &bytes) {
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace

std::string TextCodec::toSystem(std::string_view utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    QStringEncoder encoder(QStringEncoder::System);
    if (!encoder.isValid())
        return std::string(utf8);
    const QByteArray bytes = encoder.encode(text);
    return toStd(bytes);
}

std::string TextCodec::fromFile(std::string_view bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString asUtf8 = utf8.decode(view(bytes));
    if (!utf8.hasError())
        return std::string(bytes);
    QStringDecoder gb("GB18030");
    if (!gb.isValid())
        return toStd(asUtf8.toUtf8()); // undecodable bytes become U+FFFD
    const QString text = gb.decode(view(bytes));
    return toStd(text.toUtf8());
}

} // namespace qv::files
