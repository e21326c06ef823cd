// Every cipher path must give the bytes of the table-driven rounds, block by block and through
// the envelope operations.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>

#include "crypto/cbc_envelope.h"
#include "crypto/cipher_path.h"
#include "mcrypt_reference.h"
#include "test_util.h"

namespace sealwise {
namespace {

using test::McryptEcb;

using test::RandomBytes;
constexpr std::size_t B = CbcEnvelope::kBlockSize;

class PinnedPath {
  public:
    explicit PinnedPath(CipherPath p) { ForceCipherPath(p); }
    ~PinnedPath() { ForceCipherPath(std::nullopt); }
};

std::unique_ptr<Rijndael256> KeyedBlocks(CipherPath path, const Bytes& key) {
    PinnedPath pin(path);
    auto c = std::make_unique<Rijndael256>(key);
    EXPECT_EQ(c->path(), path);
    return c;
}

std::unique_ptr<CbcEnvelope> Keyed(CipherPath path, const Bytes& key) {
    PinnedPath pin(path);
    auto c = std::make_unique<CbcEnvelope>(key);
    EXPECT_EQ(c->path(), path);
    return c;
}

// One piece of a stream, into a buffer of its own.
void EncryptChunk(CbcEnvelope& c, std::span<const uint8_t> in, bool chain, Bytes& out) {
    out.resize(CbcEnvelope::PaddedLength(in.size()));
    c.Encrypt(in, out, chain);
}
void DecryptChunk(CbcEnvelope& c, std::span<const uint8_t> in, bool chain, Bytes& out) {
    out.resize(in.size());
    c.Decrypt(in, out, chain);
}

class CipherPathTest : public testing::TestWithParam<CipherPath> {
  protected:
    void SetUp() override {
        if (!CipherPathSupported(GetParam())) GTEST_SKIP() << "not supported on this machine";
    }
    std::unique_ptr<CbcEnvelope> Cipher(const Bytes& key) { return Keyed(GetParam(), key); }
    std::unique_ptr<Rijndael256> Blocks(const Bytes& key) { return KeyedBlocks(GetParam(), key); }
};

TEST_P(CipherPathTest, BlocksMatchIndependentImplementation) {
    std::mt19937 rng(11);
    for (int i = 0; i < 200; ++i) {
        const Bytes key = RandomBytes(rng, 32), plain = RandomBytes(rng, 32);
        const auto c = Blocks(key);
        Bytes block = plain;
        c->EncryptBlock(block);
        ASSERT_EQ(block, McryptEcb(key, plain, false)) << "case " << i;
        c->DecryptBlock(block);
        ASSERT_EQ(block, plain) << "case " << i;
        // Decryption of arbitrary blocks, not only of our own output.
        Bytes other = RandomBytes(rng, 32);
        const Bytes expected = McryptEcb(key, other, true);
        c->DecryptBlock(other);
        ASSERT_EQ(other, expected) << "case " << i;
    }
}

TEST_P(CipherPathTest, BlocksMatchPortableRounds) {
    std::mt19937 rng(12);
    for (int i = 0; i < 500; ++i) {
        const Bytes key = RandomBytes(rng, 32);
        const auto fast = Blocks(key), portable = KeyedBlocks(CipherPath::kPortable, key);
        Bytes a = RandomBytes(rng, 32), b = a;
        fast->EncryptBlock(a);
        portable->EncryptBlock(b);
        ASSERT_EQ(a, b) << "case " << i;
        fast->DecryptBlock(a);
        portable->DecryptBlock(b);
        ASSERT_EQ(a, b) << "case " << i;
    }
}

// Lengths around the interleaved group sizes, long runs and a partial last block.
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
            EncryptChunk(*fast, first, false, f1);
            EncryptChunk(*fast, second, true, f2);
            EncryptChunk(*portable, first, false, p1);
            EncryptChunk(*portable, second, true, p2);
            ASSERT_EQ(f1, p1);
            ASSERT_EQ(f2, p2) << blocks << " blocks, short by " << shortBy;
            EXPECT_EQ(fast->chain(), portable->chain());

            const auto dec = Cipher(key);
            Bytes d1, d2;
            DecryptChunk(*dec, f1, false, d1);
            DecryptChunk(*dec, f2, true, d2);
            EXPECT_EQ(d1, first);
            ASSERT_EQ(d2.size(), blocks * B);
            EXPECT_TRUE(std::equal(second.begin(), second.end(), d2.begin()));
            EXPECT_TRUE(std::all_of(d2.begin() + second.size(), d2.end(),
                                    [](uint8_t v) { return v == 0; }));

            // Decryption of bytes that were never encrypted must agree as well.
            Bytes noise = RandomBytes(rng, blocks * B), fromFast, fromPortable;
            DecryptChunk(*fast, noise, true, fromFast);
            DecryptChunk(*portable, noise, true, fromPortable);
            ASSERT_EQ(fromFast, fromPortable) << blocks << " blocks";
        }
    }
}

TEST_P(CipherPathTest, OneShotMatchesPortableRounds) {
    std::mt19937 rng(14);
    for (std::size_t len : {1u, 32u, 33u, 300u, 4096u}) {
        const Bytes key = RandomBytes(rng, 32), msg = RandomBytes(rng, len);
        PinnedPath pin(GetParam());
        const Bytes fast = SealEnvelope(msg, key);
        const Bytes back = OpenEnvelope(fast, key);
        ForceCipherPath(CipherPath::kPortable);
        EXPECT_EQ(fast, SealEnvelope(msg, key)) << len;
        EXPECT_EQ(back, OpenEnvelope(fast, key)) << len;
    }
}

// In place, as the envelope command deciphers and enciphers its buffer.
TEST_P(CipherPathTest, InPlaceMatchesSeparateBuffers) {
    std::mt19937 rng(15);
    for (std::size_t blocks : {1u, 7u, 8u, 9u, 1001u}) {
        const Bytes key = RandomBytes(rng, 32), plain = RandomBytes(rng, blocks * B);
        const auto separate = Cipher(key), inPlace = Cipher(key);
        Bytes expected, buffer = plain;
        EncryptChunk(*separate, plain, false, expected);
        inPlace->Encrypt(buffer, buffer, false);
        ASSERT_EQ(buffer, expected) << blocks;
        DecryptChunk(*separate, expected, false, expected);
        inPlace->Decrypt(buffer, buffer, false);
        ASSERT_EQ(buffer, plain) << blocks;
        EXPECT_EQ(expected, plain) << blocks;
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
    Rijndael256 c;
    c.SetKey(8, 8, Bytes(32));
    EXPECT_EQ(c.path(), CipherPath::kPortable);
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
        Rijndael256 d;
        d.SetKey(8, 6, Bytes(32));
        EXPECT_EQ(d.path(), CipherPath::kPortable);
        d.SetKey(8, 8, Bytes(32));
        EXPECT_EQ(d.path(), p);
    }
}

}  // namespace
}  // namespace sealwise
