#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_test_support.h"
#include "cli/commands.h"
#include "crypto/cbc_envelope.h"

namespace sealwise::cli {
namespace {

TEST(EnvelopeCli, RoundTripsBinaryInput) {
    std::string input = std::string("\0\x01\xff binary\r\n", 12) + std::string(100, 'x');
    const std::string key = "00112233445566778899aabbccddeeff";
    const Result enc = RunCli({"envelope", "encrypt", "--key-hex", key}, input);
    ASSERT_EQ(enc.status, 0) << enc.err;
    EXPECT_EQ(enc.out.size(), 128u);
    const Result dec = RunCli({"envelope", "decrypt", "--key-hex", key}, enc.out);
    ASSERT_EQ(dec.status, 0) << dec.err;
    EXPECT_EQ(dec.out.substr(0, input.size()), input);
    EXPECT_EQ(dec.out.substr(input.size()), std::string(128 - input.size(), '\0'));
}

TEST(EnvelopeCli, RefusesInputThatIsNotWholeBlocks) {
    for (std::size_t len : {0u, 31u, 33u}) {
        const Result r = RunCli({"envelope", "decrypt", "--key-hex", "00"}, std::string(len, 'a'));
        EXPECT_EQ(r.status, kFailure) << len;
        EXPECT_NE(r.err.find("multiple of 32"), std::string::npos);
        EXPECT_TRUE(r.out.empty());
    }
}

TEST(EnvelopeCli, UsageErrors) {
    EXPECT_EQ(RunCli({"envelope", "encrypt", "--key-hex", "abc"}, "").status, kUsage);
    EXPECT_EQ(RunCli({"envelope", "encrypt", "--key-hex", "zz"}, "").status, kUsage);
    EXPECT_EQ(RunCli({"envelope", "sideways", "--key-hex", "00"}, "").status, kUsage);
    EXPECT_EQ(RunCli({"envelope", "encrypt"}, "").status, kUsage);
    EXPECT_EQ(RunCli({"no-such-command"}, "").status, kUsage);
    const Result help = RunCli({"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("envelope"), std::string::npos);
    EXPECT_NE(RunCli({"--version"}, "").out.find("sealwise-cli "), std::string::npos);
}

}  // namespace
}  // namespace sealwise::cli

namespace sealwise::cli {
namespace {

// The command streams its input in pieces; the bytes must equal the one-shot envelope.
TEST(EnvelopeCli, StreamingEqualsOneShotAcrossPieces) {
    std::string input(3 * 1024 * 1024 + 33, '\0');
    for (std::size_t i = 0; i < input.size(); ++i)
        input[i] = static_cast<char>((i * 2654435761u) >> 13);
    const std::string keyHex(64, '7');
    const Result enc = RunCli({"envelope", "encrypt", "--key-hex", keyHex}, input);
    ASSERT_EQ(enc.status, 0) << enc.err;
    const Bytes key(32, 0x77);
    const Bytes oneShot = SealEnvelope(Bytes(input.begin(), input.end()), key);
    ASSERT_EQ(enc.out.size(), oneShot.size());
    EXPECT_EQ(enc.out, std::string(oneShot.begin(), oneShot.end()));

    const Result dec = RunCli({"envelope", "decrypt", "--key-hex", keyHex}, enc.out);
    ASSERT_EQ(dec.status, 0);
    EXPECT_EQ(dec.out.substr(0, input.size()), input);
    EXPECT_EQ(dec.out.find_first_not_of('\0', input.size()), std::string::npos);
}

}  // namespace
}  // namespace sealwise::cli
