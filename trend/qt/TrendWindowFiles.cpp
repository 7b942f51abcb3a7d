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
#include "trend/qt/TrendStatisticsTable.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLayout>
#include <QLocale>
#include <QPainter>
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

} // namespace

void TrendWindow::openRecordLog() {
    auto model = std::make_unique<TrendModel>();
    const std::string log = services_.recordLog ? services_.recordLog() : std::string();
    const double now = services_.clock.now();
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(now * 1000));
    const std::size_t n = importLog(log, endAt(when), *model);
    const TrendModel *before = shown_;
    showOpened(std::move(model), n, tr("记录窗口"),
               services_.meterModel ? services_.meterModel() : std::string());
    recordLogShown_ = recordLogShown_ || shown_ != before;
}

void TrendWindow::openRecordFile() {
    // Record files, Record CSV exports, or any file holding log lines.
    const auto path = services_.files.openFile(
        tr("DMM文档文件(*.txt)|*.txt|记录 CSV(*.csv)|*.csv|所有文件(*.*)|*.*").toStdString());
    if (!path)
        return;
    const QString name = QFileInfo(qtName(*path)).fileName();
    const auto bytes = files::FileStore::readLines(*path, std::numeric_limits<int>::max());
    if (!bytes) {
        tell(tr("%1 无法读取。").arg(name));
        return;
    }
    const std::string text = files::TextCodec::fromFile(*bytes);
    auto model = std::make_unique<TrendModel>();
    std::size_t n = 0;
    std::string meter;
    const QDateTime modified = modifiedAt(*path);
    if (const auto record = splitRecordFile(text)) {
        n = importLog(record->log, endAt(savedAt(*record, modified)), *model);
        meter = record->model;
    } else if (const auto csvLog = output::logOfRecordCsv(text)) {
        n = importLog(*csvLog, endAt(modified), *model);
    } else { // a log saved on its own
        n = importLog(text, endAt(modified), *model);
    }
    showOpened(std::move(model), n, name, meter);
}

std::optional<std::string> TrendWindow::askSaveName(const QString &filter, const QString &suffix) {
    auto path = services_.files.saveFile(filter.toStdString());
    if (!path)
        return std::nullopt;
    if (QFileInfo(qtName(*path)).suffix().isEmpty())
        *path += '.' + suffix.toStdString();
    if (files::FileStore::exists(*path)) {
        platform::Message m;
        m.text = *path + tr(" 已经存在。要替换它吗?").toStdString();
        m.title = tr("趋势").toStdString();
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
        tell(tr("%1 保存失败: %2").arg(qtName(path), QString::fromStdString(result.reason)));
}

QString TrendWindow::pictureTitle() const {
    const std::string model =
        shown_ == &live_ ? (services_.meterModel ? services_.meterModel() : "") : openedModel_;
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(std::llround(shownTime_.lo * 1000));
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(std::llround(shownTime_.hi * 1000));
    const QString time = QStringLiteral("HH:mm:ss");
    const QString dated = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    QStringList parts;
    for (const std::string &part : {model, shownUnit()})
        if (!part.empty())
            parts << QString::fromStdString(part);
    parts << from.toString(dated) + QStringLiteral(" – ") +
                 to.toString(from.date() == to.date() ? time : dated);
    return parts.join(QStringLiteral("   "));
}

void TrendWindow::exportPicture(bool svg) {
    const auto path = svg ? askSaveName(tr("SVG图片(*.svg)|*.svg"), QStringLiteral("svg"))
                          : askSaveName(tr("PNG图片(*.png)|*.png"), QStringLiteral("png"));
    if (!path)
        return;
    // The title, the chart and the statistics of what is shown: a picture that stands alone.
    // The statistics laid out for their texts of now: the table's size, then the window's, then
    // the table's cells in the size it got.
    statistics_->layout()->activate();
    layout()->activate();
    statistics_->layout()->activate();
    QFont titleFont = font();
    titleFont.setBold(true);
    const int titleHeight = QFontMetrics(titleFont).height() * 2;
    const QSize chart = chartView_->size(), table = statistics_->size();
    const QSize size(std::max(chart.width(), table.width() + 16),
                     titleHeight + chart.height() + table.height() + 8);
    const auto draw = [&](QPainter &painter) {
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        painter.setFont(titleFont);
        painter.drawText(QRect(8, 0, size.width() - 16, titleHeight), Qt::AlignVCenter,
                         pictureTitle());
        chartView_->render(&painter, QRectF(0, titleHeight, chart.width(), chart.height()));
        statistics_->render(&painter, QPoint(8, titleHeight + chart.height()), QRegion(),
                            QWidget::DrawChildren);
    };
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(pictureTitle());
        QPainter painter(&generator);
        draw(painter);
    } else {
        QImage image(size, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            draw(painter);
        }
        image.save(&buffer, "PNG");
    }
    save(*path, bytes);
}

void TrendWindow::exportPoints() {
    const auto path = askSaveName(tr("CSV数据点(*.csv)|*.csv"), QStringLiteral("csv"));
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
