#include "trend/qt/TrendStatisticsTable.h"

#include "lang/Retranslate.h"
#include "trend/TrendText.h"

#include <QDateTime>
#include <QGridLayout>
#include <QLabel>

#include <cmath>

namespace qv::trend::qt {

TrendStatisticsTable::TrendStatisticsTable(QWidget *parent) : QWidget(parent) {
    const char *const columns[] = {QT_TR_NOOP("个数"),   QT_TR_NOOP("最小值"),
                                   QT_TR_NOOP("最大值"), QT_TR_NOOP("平均值"),
                                   QT_TR_NOOP("标准差"), QT_TR_NOOP("最新值")};
    const char *const rows[] = {QT_TR_NOOP("显示范围"), QT_TR_NOOP("全部")};
    auto *texts = new lang::Retranslate(this);
    const auto heading = [this, texts](const char *text) {
        auto *label = new QLabel(this);
        texts->keep([label, text] { label->setText(tr(text)); });
        return label;
    };
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    unit_ = new QLabel(this); // the unit of every number below, in the corner
    grid->addWidget(unit_, 0, 0);
    for (int c = 0; c < 6; ++c)
        grid->addWidget(heading(columns[c]), 0, c + 1);
    for (int r = 0; r < 2; ++r) {
        grid->addWidget(heading(rows[r]), r + 1, 0);
        for (int c = 0; c < 6; ++c) {
            auto *label = new QLabel(this);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            label->setObjectName(QStringLiteral("stat_%1_%2").arg(r).arg(c));
            grid->addWidget(label, r + 1, c + 1);
            cells_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = label;
        }
    }
}

QLabel *TrendStatisticsTable::label(int row, int column) const {
    if (row < 0 || row > 1 || column < 0 || column > 5)
        return nullptr;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void TrendStatisticsTable::fill(const std::array<Statistics, 2> &rows, const std::string &unit) {
    unit_->setText(QString::fromStdString(unit));
    const auto value = [](double v, int decimals) {
        return QString::fromStdString(valueText(v, decimals));
    };
    const auto at = [](double t) {
        return QStringLiteral("\n") + QDateTime::fromMSecsSinceEpoch(std::llround(t * 1000))
                                          .toString(QStringLiteral("HH:mm:ss"));
    };
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Statistics &s = rows[r];
        std::array<QString, 6> texts{QString::number(s.count)};
        if (s.count > 0) {
            const int finer = s.decimals < 0 ? -1 : s.decimals + 1;
            texts[1] = value(s.min, s.minDecimals) + at(s.minTime);
            texts[2] = value(s.max, s.maxDecimals) + at(s.maxTime);
            texts[3] = value(s.mean, finer);
            texts[4] = value(s.stddev, finer);
            texts[5] = value(s.last, s.lastDecimals) + at(s.lastTime);
        }
        for (std::size_t c = 0; c < texts.size(); ++c)
            cells_[r][c]->setText(texts[c]);
    }
}

} // namespace qv::trend::qt
