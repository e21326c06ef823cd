#include <gtest/gtest.h>

#include "crypto/cbc_envelope.h"
#include "test_util.h"

namespace sealwise {
namespace {

Bytes Enc(const Bytes& msg, const Bytes& key) { return SealEnvelope(msg, key); }
Bytes Dec(const Bytes& in, const Bytes& key) { return OpenEnvelope(in, key); }

// One piece of a stream, into a buffer of the padded length.
Bytes EncryptPiece(CbcEnvelope& c, const Bytes& plain, bool continueChain) {
    Bytes out(CbcEnvelope::PaddedLength(plain.size()));
    c.Encrypt(plain, out, continueChain);
    return out;
}
Bytes DecryptPiece(CbcEnvelope& c, std::span<const uint8_t> cipher, bool continueChain) {
    Bytes out(cipher.size());
    c.Decrypt(cipher, out, continueChain);
    return out;
}

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

// Ciphertext that is no envelope is an error, not an empty result or a cancel.
TEST(Envelope, CiphertextOfPartialBlocksIsRefused) {
    for (std::size_t length : {0u, 31u, 33u}) {
        EXPECT_THROW(Dec(Bytes(length), Bytes(32)), EnvelopeLengthError) << length;
    }
    CbcEnvelope d(Bytes(32));
    EncryptPiece(d, Bytes(40, 1), false);
    const auto chainBefore = d.chain();
    Bytes out(33);
    EXPECT_THROW(d.Decrypt(Bytes(33), out, true), EnvelopeLengthError);
    EXPECT_EQ(d.chain(), chainBefore) << "a refused piece leaves the stream as it was";
}

TEST(Envelope, StreamNeedsAFullKeyAndOutputOfThePaddedLength) {
    EXPECT_THROW(CbcEnvelope(Bytes(31)), std::out_of_range);
    CbcEnvelope c(Bytes(32));
    Bytes tooShort(32), tooLong(96);
    EXPECT_THROW(c.Encrypt(Bytes(33), tooShort, false), std::length_error);
    EXPECT_THROW(c.Encrypt(Bytes(33), tooLong, false), std::length_error);
    EXPECT_THROW(c.Decrypt(Bytes(64), tooLong, false), std::length_error);
}

TEST(Envelope, ChunkedEqualsOneShotWhenChunksAreWholeBlocks) {
    std::mt19937 rng(5);
    const Bytes key = test::RandomBytes(rng, 32);
    const Bytes first = test::RandomBytes(rng, 64000), second = test::RandomBytes(rng, 100);
    Bytes whole = first;
    whole.insert(whole.end(), second.begin(), second.end());

    CbcEnvelope enc(key);
    Bytes chunked = EncryptPiece(enc, first, false);
    const Bytes tail = EncryptPiece(enc, second, true);
    chunked.insert(chunked.end(), tail.begin(), tail.end());
    EXPECT_EQ(chunked, Enc(whole, key));

    CbcEnvelope dec(key);
    Bytes plain = DecryptPiece(dec, std::span(chunked).first(64000), false);
    const Bytes plainTail = DecryptPiece(dec, std::span(chunked).subspan(64000), true);
    plain.insert(plain.end(), plainTail.begin(), plainTail.end());
    plain.resize(whole.size());
    EXPECT_EQ(plain, whole);
}

TEST(Envelope, UnevenChunksCarryTheirOwnPaddingInOneChain) {
    const Bytes key(32, 4);
    CbcEnvelope enc(key);
    const Bytes c1 = EncryptPiece(enc, Bytes(10, 1), false);
    const Bytes c2 = EncryptPiece(enc, Bytes(10, 2), true);
    Bytes joined = Bytes(10, 1);
    joined.resize(32, 0);
    joined.insert(joined.end(), 10, 2);
    Bytes both = c1;
    both.insert(both.end(), c2.begin(), c2.end());
    EXPECT_EQ(both, Enc(joined, key));
}

// A new stream starts from the zero block whatever came before; an empty piece changes nothing.
TEST(Envelope, FirstPieceIgnoresTheChainAndEmptyPiecesKeepIt) {
    const Bytes key(32, 6), msg(70, 3);
    CbcEnvelope c(key);
    EncryptPiece(c, Bytes(96, 9), false);
    const auto chain = c.chain();
    EXPECT_TRUE(EncryptPiece(c, Bytes(), true).empty());
    EXPECT_EQ(c.chain(), chain);
    EXPECT_EQ(EncryptPiece(c, msg, false), Enc(msg, key));
}

// The envelope command and the text job encipher their buffers in place.
TEST(Envelope, InPlaceGivesTheSameBytes) {
    std::mt19937 rng(8);
    const Bytes key = test::RandomBytes(rng, 32);
    for (std::size_t len : {1u, 32u, 33u, 1000u, 4096u}) {
        const Bytes msg = test::RandomBytes(rng, len);
        Bytes buffer = msg;
        buffer.resize(CbcEnvelope::PaddedLength(len), 0xEE);  // stale bytes where padding goes
        CbcEnvelope enc(key);
        enc.Encrypt(std::span(buffer).first(len), buffer, false);
        ASSERT_EQ(buffer, Enc(msg, key)) << len;
        CbcEnvelope dec(key);
        dec.Decrypt(buffer, buffer, false);
        EXPECT_TRUE(std::equal(msg.begin(), msg.end(), buffer.begin())) << len;
    }
}

}  // namespace
}  // namespace sealwise
