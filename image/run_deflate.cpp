#include "run_deflate.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Tokens per block: as many as zlib's default, so that codes follow the picture's parts.
constexpr size_t kBlockTokens = 16384;
constexpr size_t kMaxRun = 258;

// Run lengths 3..258 as the format codes them: symbol 257..285 and extra bits.
struct LengthCodes {
    uint16_t symbol[kMaxRun + 1];
    uint8_t extraBits[kMaxRun + 1];
    uint16_t extraValue[kMaxRun + 1];
    LengthCodes()
    {
        static const uint16_t kBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const uint8_t kExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        for (int code = 0; code < 29; ++code) {
            const int end = code == 28 ? 259 : (code == 27 ? 258 : kBase[code + 1]);
            for (int len = kBase[code]; len < end; ++len) {
                symbol[len] = static_cast<uint16_t>(257 + code);
                extraBits[len] = kExtra[code];
                extraValue[len] = static_cast<uint16_t>(len - kBase[code]);
            }
        }
    }
};
const LengthCodes& Lengths()
{
    static const LengthCodes codes;
    return codes;
}

// Canonical codes for the lengths, bit-reversed: deflate sends codes from their top bit
// into a stream read from the bottom bit of each byte.
std::vector<uint16_t> CodesOf(const std::vector<uint8_t>& lengths)
{
    unsigned count[16] = {}, next[16] = {};
    for (uint8_t len : lengths)
        ++count[len];
    count[0] = 0;
    unsigned code = 0;
    for (int len = 1; len < 16; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    std::vector<uint16_t> codes(lengths.size());
    for (size_t s = 0; s < lengths.size(); ++s) {
        const unsigned len = lengths[s];
        if (!len)
            continue;
        unsigned c = next[len]++, reversed = 0;
        for (unsigned b = 0; b < len; ++b, c >>= 1)
            reversed = (reversed << 1) | (c & 1);
        codes[s] = static_cast<uint16_t>(reversed);
    }
    return codes;
}

// Bits into a buffer with room enough, low bit first.
struct BitWriter {
    uint8_t* p;
    uint64_t buffer;
    unsigned count;
    void Put(uint32_t bits, unsigned n)
    {
        buffer |= static_cast<uint64_t>(bits) << count;
        count += n;
        if (count >= 32) {
            const uint32_t low = static_cast<uint32_t>(buffer);
            std::memcpy(p, &low, 4);  // little-endian, as every target here is
            p += 4;
            buffer >>= 32;
            count -= 32;
        }
    }
};

} // namespace

std::vector<uint8_t> HuffmanLengths(const uint32_t* frequency, size_t count, unsigned maxLength)
{
    std::vector<uint8_t> lengths(count, 0);
    std::vector<std::pair<uint32_t, int>> used;
    for (size_t s = 0; s < count; ++s)
        if (frequency[s])
            used.push_back({frequency[s], static_cast<int>(s)});
    if (used.size() < 2) {
        // One symbol (or none) still needs a complete code: two of length 1.
        const int first = used.empty() ? 0 : used[0].second;
        lengths[first] = 1;
        lengths[first == 0 ? 1 : 0] = 1;
        return lengths;
    }
    std::sort(used.begin(), used.end());
    const size_t m = used.size();
    std::vector<uint64_t> weight(2 * m - 1);
    std::vector<size_t> parent(2 * m - 1);
    std::vector<uint8_t> depth(2 * m - 1);
    for (;;) {
        for (size_t i = 0; i < m; ++i)
            weight[i] = used[i].first;
        // Two queues: the sorted leaves, and the joined nodes, made in order of weight.
        size_t leaf = 0, joined = m;
        for (size_t next = m; next < 2 * m - 1; ++next) {
            size_t pick[2];
            for (size_t& p : pick)
                p = (leaf < m && (joined >= next || weight[leaf] <= weight[joined])) ? leaf++ : joined++;
            weight[next] = weight[pick[0]] + weight[pick[1]];
            parent[pick[0]] = parent[pick[1]] = next;
        }
        depth[2 * m - 2] = 0;
        unsigned deepest = 0;
        for (size_t i = 2 * m - 2; i-- > 0;) {
            depth[i] = static_cast<uint8_t>(std::min(depth[parent[i]] + 1, 255));
            if (i < m)
                deepest = std::max<unsigned>(deepest, depth[i]);
        }
        if (deepest <= maxLength)
            break;
        // Too deep: flatten the frequencies and build again (each halving shortens the rare
        // symbols' codes; all equal, the tree is balanced).
        for (auto& u : used)
            u.first = (u.first >> 1) | 1;
    }
    for (size_t i = 0; i < m; ++i)
        lengths[used[i].second] = depth[i];
    return lengths;
}

