// Every cipher path must give the bytes of the table-driven rounds, block by block and through
// the envelope operations, with the same pump and cancel behaviour.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>

#include "crypto/cipher_path.h"
#include "crypto/rijndael.h"
#include "mcrypt_reference.h"
#include "test_util.h"

namespace sealwise {
namespace {

using test::McryptEcb;

using test::RandomBytes;
constexpr std::size_t B = CRijndael::kBlockSize;

class PinnedPath {
  public:
    explicit PinnedPath(CipherPath p) { ForceCipherPath(p); }
    ~PinnedPath() { ForceCipherPath(std::nullopt); }
};

std::unique_ptr<CRijndael> Keyed(CipherPath path, const Bytes& key) {
    PinnedPath pin(path);
    auto c = std::make_unique<CRijndael>();
    c->EncryptPrepareKey(key);
    EXPECT_EQ(c->cipherPath(), path);
    return c;
}

struct CountingPump : PumpHook {
    int calls = 0, cancelAt = -1;
    CRijndael* cipher = nullptr;
    void Pump() override {
        if (++calls == cancelAt) cipher->setDoCancel(true);
    }
};

class CipherPathTest : public testing::TestWithParam<CipherPath> {
  protected:
    void SetUp() override {
        if (!CipherPathSupported(GetParam())) GTEST_SKIP() << "not supported on this machine";
    }
    std::unique_ptr<CRijndael> Cipher(const Bytes& key) { return Keyed(GetParam(), key); }
};

TEST_P(CipherPathTest, BlocksMatchIndependentImplementation) {
    std::mt19937 rng(11);
    for (int i = 0; i < 200; ++i) {
        const Bytes key = RandomBytes(rng, 32), plain = RandomBytes(rng, 32);
        const auto c = Cipher(key);
        Bytes block = plain;
        c->Encrypt(block);
        ASSERT_EQ(block, McryptEcb(key, plain, false)) << "case " << i;
        c->Decrypt(block);
        ASSERT_EQ(block, plain) << "case " << i;
        // Decryption of arbitrary blocks, not only of our own output.
        Bytes other = RandomBytes(rng, 32);
        const Bytes expected = McryptEcb(key, other, true);
        c->Decrypt(other);
        ASSERT_EQ(other, expected) << "case " << i;
    }
}

TEST_P(CipherPathTest, BlocksMatchPortableRounds) {
    std::mt19937 rng(12);
    for (int i = 0; i < 500; ++i) {
        const Bytes key = RandomBytes(rng, 32);
        const auto fast = Cipher(key), portable = Keyed(CipherPath::kPortable, key);
        Bytes a = RandomBytes(rng, 32), b = a;
        fast->Encrypt(a);
        portable->Encrypt(b);
        ASSERT_EQ(a, b) << "case " << i;
        fast->Decrypt(a);
        portable->Decrypt(b);
        ASSERT_EQ(a, b) << "case " << i;
    }
}

// Lengths around the interleaved group sizes, the pump points and a partial last block.
TEST_P(CipherPathTest, ChunksMatchPortableRoundsAndCarryTheChain) {
    std::mt19937 rng(13);
    const std::size_t blockCounts[] = {1, 2, 3, 4, 5, 7, 8, 9, 12, 17, 499, 500, 501, 502, 1003};
    for (std::size_t blocks : blockCounts) {
        for (std::size_t shortBy : {std::size_t{0}, std::size_t{1}, B - 1}) {
            const Bytes key = RandomBytes(rng, 40);
            const Bytes first = RandomBytes(rng, 3 * B),
                        second = RandomBytes(rng, blocks * B - shortBy);
            const auto fast = Cipher(key), portable = Keyed(CipherPath::kPortable, key);
            Bytes f1, f2, p1, p2;
            ASSERT_TRUE(fast->EncryptChunk(first, false, f1));
            ASSERT_TRUE(fast->EncryptChunk(second, true, f2));
            ASSERT_TRUE(portable->EncryptChunk(first, false, p1));
            ASSERT_TRUE(portable->EncryptChunk(second, true, p2));
            ASSERT_EQ(f1, p1);
            ASSERT_EQ(f2, p2) << blocks << " blocks, short by " << shortBy;
            EXPECT_EQ(fast->ChainBlock(), portable->ChainBlock());

            const auto dec = Cipher(key);
            Bytes d1, d2;
            ASSERT_TRUE(dec->DecryptChunk(f1, false, d1));
            ASSERT_TRUE(dec->DecryptChunk(f2, true, d2));
            EXPECT_EQ(d1, first);
            ASSERT_EQ(d2.size(), blocks * B);
            EXPECT_TRUE(std::equal(second.begin(), second.end(), d2.begin()));
            EXPECT_TRUE(std::all_of(d2.begin() + second.size(), d2.end(),
                                    [](uint8_t v) { return v == 0; }));

            // Decryption of bytes that were never encrypted must agree as well.
            Bytes noise = RandomBytes(rng, blocks * B), fromFast, fromPortable;
            ASSERT_TRUE(fast->DecryptChunk(noise, true, fromFast));
            ASSERT_TRUE(portable->DecryptChunk(noise, true, fromPortable));
            ASSERT_EQ(fromFast, fromPortable) << blocks << " blocks";
        }
    }
}

TEST_P(CipherPathTest, OneShotMatchesPortableRounds) {
    std::mt19937 rng(14);
    for (std::size_t len : {1u, 32u, 33u, 300u, 4096u}) {
        const Bytes key = RandomBytes(rng, 32), msg = RandomBytes(rng, len);
        PinnedPath pin(GetParam());
        const MaybeBytes fast = CRijndael().EncryptData(msg, key, true);
        const MaybeBytes back = CRijndael().DecryptData(fast, key);
        ForceCipherPath(CipherPath::kPortable);
        EXPECT_EQ(fast, CRijndael().EncryptData(msg, key, true)) << len;
        EXPECT_EQ(back, CRijndael().DecryptData(fast, key)) << len;
    }
}

TEST_P(CipherPathTest, ChunksPumpAfterBlocks0And500AndStopOnCancel) {
    for (auto [blocks, pumps] : {std::pair{1, 1}, {500, 1}, {501, 2}, {1001, 3}, {1002, 3}}) {
        const auto c = Cipher(Bytes(32, 9));
        CountingPump pump;
        c->setPumpHook(&pump);
        Bytes out;
        ASSERT_TRUE(c->EncryptChunk(Bytes(blocks * B, 1), false, out));
        ASSERT_TRUE(c->DecryptChunk(out, false, out));  // in place
        EXPECT_EQ(pump.calls, 2 * pumps) << blocks << " blocks";
    }
    for (bool decrypt : {false, true}) {
        const auto c = Cipher(Bytes(32, 9));
        CountingPump pump;
        pump.cipher = c.get();
        pump.cancelAt = 2;  // during the pump after block 500
        c->setPumpHook(&pump);
        const auto chainBefore = c->ChainBlock();
        Bytes out;
        const Bytes in(1500 * B, 3);
        EXPECT_FALSE(decrypt ? c->DecryptChunk(in, true, out) : c->EncryptChunk(in, true, out));
        EXPECT_EQ(pump.calls, 2);
        EXPECT_EQ(c->ChainBlock(), chainBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, CipherPathTest,
                         testing::Values(CipherPath::kPortable, CipherPath::kAesNi,
                                         CipherPath::kVaes),
                         [](const auto& info) { return std::string(CipherPathName(info.param)); });

TEST(CipherPathChoice, EnvironmentForcesPortableAndOtherKeySizesStayPortable) {
    const char* inherited = getenv("SEALWISE_FORCE_PORTABLE_CIPHER");
    const std::string saved = inherited ? inherited : "";
    unsetenv("SEALWISE_FORCE_PORTABLE_CIPHER");
    const CipherPath best = SupportedCipherPaths().back();
    EXPECT_EQ(ActiveCipherPath(), best);
    ASSERT_EQ(setenv("SEALWISE_FORCE_PORTABLE_CIPHER", "1", 1), 0);
    EXPECT_EQ(ActiveCipherPath(), CipherPath::kPortable);
    CRijndael c;
    c.gkey(8, 8, Bytes(32));
    EXPECT_EQ(c.cipherPath(), CipherPath::kPortable);
    ASSERT_EQ(setenv("SEALWISE_FORCE_PORTABLE_CIPHER", "0", 1), 0);
    EXPECT_EQ(ActiveCipherPath(), best);
    if (inherited) {
        setenv("SEALWISE_FORCE_PORTABLE_CIPHER", saved.c_str(), 1);
    } else {
        unsetenv("SEALWISE_FORCE_PORTABLE_CIPHER");
    }

    // The hardware kernels only serve a 256-bit block with a 256-bit key.
    for (CipherPath p : SupportedCipherPaths()) {
        PinnedPath pin(p);
        CRijndael d;
        d.gkey(8, 6, Bytes(32));
        EXPECT_EQ(d.cipherPath(), CipherPath::kPortable);
        d.gkey(8, 8, Bytes(32));
        EXPECT_EQ(d.cipherPath(), p);
    }
}

}  // namespace
}  // namespace sealwise
