#pragma once
#include "trend/Statistics.h"

#include <QWidget>

#include <array>
#include <string>

class QLabel;

namespace qv::trend::qt {

/// The statistics under the chart: a row for the shown range and one for the whole run;
/// columns count, minimum, maximum, average, standard deviation and last, in the unit named in
/// the corner. Readings show the digits the meter showed, with the time they were taken; the
/// average and the deviation one digit more.
class TrendStatisticsTable final : public QWidget {
    Q_OBJECT
  public:
    explicit TrendStatisticsTable(QWidget *parent = nullptr);

    void fill(const std::array<Statistics, 2> &rows, const std::string &unit);
    [[nodiscard]] QLabel *label(int row, int column) const;

  private:
    QLabel *unit_ = nullptr;
    std::array<std::array<QLabel *, 6>, 2> cells_{};
};

} // namespace qv::trend::qt
