// The window tests' main: a QApplication, offscreen unless the environment names a platform;
// descriptor 0 free, as in the other test programs.
#include <QApplication>
#include <gtest/gtest.h>
#include <unistd.h>

int main(int argc, char **argv) {
    ::close(0);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
