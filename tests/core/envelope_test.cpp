#include <gtest/gtest.h>

#include "crypto/rijndael.h"
#include "test_util.h"

namespace sealwise {
namespace {

struct RecordingProgress : ProgressSink {
    int32_t max = -1, min = -1;
    std::vector<int32_t> positions;
    void SetMax(int32_t v) override { max = v; }
    void SetMin(int32_t v) override { min = v; }
    void SetPosition(int32_t v) override { positions.push_back(v); }
};

struct CountingPump : PumpHook {
    int calls = 0;
    CRijndael* cancelOnCall = nullptr;
    int cancelAt = -1;
    void Pump() override {
        if (++calls == cancelAt && cancelOnCall) cancelOnCall->setDoCancel(true);
    }
};

Bytes Enc(const Bytes& msg, const Bytes& key) { return *CRijndael().EncryptData(msg, key, true); }
Bytes Dec(const Bytes& in, const Bytes& key) { return *CRijndael().DecryptData(in, key); }

TEST(Envelope, LengthsArePaddedToWholeBlocks) {
    const Bytes key(32, 7);
    for (auto [len, expected] : {std::pair{1, 32}, {32, 32}, {33, 64}, {64, 64}}) {
        Bytes msg(len, 0xAB);
        const Bytes env = Enc(msg, key);
        ASSERT_EQ(env.size(), static_cast<std::size_t>(expected)) << len;
        Bytes plain = Dec(env, key);
        ASSERT_EQ(plain.size(), static_cast<std::size_t>(expected));
        EXPECT_TRUE(std::equal(msg.begin(), msg.end(), plain.begin()));
        EXPECT_TRUE(
            std::all_of(plain.begin() + len, plain.end(), [](uint8_t b) { return b == 0; }));
    }
}

TEST(Envelope, CbcChainsBlocksAndTrailingZerosVanish) {
    const Bytes key(32, 1);
    // Two equal plaintext blocks must not give equal cipher blocks.
    const Bytes env = Enc(Bytes(64, 0x55), key);
    EXPECT_FALSE(std::equal(env.begin(), env.begin() + 32, env.begin() + 32));
    Bytes a = {1, 2, 3}, b = {1, 2, 3, 0, 0};
    EXPECT_EQ(Enc(a, key), Enc(b, key));
}

TEST(Envelope, KeyIsFirst32BytesZeroFilled) {
    const Bytes msg = {9, 8, 7};
    Bytes key40(40, 3), key32(32, 3);
    key40[35] = 99;
    EXPECT_EQ(Enc(msg, key40), Enc(msg, key32));
    Bytes short5 = {1, 2, 3, 4, 5}, padded = short5;
    padded.resize(32, 0);
    EXPECT_EQ(Enc(msg, short5), Enc(msg, padded));
    EXPECT_NE(Enc(msg, key32), Enc(msg, padded));
}

TEST(Envelope, BadInputGivesNoResult) {
    CRijndael c;
    EXPECT_FALSE(c.EncryptData(std::nullopt, Bytes(32), true));
    EXPECT_FALSE(c.EncryptData(Bytes(3), std::nullopt, true));
    EXPECT_FALSE(c.DecryptData(Bytes(31), Bytes(32)));
    EXPECT_FALSE(c.DecryptData(Bytes(33), Bytes(32)));
    EXPECT_FALSE(c.DecryptData(Bytes(), Bytes(32)));
    EXPECT_FALSE(c.EncryptPrepareKey(std::nullopt));
    EXPECT_FALSE(c.doCancel());

    CRijndael d;
    ASSERT_TRUE(d.EncryptPrepareKey(Bytes(32)));
    EXPECT_FALSE(d.DecryptDo(Bytes(33), false));
    EXPECT_TRUE(d.doCancel()) << "a chunk that is not whole blocks must stop the job";
    EXPECT_THROW(CRijndael().EncryptPrepareKey(Bytes(31)), std::out_of_range);
}

TEST(Envelope, ChunkedEqualsOneShotWhenChunksAreWholeBlocks) {
    std::mt19937 rng(5);
    const Bytes key = test::RandomBytes(rng, 32);
    const Bytes first = test::RandomBytes(rng, 64000), second = test::RandomBytes(rng, 100);
    Bytes whole = first;
    whole.insert(whole.end(), second.begin(), second.end());

    CRijndael enc;
    ASSERT_TRUE(enc.EncryptPrepareKey(key));
    Bytes chunked = *enc.EncryptDo(first, false);
    const Bytes tail = *enc.EncryptDo(second, true);
    chunked.insert(chunked.end(), tail.begin(), tail.end());
    EXPECT_EQ(chunked, Enc(whole, key));

    CRijndael dec;
    ASSERT_TRUE(dec.EncryptPrepareKey(key));
    Bytes plain = *dec.DecryptDo(Bytes(chunked.begin(), chunked.begin() + 64000), false);
    const Bytes plainTail = *dec.DecryptDo(Bytes(chunked.begin() + 64000, chunked.end()), true);
    plain.insert(plain.end(), plainTail.begin(), plainTail.end());
    plain.resize(whole.size());
    EXPECT_EQ(plain, whole);
}

TEST(Envelope, UnevenChunksCarryTheirOwnPaddingInOneChain) {
    const Bytes key(32, 4);
    CRijndael enc;
    enc.EncryptPrepareKey(key);
    const Bytes c1 = *enc.EncryptDo(Bytes(10, 1), false), c2 = *enc.EncryptDo(Bytes(10, 2), true);
    Bytes joined = Bytes(10, 1);
    joined.resize(32, 0);
    joined.insert(joined.end(), 10, 2);
    Bytes both = c1;
    both.insert(both.end(), c2.begin(), c2.end());
    EXPECT_EQ(both, Enc(joined, key));
}

TEST(Envelope, ChunkedCancelStopsAfterFirstBlock) {
    CountingPump pump;
    CRijndael c;
    c.setPumpHook(&pump);
    c.EncryptPrepareKey(Bytes(32));
    const auto chainBefore = c.ChainBlock();
    c.setDoCancel(true);
    EXPECT_FALSE(c.EncryptDo(Bytes(5000, 1), false));
    EXPECT_EQ(pump.calls, 1);
    EXPECT_EQ(c.ChainBlock(), chainBefore);
    EXPECT_FALSE(c.DecryptDo(Bytes(64), false));
}

TEST(Envelope, ChunkedPumpsEvery500Blocks) {
    CountingPump pump;
    CRijndael c;
    c.setPumpHook(&pump);
    c.EncryptPrepareKey(Bytes(32));
    ASSERT_TRUE(c.EncryptDo(Bytes(1001 * 32, 1), false));
    EXPECT_EQ(pump.calls, 3);  // after blocks 0, 500 and 1000
}

TEST(Envelope, OneShotProgressAndCancel) {
    RecordingProgress progress;
    CountingPump pump;
    CRijndael c;
    c.setProgressSink(&progress);
    c.setPumpHook(&pump);
    ASSERT_TRUE(c.EncryptData(Bytes(100, 1), Bytes(32), false));  // 4 blocks
    EXPECT_EQ(progress.max, 5);
    EXPECT_EQ(progress.min, 0);
    EXPECT_EQ(progress.positions, (std::vector<int32_t>{0, 0, 1, 2, 3, 5}));
    EXPECT_EQ(pump.calls, 4);

    // Not from the main window: the bar is left alone.
    RecordingProgress untouched;
    CRijndael quiet;
    quiet.setProgressSink(&untouched);
    quiet.EncryptData(Bytes(100, 1), Bytes(32), true);
    EXPECT_EQ(untouched.max, -1);
    EXPECT_TRUE(untouched.positions.empty());

    // Cancel during block 1 of 4: full-length output, later blocks zero, bar not finished.
    RecordingProgress p2;
    CRijndael cancelled;
    CountingPump cancelPump;
    cancelPump.cancelOnCall = &cancelled;
    cancelPump.cancelAt = 2;
    cancelled.setProgressSink(&p2);
    cancelled.setPumpHook(&cancelPump);
    const Bytes out = *cancelled.EncryptData(Bytes(128, 1), Bytes(32), false);
    ASSERT_EQ(out.size(), 128u);
    EXPECT_TRUE(std::all_of(out.begin() + 64, out.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(p2.positions.back(), 1);
    const Bytes whole = Enc(Bytes(128, 1), Bytes(32));
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 64, whole.begin()));
}

TEST(Envelope, DecryptDataProgressAlwaysShown) {
    RecordingProgress progress;
    CRijndael c;
    c.setProgressSink(&progress);
    ASSERT_TRUE(c.DecryptData(Bytes(96), Bytes(32)));
    EXPECT_EQ(progress.max, 4);
    EXPECT_EQ(progress.positions, (std::vector<int32_t>{0, 0, 1, 2, 4}));
}

}  // namespace
}  // namespace sealwise
