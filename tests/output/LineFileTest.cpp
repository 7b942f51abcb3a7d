#include "output/LineFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

using qv::output::LineFile;

class LineFileTest : public ::testing::Test {
  protected:
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("qvlink-linefile-" + std::to_string(::getpid()) + ".csv");
    void TearDown() override { std::filesystem::remove(path); }
    void put(const std::string &bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string contents() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

// What opening finds, what it keeps, and where the next line goes.
TEST_F(LineFileTest, ContinuesAfterTheLastWholeLine) {
    struct Case {
        const char *what;
        const char *before;
        const char *after;
        bool continued;
    };
    const Case cases[] = {
        {"a new file gets the first line", nullptr, "h\r\nx\r\n", false},
        {"an empty file gets the first line", "", "h\r\nx\r\n", false},
        {"whole lines are kept", "h\r\na\r\n", "h\r\na\r\nx\r\n", true},
        {"a torn last line is cut", "h\r\na\r\nb,12", "h\r\na\r\nx\r\n", true},
        {"a line torn before its LF is cut", "h\r\na\r\nb\r", "h\r\na\r\nx\r\n", true},
        {"a file without any whole line starts again", "h,par", "h\r\nx\r\n", false},
    };
    for (const Case &c : cases) {
        std::filesystem::remove(path);
        if (c.before)
            put(c.before);
        std::string error;
        auto file = LineFile::open(path.string(), "h\r\n", error);
        ASSERT_TRUE(file) << c.what << ": " << error;
        EXPECT_EQ(file->continued(), c.continued) << c.what;
        ASSERT_TRUE(file->append("x\r\n", error)) << c.what;
        EXPECT_EQ(contents(), c.after) << c.what;
    }
}

TEST_F(LineFileTest, LongTornTailIsFoundAcrossChunks) {
    put("h\r\n" + std::string(200000, 'y'));
    std::string error;
    auto file = LineFile::open(path.string(), "h\r\n", error);
    ASSERT_TRUE(file);
    EXPECT_EQ(contents(), "h\r\n");
}

TEST_F(LineFileTest, UnwritablePlaceIsRefusedWithTheReason) {
    std::string error;
    EXPECT_FALSE(LineFile::open("/nonexistent-dir/x.csv", "h\r\n", error));
    EXPECT_NE(error.find("/nonexistent-dir/x.csv"), std::string::npos) << error;
}

} // namespace
