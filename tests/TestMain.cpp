// The test programs' main. Each runs with descriptor 0 free, as a program started with its
// standard input closed does: the first file a test opens gets it, so no code may take 0 for none.
#include <gtest/gtest.h>
#include <unistd.h>

int main(int argc, char **argv) {
    ::close(0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
