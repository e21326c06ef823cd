#include <gtest/gtest.h>

#include "crypto/rijndael256.h"
#include "crypto/rijndael_tables.h"
#include "mcrypt_reference.h"
#include "test_util.h"

namespace sealwise {
namespace {

using test::McryptEcb;

using test::FromHex;
using test::ToHex;

Bytes EncryptBlock(int nb, int nk, const Bytes& key, Bytes block) {
    Rijndael256 c;
    c.SetKey(nb, nk, key);
    c.EncryptBlock(block);
    return block;
}

TEST(Rijndael, Fips197AppendixCVectors) {
    const Bytes pt = FromHex("00112233445566778899aabbccddeeff");
    EXPECT_EQ(ToHex(EncryptBlock(4, 4, FromHex("000102030405060708090a0b0c0d0e0f"), pt)),
              "69c4e0d86a7b0430d8cdb78070b4c55a");
    EXPECT_EQ(
        ToHex(EncryptBlock(4, 6, FromHex("000102030405060708090a0b0c0d0e0f1011121314151617"), pt)),
        "dda97ca4864cdfe06eaf70a0ec0d7191");
    EXPECT_EQ(
        ToHex(EncryptBlock(
            4, 8, FromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f"), pt)),
        "8ea2b7ca516745bfeafc49904b496089");
}

TEST(Rijndael, Block256Key256MatchesIndependentImplementation) {
    std::mt19937 rng(1);
    for (int i = 0; i < 200; ++i) {
        const Bytes key = test::RandomBytes(rng, 32), block = test::RandomBytes(rng, 32);
        const Bytes ours = EncryptBlock(8, 8, key, block);
        ASSERT_EQ(ToHex(ours), ToHex(McryptEcb(key, block, false))) << "case " << i;
    }
    // The all-zero key and block, the classic first known-answer case.
    EXPECT_EQ(ToHex(EncryptBlock(8, 8, Bytes(32), Bytes(32))),
              ToHex(McryptEcb(Bytes(32), Bytes(32), false)));
}

TEST(Rijndael, DecryptInvertsEncryptForEveryBlockAndKeyLength) {
    std::mt19937 rng(2);
    for (int nb : {4, 6, 8}) {
        for (int nk : {4, 6, 8}) {
            for (int i = 0; i < 20; ++i) {
                Rijndael256 c;
                c.SetKey(nb, nk, test::RandomBytes(rng, 4 * nk));
                const Bytes plain = test::RandomBytes(rng, 4 * nb);
                Bytes block = plain;
                c.EncryptBlock(block);
                EXPECT_NE(block, plain);
                c.DecryptBlock(block);
                ASSERT_EQ(block, plain) << "nb=" << nb << " nk=" << nk;
            }
        }
    }
}

TEST(Rijndael, RejectsBadParameters) {
    Rijndael256 c;
    Bytes block(32);
    EXPECT_THROW(c.EncryptBlock(block), std::out_of_range) << "no key set yet";
    EXPECT_THROW(c.SetKey(9, 8, Bytes(32)), std::out_of_range);
    EXPECT_THROW(c.SetKey(8, 3, Bytes(32)), std::out_of_range);
    EXPECT_THROW(c.SetKey(7, 8, Bytes(32)), std::out_of_range);
    EXPECT_THROW(c.SetKey(8, 8, Bytes(31)), std::out_of_range);
    EXPECT_THROW(Rijndael256(Bytes(31)), std::out_of_range);
    c.SetKey(8, 8, Bytes(32));
    Bytes shortBlock(31);
    EXPECT_THROW(c.EncryptBlock(shortBlock), std::out_of_range);
    EXPECT_THROW(c.DecryptBlock(shortBlock), std::out_of_range);
}

TEST(RijndaelTables, KnownSBoxEntriesAndInverse) {
    const RijndaelTables& t = Tables();
    for (auto [in, out] : {std::pair{0x00, 0x63}, {0x01, 0x7C}, {0x53, 0xED}, {0xFF, 0x16}}) {
        EXPECT_EQ(t.sBox[in], out) << in;
        EXPECT_EQ(t.inverseSBox[out], in) << in;
    }
    EXPECT_EQ(t.Multiply(0x57, 0x83), 0xC1);  // the worked example of FIPS-197, 4.2
    EXPECT_EQ(&Tables(), &t) << "built once and shared";
}

}  // namespace
}  // namespace sealwise
