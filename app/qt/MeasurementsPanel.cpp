#include "app/qt/MeasurementsPanel.h"

#include "app/Program.h"
#include "dso/MeasurementText.h"
#include "lang/Retranslate.h"
#include "output/MeasurementRows.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qv::app::qt {
namespace {

QString qs(const char *s) {
    return QString::fromUtf8(s);
}

/// A core text in the window's language: the core's table holds the Chinese source text.
QString coreText(const char *chinese) {
    return QCoreApplication::translate("qv::dso::MeasurementText", chinese);
}

} // namespace

MeasurementsPanel::MeasurementsPanel(Program &program, QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Tool), program_(program), table_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("measurementsPanel"));
    table_->setObjectName(QStringLiteral("measurementsTable"));
    table_->setColumnCount(2);
    table_->setRowCount(static_cast<int>(dso::kQuantities));
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < table_->rowCount(); ++row) {
        table_->setItem(row, 0, new QTableWidgetItem);
        table_->setItem(row, 1, new QTableWidgetItem(QStringLiteral("—")));
    }
    // The texts in the language installed, now and after a change of language.
    (new lang::Retranslate(this))->keep([this] {
        setWindowTitle(tr("测量"));
        table_->setHorizontalHeaderLabels({tr("测量项"), tr("数值")});
        int row = 0;
        for (const dso::QuantityName &name : dso::quantityNames())
            table_->item(row++, 0)->setText(coreText(name.label));
        table_->resizeColumnToContents(0);
        refresh();
    });
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_);
    resize(260, table_->verticalHeader()->length() + table_->horizontalHeader()->height() + 4);
    if (mainWindow)
        mainWindow->installEventFilter(this);
}

bool MeasurementsPanel::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Move && watched == parentWidget()) {
        const QPoint now = parentWidget()->pos();
        if (placed_)
            move(pos() + now - mainAt_);
        mainAt_ = now;
    }
    return QWidget::eventFilter(watched, event);
}

void MeasurementsPanel::open() {
    if (!placed_ && parentWidget()) {
        const QRect main = parentWidget()->frameGeometry();
        move(main.right() + 4, main.top());
        mainAt_ = parentWidget()->pos();
        placed_ = true;
    }
    show();
    raise();
    refresh();
}

void MeasurementsPanel::refresh() {
    if (!isVisible())
        return;
    common::Form &form = program_.form();
    const bool wave = form.wave.WaveValid && form.el.DSOmode.checked();
    const dso::WaveMeasurementSet set = dso::measureWave(
        output::measurementInput(output::waveformCsvInput(form, program_.tables())));
    int row = 0;
    for (const dso::QuantityName &name : dso::quantityNames()) {
        QTableWidgetItem *item = table_->item(row++, 1);
        const dso::Measurement &m = set.at(static_cast<std::size_t>(name.quantity));
        if (!wave || !m.value) {
            item->setText(QStringLiteral("—"));
            item->setToolTip(wave ? coreText(dso::nameOf(m.why).text) : tr("没有波形"));
            continue;
        }
        item->setText(qs(dso::shownValue(*m.value, m.resolution, name.unit).text.c_str()));
        item->setToolTip({});
    }
}

} // namespace qv::app::qt
