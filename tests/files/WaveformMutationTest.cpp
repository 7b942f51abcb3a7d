#include "files/TextCodec.h"
#include "files/WaveformFormat.h"

#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace qv::files {
namespace {

using Status = WaveformFormat::Status;
using Rng = std::mt19937;

size_t pick(Rng &rng, size_t n) {
    return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng);
}

std::vector<std::string> lines(const std::string &text) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find('\n', pos);
        const size_t stop = end == std::string::npos ? text.size() : end + 1;
        out.push_back(text.substr(pos, stop - pos));
        pos = stop;
    }
    return out;
}

std::string join(const std::vector<std::string> &parts) {
    std::string out;
    for (const auto &p : parts)
        out += p;
    return out;
}

std::string randomBytes(Rng &rng, size_t n) {
    std::string out(n, '\0');
    for (size_t i = 0; i < n; i += 4) {
        const auto word = rng();
        for (size_t k = 0; k < 4 && i + k < n; ++k)
            out[i + k] = static_cast<char>(word >> (8 * k));
    }
    return out;
}

// Each mutation changes a valid file in one way.
const std::vector<std::function<void(Rng &, std::string &)>> kMutations = {
    [](Rng &rng, std::string &s) { // flip bytes
        for (size_t n = 1 + pick(rng, 8); n > 0 && !s.empty(); --n)
            s[pick(rng, s.size())] ^= static_cast<char>(1 + pick(rng, 255));
    },
    [](Rng &rng, std::string &s) { s.resize(pick(rng, s.size() + 1)); }, // cut anywhere
    [](Rng &rng, std::string &s) {                                       // duplicate a line
        auto l = lines(s);
        if (l.empty())
            return;
        const size_t i = pick(rng, l.size());
        l.insert(l.begin() + static_cast<long>(i), l[i]);
        s = join(l);
    },
    [](Rng &rng, std::string &s) { // swap two lines
        auto l = lines(s);
        if (l.empty())
            return;
        std::swap(l[pick(rng, l.size())], l[pick(rng, l.size())]);
        s = join(l);
    },
    [](Rng &rng, std::string &s) { // drop a line
        auto l = lines(s);
        if (l.empty())
            return;
        l.erase(l.begin() + static_cast<long>(pick(rng, l.size())));
        s = join(l);
    },
    [](Rng &rng, std::string &s) { // a line of random bytes
        auto l = lines(s);
        if (l.empty())
            return;
        l[pick(rng, l.size())] = randomBytes(rng, pick(rng, 64)) + "\r\n";
        s = join(l);
    },
    [](Rng &rng, std::string &s) { // a huge number or a long run of digits
        auto l = lines(s);
        if (l.empty())
            return;
        const std::string huge = pick(rng, 2) ? std::string(1 + pick(rng, 2000), '9')
                                              : "1e" + std::to_string(pick(rng, 100000));
        l[pick(rng, l.size())] = (pick(rng, 2) ? "-" : " ") + huge + "\r\n";
        s = join(l);
    },
    [](Rng &rng, std::string &s) { // huge content: a very long line somewhere
        if (pick(rng, 50) != 0)
            return;
        auto l = lines(s);
        if (l.empty())
            return;
        l[pick(rng, l.size())] = randomBytes(rng, 20000 + pick(rng, 80000));
        s = join(l);
    },
    [](Rng &rng, std::string &s) { s = randomBytes(rng, pick(rng, 4096)); }, // binary only
};

TEST(WaveformMutation, EveryMutatedFileIsAcceptedOrRefused) {
    const std::string valid = WaveformFormat::compose(test::sampleRecord());
    Rng rng(20261207);
    int accepted = 0, wrongFormat = 0, readError = 0;
    for (int round = 0; round < 100000; ++round) {
        std::string bytes = valid;
        for (size_t n = 1 + pick(rng, 3); n > 0; --n)
            kMutations[pick(rng, kMutations.size())](rng, bytes);
        const auto parsed = WaveformFormat::parse(bytes);
        switch (parsed.status) {
        case Status::Ok: {
            ++accepted;
            const auto &r = parsed.record;
            ASSERT_GE(r.modelCode, 0) << round;
            ASSERT_LE(r.modelCode, 8) << round;
            for (double v : r.params)
                ASSERT_TRUE(std::isfinite(v)) << round;
            for (double v : r.samples)
                ASSERT_TRUE(std::isfinite(v)) << round;
            if (round % 64 == 0) {
                const std::string text = r.title + r.date + r.time;
                ASSERT_LE(TextCodec::fromFile(text).size(), 3 * text.size()) << round;
            }
            break;
        }
        case Status::WrongFormat:
            ++wrongFormat;
            break;
        case Status::ReadError:
            ++readError;
            break;
        default:
            FAIL() << "unknown status in round " << round;
        }
    }
    // The mix exercises all three outcomes.
    EXPECT_GT(accepted, 1000);
    EXPECT_GT(wrongFormat, 1000);
    EXPECT_GT(readError, 1000);
}

} // namespace
} // namespace qv::files
