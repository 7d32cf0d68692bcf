// The PNG's compressor: whatever it is given, zlib's own inflate gives the same bytes back,
// and its codes stay within the format's limits.
#include <gtest/gtest.h>

#include <zlib.h>

#include <random>
#include <vector>

#include "run_deflate.h"

namespace {

std::vector<uint8_t> Inflated(const std::vector<uint8_t>& stream, size_t expected, int* pResult)
{
    std::vector<uint8_t> out(expected + 64);
    z_stream z = {};
    inflateInit2(&z, -15);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    *pResult = inflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    inflateEnd(&z);
    return out;
}

// Given in pieces of `piece` bytes (as the encoder hands over rows), and ended.
std::vector<uint8_t> Deflated(const std::vector<uint8_t>& data, size_t piece, bool bFinal = true)
{
    RunDeflater deflater;
    std::vector<uint8_t> out;
    for (size_t at = 0; at < data.size(); at += piece)
        deflater.Add(data.data() + at, std::min(piece, data.size() - at), &out);
    deflater.Finish(bFinal, &out);
    return out;
}

} // namespace

TEST(RunDeflate, InflateGivesBackWhatWasGiven)
{
    std::mt19937 random(7);
    std::vector<std::pair<const char*, std::vector<uint8_t>>> inputs;
    inputs.push_back({"nothing", {}});
    inputs.push_back({"one byte", {42}});
    inputs.push_back({"one value, a megabyte", std::vector<uint8_t>(1 << 20, 0)});
    std::vector<uint8_t> noise(300000);
    for (uint8_t& b : noise)
        b = static_cast<uint8_t>(random());
    inputs.push_back({"noise: literals only, many blocks", noise});
    // Runs of every length about the codes' edges, of one value and of the next.
    std::vector<uint8_t> runs;
    for (int len = 1; len < 530; ++len)
        runs.insert(runs.end(), static_cast<size_t>(len), static_cast<uint8_t>(len & 1 ? 200 : 17));
    inputs.push_back({"runs of every length", runs});
    // Symbols whose counts grow as Fibonacci's numbers: an unlimited code would be deeper
    // than the 15 bits the format allows.
    std::vector<uint8_t> skewed;
    uint32_t a = 1, b = 1;
    for (int s = 0; s < 26; ++s) {
        for (uint32_t i = 0; i < a; ++i)
            skewed.push_back(static_cast<uint8_t>(s * 2 + 1)), skewed.push_back(static_cast<uint8_t>(s * 2));
        std::tie(a, b) = std::make_pair(b, a + b);
    }
    std::shuffle(skewed.begin(), skewed.end(), random);
    inputs.push_back({"Fibonacci counts", skewed});

    for (const auto& [what, data] : inputs)
        for (size_t piece : {size_t{1} << 30, size_t{6145}}) {
            SCOPED_TRACE(testing::Message() << what << ", in pieces of " << piece);
            int result = 0;
            const std::vector<uint8_t> back = Inflated(Deflated(data, piece), data.size(), &result);
            EXPECT_EQ(result, Z_STREAM_END);
            EXPECT_TRUE(back == data);
        }
}

TEST(RunDeflate, UnfinishedStreamsJoinIntoOne)
{
    // As the PNG's bands: each but the last ends on a byte boundary, the next follows.
    std::vector<uint8_t> first(70000), second(50000, 9);
    for (size_t i = 0; i < first.size(); ++i)
        first[i] = static_cast<uint8_t>(i / 300);
    std::vector<uint8_t> joined = Deflated(first, 4096, false);
    const std::vector<uint8_t> last = Deflated(second, 4096, true);
    joined.insert(joined.end(), last.begin(), last.end());
    std::vector<uint8_t> whole = first;
    whole.insert(whole.end(), second.begin(), second.end());
    int result = 0;
    EXPECT_TRUE(Inflated(joined, whole.size(), &result) == whole);
    EXPECT_EQ(result, Z_STREAM_END);
    // Runs make it small: the second part is one value.
    EXPECT_LT(last.size(), 400u);
}

TEST(RunDeflate, CodesAreCompleteAndNoLongerThanAllowed)
{
    std::vector<uint32_t> fibonacci(40);
    fibonacci[0] = fibonacci[1] = 1;
    for (size_t i = 2; i < fibonacci.size(); ++i)
        fibonacci[i] = fibonacci[i - 1] + fibonacci[i - 2];
    for (unsigned limit : {7u, 15u}) {
        const std::vector<uint8_t> lengths = HuffmanLengths(fibonacci.data(), fibonacci.size(), limit);
        double kraft = 0;
        for (uint8_t len : lengths) {
            EXPECT_GE(len, 1);
            EXPECT_LE(len, limit);
            kraft += 1.0 / static_cast<double>(1u << len);
        }
        EXPECT_DOUBLE_EQ(kraft, 1.0) << "limit " << limit;
    }
}
