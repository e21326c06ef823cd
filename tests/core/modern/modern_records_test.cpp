#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>

#include "core/modern/modern_test_keys.h"
#include "core/test_util.h"
#include "modern/modern_format.h"
#include "modern/modern_keys.h"
#include "modern/records.h"

namespace sealwise::modern {
namespace {

using test::FromHex;
using test::ToHex;

Header SampleHeader() {
    Header h;
    h.content = Content::kText;
    h.keyCount = 3;
    h.cost = {2, 1 << 20};
    for (std::size_t i = 0; i < h.salt.size(); ++i) h.salt[i] = static_cast<uint8_t>(i);
    h.keyCheck.fill(0xAB);
    h.streamHeader.fill(0x5C);
    return h;
}

TEST(ModernHeader, EncodesAndParsesEveryField) {
    const Header h = SampleHeader();
    const auto bytes = EncodeHeader(h);
    EXPECT_EQ(ToHex(Bytes(bytes.begin(), bytes.begin() + 28)),
              "5345414c5749534501020302"
              "0200000000000000"
              "0000100000000000");
    const ParsedHeader parsed = ParseHeader(bytes);
    ASSERT_EQ(parsed.problem, HeaderProblem::kNone);
    EXPECT_EQ(parsed.header.content, h.content);
    EXPECT_EQ(parsed.header.keyCount, h.keyCount);
    EXPECT_EQ(parsed.header.cost, h.cost);
    EXPECT_EQ(parsed.header.salt, h.salt);
    EXPECT_EQ(parsed.header.keyCheck, h.keyCheck);
    EXPECT_EQ(parsed.header.streamHeader, h.streamHeader);
}

TEST(ModernHeader, AnyChangedByteIsDamageOrNoMagic) {
    const auto good = EncodeHeader(SampleHeader());
    for (std::size_t i = 0; i < good.size(); ++i) {
        auto bad = good;
        bad[i] ^= 0x20;
        const HeaderProblem expected =
            i < kMagic.size() ? HeaderProblem::kNotModern : HeaderProblem::kDamaged;
        EXPECT_EQ(ParseHeader(bad).problem, expected) << "byte " << i;
    }
}

TEST(ModernHeader, SoundHeadersWithUnacceptedValuesAreUnsupported) {
    struct Case {
        const char* what;
        void (*change)(Header&);
    };
    const Case cases[] = {
        {"no keys", [](Header& h) { h.keyCount = 0; }},
        {"eleven keys", [](Header& h) { h.keyCount = 11; }},
        {"content 3", [](Header& h) { h.content = static_cast<Content>(3); }},
        {"zero passes", [](Header& h) { h.cost.ops = 0; }},
        {"too many passes", [](Header& h) { h.cost.ops = kMaxKdfOps + 1; }},
        {"too little memory", [](Header& h) { h.cost.memory = 4096; }},
        {"too much memory", [](Header& h) { h.cost.memory = kMaxKdfMemory + 1024; }},
        {"memory not in KiB", [](Header& h) { h.cost.memory = (1 << 20) + 1; }},
    };
    for (const Case& c : cases) {
        Header h = SampleHeader();
        c.change(h);
        EXPECT_EQ(ParseHeader(EncodeHeader(h)).problem, HeaderProblem::kUnsupported) << c.what;
    }
}

TEST(ModernKeys, DerivationMatchesIndependentVectors) {
    // Computed with PyNaCl (Argon2id) and hashlib's BLAKE2b, salt 00..0f, 1 pass, 8 KiB.
    struct Case {
        std::vector<std::string> keys;
        const char* input;
        const char* streamKey;
        const char* keyCheck;
    };
    const Case cases[] = {
        {{"correct horse"},
         "0d000000636f727265637420686f727365",
         "f21e71a793d1d52c5f26ed4654ba0a7676ba6de43e965f00261d8c718bb2b882",
         "b5db4cf6673500e90bd06aa139bea711"},
        {{"ab", "c"},
         "0200000061620100000063",
         "8e169b4401d2e74c7450ce22b2fb77f08ca95d3d30c95c8d5a4d899514cf28d2",
         "c98a7368471d4e25b65ca8ae67a73739"},
        {{"Grüße", "clé 2", "третий"},
         "070000004772c3bcc39f6506000000636cc3a920320c000000d182d180d0b5d182d0b8d0b9",
         "c383982c17ccb13496e4323b1f3c85f9fdb1e32604ec53f46b4086acafcc667d",
         "99e7bcefd65d1a7ef6715b8442f3327d"},
    };
    std::array<uint8_t, kSaltSize> salt{};
    for (std::size_t i = 0; i < salt.size(); ++i) salt[i] = static_cast<uint8_t>(i);
    for (const Case& c : cases) {
        EXPECT_EQ(ToHex(KdfInput(c.keys)), c.input);
        DerivedKeys keys;
        DeriveKeys(c.keys, salt, kTestCost, keys);
        EXPECT_EQ(ToHex(Bytes(keys.streamKey.begin(), keys.streamKey.end())), c.streamKey);
        EXPECT_EQ(ToHex(Bytes(keys.keyCheck.begin(), keys.keyCheck.end())), c.keyCheck);
    }
}

TEST(ModernEntryNames, OnlySafeRelativeUtf8Paths) {
    struct Case {
        std::string name;
        bool safe;
    };
    const Case cases[] = {
        {"a", true},
        {"dir/sub/file.txt", true},
        {"Grüße/日本", true},
        {".hidden/..x", true},
        {"", false},
        {"/etc/passwd", false},
        {"a//b", false},
        {"a/", false},
        {"a/./b", false},
        {"../x", false},
        {"a/..", false},
        {"a\\b", false},
        {std::string("a\0b", 3), false},
        {"\xC3", false},
        {"\xC0\xAF", false},      // cut off; overlong "/"
        {"\xED\xA0\x80", false},  // surrogate
        {std::string(4097, 'x'), false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSafeEntryName(c.name), c.safe) << c.name;
}

TEST(ModernEntryRecord, EveryTypeRoundTrips) {
    const EntryMeta entries[] = {
        {EntryType::kFile, 0600, 981158400, 123456789, 5ull << 32, "dir/big file", ""},
        {EntryType::kDirectory, 0755, -86400, 0, 0, "dir", ""},
        {EntryType::kSymlink, 0777, 1, 2, 9, "dir/link", "../target"},
    };
    for (const EntryMeta& entry : entries) {
        const std::optional<EntryMeta> back = DecodeEntryRecord(EncodeEntryRecord(entry));
        ASSERT_TRUE(back) << entry.name;
        EXPECT_EQ(*back, entry);
    }
}

TEST(ModernEntryRecord, RecordsBreakingTheRulesAreRefused) {
    const EntryMeta file{EntryType::kFile, 0644, 0, 0, 3, "name", ""};
    struct Case {
        const char* what;
        void (*change)(Bytes&);
    };
    const Case cases[] = {
        {"wrong kind", [](Bytes& r) { r[0] = 3; }},
        {"type 0", [](Bytes& r) { r[1] = 0; }},
        {"type 4", [](Bytes& r) { r[1] = 4; }},
        {"mode above 07777", [](Bytes& r) { r[3] = 0x10; }},
        {"nanoseconds past a second", [](Bytes& r) { r[15] = 0x3C; }},
        {"name longer than the record", [](Bytes& r) { r[24] = 9; }},
        {"bytes behind the name", [](Bytes& r) { r.push_back('x'); }},
        {"unsafe name", [](Bytes& r) { r[26] = '/'; }},
        {"cut short", [](Bytes& r) { r.resize(20); }},
    };
    for (const Case& c : cases) {
        Bytes record = EncodeEntryRecord(file);
        c.change(record);
        EXPECT_FALSE(DecodeEntryRecord(record)) << c.what;
    }
    EntryMeta dir{EntryType::kDirectory, 0755, 0, 0, 0, "d", ""};
    Bytes record = EncodeEntryRecord(dir);
    record[16] = 1;  // a directory with a size
    EXPECT_FALSE(DecodeEntryRecord(record));
    EntryMeta link{EntryType::kSymlink, 0777, 0, 0, 0, "l", std::string("a\0b", 3)};
    EXPECT_FALSE(DecodeEntryRecord(EncodeEntryRecord(link)));
}

TEST(ModernPieces, CompressibleDataIsPackedAndRandomDataStored) {
    std::mt19937 rng(7);
    const Bytes random = test::RandomBytes(rng, 100000);
    const Bytes text(200000, 'a');
    PieceCodec codec;
    Bytes record, back;
    codec.Encode(text, record);
    EXPECT_EQ(record[1], static_cast<uint8_t>(DataMethod::kZstd));
    EXPECT_LT(record.size(), 1000u);
    ASSERT_TRUE(codec.Decode(record, back));
    EXPECT_EQ(back, text);
    codec.Encode(random, record);
    EXPECT_EQ(record[1], static_cast<uint8_t>(DataMethod::kStored));
    EXPECT_EQ(record.size(), random.size() + kDataRecordOverhead);
    ASSERT_TRUE(codec.Decode(record, back));
    EXPECT_EQ(back, random);
}

// Decoding into a view: a stored piece is read where it lies in the record, a packed one
// from the buffer; both give the same bytes as decoding into a copy.
TEST(ModernPieces, DecodingIntoAViewCopiesOnlyWhatItMustUnpack) {
    std::mt19937 rng(8);
    const struct {
        const char* what;
        Bytes piece;
        bool inRecord;
    } cases[] = {{"stored", test::RandomBytes(rng, 100000), true},
                 {"zstd", Bytes(200000, 'a'), false}};
    for (const auto& c : cases) {
        PieceCodec codec;
        Bytes record, buffer;
        std::span<const uint8_t> view;
        codec.Encode(c.piece, record);
        ASSERT_TRUE(codec.Decode(record, buffer, view)) << c.what;
        EXPECT_TRUE(std::equal(view.begin(), view.end(), c.piece.begin(), c.piece.end())) << c.what;
        EXPECT_EQ(view.data() == record.data() + kDataRecordOverhead, c.inRecord) << c.what;
    }
}

// Which method each kind of piece gets, and the most its record may take (in bytes per
// 1000 input bytes): compressible data must never be stored because it looked random.
TEST(ModernPieces, MethodFollowsWhatTheDataAllows) {
    std::mt19937 rng(11);
    const Bytes random = test::RandomBytes(rng, 1 << 20);
    Bytes halfText(random.begin(), random.begin() + (1 << 19));
    halfText.resize(1 << 20, 'x');
    Bytes smallRandom(random.begin(), random.begin() + 30000);
    Bytes repeatedNear(random.begin(), random.begin() + 16384);
    for (int i = 0; i < 5; ++i)
        repeatedNear.insert(repeatedNear.end(), repeatedNear.begin(), repeatedNear.begin() + 16384);
    struct Case {
        const char* what;
        const Bytes& piece;
        DataMethod method;
        std::size_t perMille;
    } cases[] = {
        {"random", random, DataMethod::kStored, 1001},
        {"random below the scan's threshold", smallRandom, DataMethod::kStored, 1001},
        {"half random, half one letter", halfText, DataMethod::kZstd, 510},
        {"random repeated within 16 KiB", repeatedNear, DataMethod::kZstd, 200},
    };
    PieceCodec codec;
    for (const Case& c : cases) {
        Bytes record, back;
        codec.Encode(c.piece, record);
        EXPECT_EQ(record[1], static_cast<uint8_t>(c.method)) << c.what;
        EXPECT_LE(record.size() - kDataRecordOverhead, c.piece.size() * c.perMille / 1000)
            << c.what;
        ASSERT_TRUE(codec.Decode(record, back)) << c.what;
        EXPECT_EQ(back, c.piece) << c.what;
    }
}

// At the default level text and machine code must come out clearly smaller than zstd's own
// level 3 makes them (the reason for their settings), in frames any zstd decoder reads.
TEST(ModernPieces, TextAndBinariesGetTheirOwnSettingsAtTheDefaultLevel) {
    std::mt19937 rng(5);
    std::string log;
    const char* services[] = {"auth", "billing", "gateway", "mailer"};
    while (log.size() < (1 << 20)) {
        char line[160];
        std::snprintf(line, sizeof line, "%u.%03u INFO [%s] GET /api/v1/items %u %ums id=%08x\n",
                      1760000000u + static_cast<unsigned>(log.size() / 300),
                      static_cast<unsigned>(rng() % 1000), services[rng() % 4],
                      static_cast<unsigned>(200 + rng() % 3), static_cast<unsigned>(rng() % 900),
                      static_cast<unsigned>(rng()));
        log += line;
    }
    const Bytes text(log.begin(), log.end());
    Bytes binary(kPieceSize);  // this program's headers, symbols and code
    std::ifstream("/proc/self/exe", std::ios::binary)
        .read(reinterpret_cast<char*>(binary.data()), static_cast<std::streamsize>(binary.size()));
    const struct {
        const char* what;
        const Bytes& piece;
        int percentOfPlain;  // at most
    } cases[] = {{"log text", text, 97}, {"machine code", binary, 99}};
    for (const auto& c : cases) {
        Bytes plain(ZSTD_compressBound(c.piece.size()));
        plain.resize(ZSTD_compress(plain.data(), plain.size(), c.piece.data(), c.piece.size(), 3));
        PieceCodec codec(3);
        Bytes record, back;
        codec.Encode(c.piece, record);
        const std::size_t packed = record.size() - kDataRecordOverhead;
        EXPECT_LE(packed * 100, plain.size() * c.percentOfPlain)
            << c.what << ": " << packed << " against " << plain.size();
        ASSERT_TRUE(codec.Decode(record, back)) << c.what;
        EXPECT_EQ(back, c.piece) << c.what;
        Bytes decoded(c.piece.size());
        EXPECT_EQ(ZSTD_decompress(decoded.data(), decoded.size(),
                                  record.data() + kDataRecordOverhead, packed),
                  c.piece.size())
            << c.what;
        EXPECT_EQ(decoded, c.piece) << c.what;
    }
}

TEST(ModernPieces, RecordsBreakingTheRulesAreRefused) {
    PieceCodec codec;
    Bytes packed, stored;
    codec.Encode(Bytes(5000, 'x'), packed);
    codec.Encode(Bytes{1, 2, 3}, stored);
    struct Case {
        const char* what;
        Bytes record;
        void (*change)(Bytes&);
    };
    const Case cases[] = {
        {"zstd length too small", packed, [](Bytes& r) { r[2] -= 1; }},
        {"zstd length too large", packed, [](Bytes& r) { r[2] += 1; }},
        {"bytes behind the frame", packed, [](Bytes& r) { r.push_back(0); }},
        {"frame cut short", packed, [](Bytes& r) { r.pop_back(); }},
        {"stored length differs", stored, [](Bytes& r) { r[2] = 4; }},
        {"zero length", stored, [](Bytes& r) { r[2] = 0, r.resize(6); }},
        {"length above the limit", stored, [](Bytes& r) { r[5] = 1; }},
        {"unknown method", stored, [](Bytes& r) { r[1] = 2; }},
        {"not a data record", stored, [](Bytes& r) { r[0] = 2; }},
    };
    Bytes out;
    for (const Case& c : cases) {
        Bytes record = c.record;
        c.change(record);
        EXPECT_FALSE(codec.Decode(record, out)) << c.what;
    }
}

TEST(ModernEndRecord, CountRoundTripsAndOtherShapesAreRefused) {
    EXPECT_EQ(DecodeEndRecord(EncodeEndRecord(1ull << 40)), 1ull << 40);
    Bytes longer = EncodeEndRecord(1);
    longer.push_back(0);
    EXPECT_FALSE(DecodeEndRecord(longer));
    EXPECT_FALSE(DecodeEndRecord(FromHex("020100000000000000")));
}

}  // namespace
}  // namespace sealwise::modern
