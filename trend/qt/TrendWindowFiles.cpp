// The trend window's file commands: the record log or a record file opened into it, and the
// exports of the picture and the points.
#include "trend/qt/TrendWindow.h"

#include "output/RecordCsv.h"

#include "files/DmmRecordFile.h"
#include "files/FileStore.h"
#include "files/TextCodec.h"
#include "trend/LogImport.h"
#include "trend/TrendText.h"
#include "trend/qt/TrendChartView.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>

#include <limits>
#include <sys/stat.h>

namespace qv::trend::qt {
namespace {

LogEnd endAt(const QDateTime &when) {
    const QDateTime midnight(when.date(), QTime(0, 0));
    return {static_cast<double>(when.toMSecsSinceEpoch()) / 1000.0,
            static_cast<double>(midnight.toMSecsSinceEpoch()) / 1000.0};
}

/// When a file was last changed (by its bytes: Qt's names cannot spell every name).
QDateTime modifiedAt(const std::string &path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(st.st_mtim.tv_sec) * 1000 +
                                          st.st_mtim.tv_nsec / 1000000);
}

/// When a record file was saved, from its date and time lines in the system's formats; the
/// file's modification time when they cannot be read.
QDateTime savedAt(const RecordText &record, const QDateTime &modified) {
    const QLocale locale = QLocale::system();
    const QDate date =
        locale.toDate(QString::fromStdString(record.savedDate), QLocale::ShortFormat);
    const auto seconds = secondsOfDay(record.savedTime);
    if (date.isValid() && seconds)
        return QDateTime(date, QTime(0, 0).addSecs(static_cast<int>(*seconds)));
    return modified;
}

/// A file name as Qt takes it, from the system's bytes.
QString qtName(const std::string &path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

/// Record files, Record CSV exports, or any file holding log lines.
constexpr const char *kOpenFilter =
    "DMM文档文件(*.txt)|*.txt|Record CSV(*.csv)|*.csv|所有文件(*.*)|*.*";

} // namespace

void TrendWindow::openRecordLog() {
    auto model = std::make_unique<TrendModel>();
    const std::string log = services_.recordLog ? services_.recordLog() : std::string();
    const double now = services_.clock.now();
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(now * 1000));
    const std::size_t n = importLog(log, endAt(when), *model);
    showOpened(std::move(model), n, QStringLiteral("Record log"));
}

void TrendWindow::openRecordFile() {
    const auto path = services_.files.openFile(kOpenFilter);
    if (!path)
        return;
    const QString name = QFileInfo(qtName(*path)).fileName();
    const auto bytes = files::FileStore::readLines(*path, std::numeric_limits<int>::max());
    if (!bytes) {
        tell(QStringLiteral("%1 cannot be read.").arg(name));
        return;
    }
    const std::string text = files::TextCodec::fromFile(*bytes);
    auto model = std::make_unique<TrendModel>();
    std::size_t n = 0;
    const QDateTime modified = modifiedAt(*path);
    if (const auto record = splitRecordFile(text))
        n = importLog(record->log, endAt(savedAt(*record, modified)), *model);
    else if (const auto csvLog = output::logOfRecordCsv(text))
        n = importLog(*csvLog, endAt(modified), *model);
    else // a log saved on its own
        n = importLog(text, endAt(modified), *model);
    showOpened(std::move(model), n, name);
}

std::optional<std::string> TrendWindow::askSaveName(const std::string &filter,
                                                    const QString &suffix) {
    auto path = services_.files.saveFile(filter);
    if (!path)
        return std::nullopt;
    if (QFileInfo(qtName(*path)).suffix().isEmpty())
        *path += '.' + suffix.toStdString();
    if (files::FileStore::exists(*path)) {
        platform::Message m;
        m.text = *path;
        m.text += " already exists. Replace it?";
        m.title = "Trend";
        m.buttons = platform::Buttons::OkCancel;
        m.warning = true;
        m.defaultButton = platform::Answer::Cancel;
        if (services_.messages.show(m) != platform::Answer::Ok)
            return std::nullopt;
    }
    return path;
}

void TrendWindow::save(const std::string &path, const QByteArray &bytes) {
    const auto result = files::FileStore::write(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!result.ok)
        tell(QStringLiteral("%1 could not be saved: %2")
                 .arg(qtName(path), QString::fromStdString(result.reason)));
}

void TrendWindow::exportPicture(bool svg) {
    const auto path = svg ? askSaveName("SVG picture (*.svg)|*.svg", QStringLiteral("svg"))
                          : askSaveName("PNG picture (*.png)|*.png", QStringLiteral("png"));
    if (!path)
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(chartView_->size());
        generator.setViewBox(QRect(QPoint(0, 0), chartView_->size()));
        generator.setTitle(QStringLiteral("Trend"));
        QPainter painter(&generator);
        chartView_->render(&painter);
    } else {
        chartView_->grab().save(&buffer, "PNG");
    }
    save(*path, bytes);
}

void TrendWindow::exportPoints() {
    const auto path = askSaveName("CSV points (*.csv)|*.csv", QStringLiteral("csv"));
    if (!path)
        return;
    const std::string unit = shownUnit();
    std::vector<Point> points;
    for (const Series &s : shown_->series())
        if (s.unit == unit)
            for (const Point &p : pointsIn(s.points, shownTime_))
                points.push_back(p);
    const std::string csv = pointsCsv(points, unit, [](double t) {
        return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(t * 1000)))
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
            .toStdString();
    });
    save(*path, QByteArray::fromStdString(files::TextCodec::toSystem(csv)));
}

} // namespace qv::trend::qt
