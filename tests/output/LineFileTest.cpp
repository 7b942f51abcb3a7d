#include "output/LineFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
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

// A file-size limit in the middle of a line: the write fails with the reason and the file ends
// on the last whole line; later lines fail the same way.
TEST_F(LineFileTest, FileSizeLimitLeavesWholeLines) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    std::string error;
    auto file = LineFile::open(path.string(), "h\r\n", error);
    ASSERT_TRUE(file);
    rlimit limited = old;
    limited.rlim_cur = 10;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool first = file->append("abcd\r\n", error);
    const bool second = file->append("efgh\r\n", error);
    const std::string why = error;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &old), 0);
    EXPECT_TRUE(first);
    EXPECT_FALSE(second);
    EXPECT_NE(why.find("File too large"), std::string::npos) << why;
    EXPECT_EQ(contents(), "h\r\nabcd\r\n");
}

TEST_F(LineFileTest, UnwritablePlaceIsRefusedWithTheReason) {
    std::string error;
    EXPECT_FALSE(LineFile::open("/nonexistent-dir/x.csv", "h\r\n", error));
    EXPECT_NE(error.find("/nonexistent-dir/x.csv"), std::string::npos) << error;
}

} // namespace