RunDeflater::RunDeflater()
{
    m_tokens.reserve(kBlockTokens);
}

void RunDeflater::Add(const uint8_t* d, size_t size, std::vector<uint8_t>* out)
{
    const LengthCodes& lengths = Lengths();
    size_t i = 0;
    while (i < size) {
        if (m_tokens.size() >= kBlockTokens)
            FlushBlock(false, out);
        const uint8_t b = d[i];
        if (i > 0 && i + 3 <= size && d[i - 1] == b && d[i + 1] == b && d[i + 2] == b) {
            const size_t limit = std::min(kMaxRun, size - i);
            size_t len = 3;
            const uint64_t pattern = 0x0101010101010101ull * b;
            for (; len + 8 <= limit; len += 8) {
                uint64_t word;
                std::memcpy(&word, d + i + len, 8);
                if (word != pattern) {
                    len += static_cast<size_t>(__builtin_ctzll(word ^ pattern)) / 8;
                    break;
                }
            }
            while (len < limit && d[i + len] == b)
                ++len;
            m_tokens.push_back(kRun | static_cast<uint32_t>(len));
            ++m_litFrequency[lengths.symbol[len]];
            i += len;
        } else {
            m_tokens.push_back(b);
            ++m_litFrequency[b];
            ++i;
        }
    }
}

