#include "app/qt/DeviceDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qv::app::qt {

namespace {

QString qs(const std::string &s) {
    return QString::fromStdString(s);
}

QString hexId(const std::optional<std::uint16_t> &id) {
    return id ? QStringLiteral("%1").arg(*id, 4, 16, QLatin1Char('0')) : QString();
}

} // namespace

DeviceDialog::DeviceDialog(QWidget *parent) : QDialog(parent) {
    setWindowTitle(tr("其他端口"));
    table_ = new QTableWidget(0, 6, this);
    table_->setHorizontalHeaderLabels(
        {tr("设备"), tr("描述"), tr("制造商"), tr("序列号"), tr("厂商 ID"), tr("产品 ID")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();

    path_ = new QLineEdit(this);
    path_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0, /dev/serial/by-id/..., COM12"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *refresh = buttons->addButton(tr("刷新(&R)"), QDialogButtonBox::ActionRole);
    connect(refresh, &QPushButton::clicked, this, [this] {
        if (devices_)
            load(*devices_);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (const QTableWidgetItem *item = table_->item(row, 0))
            path_->setText(item->data(Qt::UserRole).toString());
    });
    connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(new QLabel(tr("设备路径:"), this));
    layout->addWidget(path_);
    layout->addWidget(buttons);
    resize(720, 320);
}

void DeviceDialog::load(const platform::SerialDevices &devices) {
    devices_ = &devices;
    const std::vector<platform::SerialDeviceInfo> list = devices.list();
    table_->setRowCount(static_cast<int>(list.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const platform::SerialDeviceInfo &d = list[static_cast<std::size_t>(row)];
        const QString cells[] = {qs(d.name),         qs(d.description), qs(d.manufacturer),
                                 qs(d.serialNumber), hexId(d.vendorId), hexId(d.productId)};
        for (int col = 0; col < 6; ++col) {
            auto *item = new QTableWidgetItem(cells[col]);
            item->setData(Qt::UserRole, qs(d.location));
            table_->setItem(row, col, item);
        }
    }
    table_->resizeColumnsToContents();
}

std::string DeviceDialog::chosen() const {
    return path_->text().trimmed().toStdString();
}

std::optional<std::string> DeviceDialog::chooseDevice(const platform::SerialDevices &devices) {
    load(devices);
    if (exec() != QDialog::Accepted || chosen().empty())
        return std::nullopt;
    return chosen();
}

} // namespace qv::app::qt
