#include "app/qt/DeviceDialog.h"
#include "platform/fakes/FakeLinkServices.h"

#include <QLineEdit>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace qv::app::qt {
namespace {

TEST(DeviceDialogTest, ListsTheSystemsDevicesAndARowFillsThePath) {
    platform::fakes::FakeSerialDevices devices;
    devices.devices = {{.name = "ttyUSB0",
                        .location = "/dev/ttyUSB0",
                        .description = "FT232R USB UART",
                        .manufacturer = "FTDI",
                        .serialNumber = "A50285BI",
                        .vendorId = 0x0403,
                        .productId = 0x6001},
                       {.name = "ttyS0", .location = "/dev/ttyS0"}};
    DeviceDialog dialog;
    dialog.load(devices);
    QTableWidget *table = dialog.table();
    ASSERT_EQ(table->rowCount(), 2);
    QStringList first;
    for (int col = 0; col < table->columnCount(); ++col)
        first << table->item(0, col)->text();
    EXPECT_EQ(first.join(QLatin1Char('|')).toStdString(),
              "ttyUSB0|FT232R USB UART|FTDI|A50285BI|0403|6001");
    EXPECT_EQ(table->item(1, 4)->text(), QString());
    table->setCurrentCell(1, 0);
    EXPECT_EQ(dialog.chosen(), "/dev/ttyS0");
    dialog.pathField()->setText(QStringLiteral("  /dev/pts/4 "));
    EXPECT_EQ(dialog.chosen(), "/dev/pts/4") << "a typed path, trimmed";

    devices.devices.pop_back(); // the adapter list changed: Refresh shows it
    dialog.load(devices);
    EXPECT_EQ(table->rowCount(), 1);
}

} // namespace
} // namespace qv::app::qt
