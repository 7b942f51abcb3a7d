#include "platform/qt/serial/PortTable.h"

#include <gtest/gtest.h>

namespace qv::platform::qt {
namespace {

using Names = std::vector<std::string>;

TEST(PortTableTest, UsbAdaptersFirstThenOnBoardPortsInNumberOrder) {
    const std::vector<std::pair<Names, Names>> cases{
        {{"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB2"},
         {"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS1"}},
        {{"/dev/tty.usbserial-A1", "/dev/cu.Bluetooth", "/dev/cu.usbmodem14",
          "/dev/cu.usbserial-A1"},
         {"/dev/cu.usbserial-A1", "/dev/cu.usbmodem14", "/dev/cu.Bluetooth"}},
        {{"/dev/ttyS10", "/dev/ttyS9", "/dev/ttyAMA0", "/dev/ttyS9"},
         {"/dev/ttyS9", "/dev/ttyS10", "/dev/ttyAMA0"}},
        {{"ttyS99999999999999999999", "ttyS1"}, {"ttyS1", "ttyS99999999999999999999"}},
        {{}, {}},
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(PortTable::order(input), expected);
}

TEST(PortTableTest, NumbersStayWithTheirDevicesForTheRun) {
    PortTable table;
    table.update({"/dev/ttyS0", "/dev/ttyUSB0"});
    EXPECT_EQ(table.device(1), "/dev/ttyUSB0");
    EXPECT_EQ(table.device(2), "/dev/ttyS0");
    // An adapter is pulled out and another plugged in: port 1 keeps its adapter.
    table.update({"/dev/ttyS0", "/dev/ttyUSB1"});
    EXPECT_EQ(table.device(1), "/dev/ttyUSB0");
    EXPECT_EQ(table.device(3), "/dev/ttyUSB1");
    for (int n : {0, 9, -4})
        EXPECT_EQ(table.device(n), "");
}

TEST(PortTableTest, OnlyEightNumbers) {
    PortTable table;
    Names many;
    for (int k = 0; k < 12; ++k)
        many.push_back("/dev/ttyS" + std::to_string(k));
    table.update(many);
    EXPECT_EQ(table.device(8), "/dev/ttyS7");
    table.assign(9, "/dev/x"); // ignored
    table.assign(8, "/dev/pts/3");
    EXPECT_EQ(table.device(8), "/dev/pts/3");
}

} // namespace
} // namespace qv::platform::qt