void RunDeflater::FlushBlock(bool bFinal, std::vector<uint8_t>* out)
{
    const LengthCodes& lengths = Lengths();
    m_litFrequency[256] = 1;  // the block's end
    uint32_t distFrequency[30] = {};
    for (int s = 257; s < 286; ++s)
        distFrequency[0] += m_litFrequency[s];  // every run is at distance 1
    const std::vector<uint8_t> litLengths = HuffmanLengths(m_litFrequency, 286, 15);
    const std::vector<uint8_t> distLengths = HuffmanLengths(distFrequency, 30, 15);
    const std::vector<uint16_t> litCodes = CodesOf(litLengths), distCodes = CodesOf(distLengths);

    // The two codes' lengths, run-length coded with symbols 16 (repeat), 17 and 18 (zeros).
    size_t hlit = 286, hdist = 30;
    while (hlit > 257 && litLengths[hlit - 1] == 0)
        --hlit;
    while (hdist > 1 && distLengths[hdist - 1] == 0)
        --hdist;
    std::vector<uint8_t> all(litLengths.begin(), litLengths.begin() + static_cast<ptrdiff_t>(hlit));
    all.insert(all.end(), distLengths.begin(), distLengths.begin() + static_cast<ptrdiff_t>(hdist));
    struct Item {
        uint8_t symbol, extraBits, extra;
    };
    std::vector<Item> items;
    uint32_t clFrequency[19] = {};
    auto emit = [&](int symbol, int extraBits = 0, int extra = 0) {
        items.push_back({static_cast<uint8_t>(symbol), static_cast<uint8_t>(extraBits), static_cast<uint8_t>(extra)});
        ++clFrequency[symbol];
    };
    for (size_t i = 0; i < all.size();) {
        const uint8_t v = all[i];
        size_t run = 1;
        while (i + run < all.size() && all[i + run] == v)
            ++run;
        i += run;
        if (v == 0) {
            for (; run >= 11; run -= std::min<size_t>(run, 138))
                emit(18, 7, static_cast<int>(std::min<size_t>(run, 138) - 11));
            if (run >= 3) {
                emit(17, 3, static_cast<int>(run - 3));
                run = 0;
            }
        } else {
            emit(v);
            --run;
            for (; run >= 3; run -= std::min<size_t>(run, 6))
                emit(16, 2, static_cast<int>(std::min<size_t>(run, 6) - 3));
        }
        for (; run > 0; --run)
            emit(v);
    }
    const std::vector<uint8_t> clLengths = HuffmanLengths(clFrequency, 19, 7);
    const std::vector<uint16_t> clCodes = CodesOf(clLengths);
    static const uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    size_t hclen = 19;
    while (hclen > 4 && clLengths[kOrder[hclen - 1]] == 0)
        --hclen;

    // At most 15 + 5 + 15 bits a token, and the header: room made once.
    const size_t at = out->size();
    out->resize(at + m_tokens.size() * 5 + items.size() * 3 + 64);
    BitWriter w{out->data() + at, m_bitBuffer, m_nBits};
    w.Put(bFinal ? 1 : 0, 1);
    w.Put(2, 2);  // dynamic Huffman codes
    w.Put(static_cast<uint32_t>(hlit - 257), 5);
    w.Put(static_cast<uint32_t>(hdist - 1), 5);
    w.Put(static_cast<uint32_t>(hclen - 4), 4);
    for (size_t i = 0; i < hclen; ++i)
        w.Put(clLengths[kOrder[i]], 3);
    for (const Item& item : items) {
        w.Put(clCodes[item.symbol], clLengths[item.symbol]);
        if (item.extraBits)
            w.Put(item.extra, item.extraBits);
    }
    const uint32_t distCode = distCodes[0], distLength = distLengths[0];
    for (const uint32_t t : m_tokens) {
        if (t < kRun) {
            w.Put(litCodes[t], litLengths[t]);
            continue;
        }
        const size_t len = t & 0xFFFF;
        const unsigned symbol = lengths.symbol[len];
        w.Put(litCodes[symbol], litLengths[symbol]);
        if (lengths.extraBits[len])
            w.Put(lengths.extraValue[len], lengths.extraBits[len]);
        w.Put(distCode, distLength);
    }
    w.Put(litCodes[256], litLengths[256]);
    out->resize(static_cast<size_t>(w.p - out->data()));
    m_bitBuffer = w.buffer;
    m_nBits = w.count;
    m_tokens.clear();
    std::fill(std::begin(m_litFrequency), std::end(m_litFrequency), 0u);
}

void RunDeflater::AlignToByte(std::vector<uint8_t>* out)
{
    m_nBits = (m_nBits + 7) & ~7u;
    for (; m_nBits > 0; m_nBits -= 8) {
        out->push_back(static_cast<uint8_t>(m_bitBuffer));
        m_bitBuffer >>= 8;
    }
    m_bitBuffer = 0;
}

void RunDeflater::Finish(bool bFinal, std::vector<uint8_t>* out)
{
    if (bFinal || !m_tokens.empty())
        FlushBlock(bFinal, out);
    if (!bFinal) {
        // An empty stored block: three bits, then the byte boundary, then LEN 0 and NLEN.
        const size_t at = out->size();
        out->resize(at + 8);
        BitWriter w{out->data() + at, m_bitBuffer, m_nBits};
        w.Put(0, 3);
        out->resize(static_cast<size_t>(w.p - out->data()));
        m_bitBuffer = w.buffer;
        m_nBits = w.count;
        AlignToByte(out);
        out->insert(out->end(), {0x00, 0x00, 0xFF, 0xFF});
        return;
    }
    AlignToByte(out);
}
