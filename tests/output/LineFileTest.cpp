#include "output/LineFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <unistd.h>

namespace {

using qv::output::LineFile;

// What opening finds, what it keeps, and where the next line goes.
TEST(LineFile, ContinuesAfterTheLastWholeLine) {
    struct Case {
        const char *what;
        std::optional<std::string> before;
        const char *after;
        bool continued;
    };
    const Case cases[] = {
        {"a new file gets the first line", std::nullopt, "h\r\nx\r\n", false},
        {"an empty file gets the first line", "", "h\r\nx\r\n", false},
        {"whole lines are kept", "h\r\na\r\n", "h\r\na\r\nx\r\n", true},
        {"a torn last line is cut", "h\r\na\r\nb,12", "h\r\na\r\nx\r\n", true},
        {"a line torn before its LF is cut", "h\r\na\r\nb\r", "h\r\na\r\nx\r\n", true},
        {"a long torn tail is found across chunks", "h\r\n" + std::string(200000, 'y'),
         "h\r\nx\r\n", true},
        {"a file without any whole line starts again", "h,par", "h\r\nx\r\n", false},
    };
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("qvlink-linefile-" + std::to_string(::getpid()) + ".csv"))
                                 .string();
    for (const Case &c : cases) {
        std::filesystem::remove(path);
        if (c.before)
            std::ofstream(path, std::ios::binary) << *c.before;
        std::string error;
        auto file = LineFile::open(path, "h\r\n", error);
        ASSERT_TRUE(file) << c.what << ": " << error;
        EXPECT_EQ(file->continued(), c.continued) << c.what;
        ASSERT_TRUE(file->append("x\r\n", error)) << c.what;
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.after) << c.what;
    }
    std::filesystem::remove(path);
    // A place that cannot be written is refused, naming it.
    std::string error;
    EXPECT_FALSE(LineFile::open("/nonexistent-dir/x.csv", "h\r\n", error));
    EXPECT_NE(error.find("/nonexistent-dir/x.csv"), std::string::npos) << error;
}

} // namespace
