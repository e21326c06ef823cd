#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/strings.h"
#include "cli/cli_test_support.h"
#include "cli/commands.h"
#include "core/files/file_test_support.h"
#include "core/test_util.h"

namespace sealwise::cli {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

const std::string kCli = SEALWISE_CLI_PATH;
const std::string kWeak = "--kdf-memory 1 --kdf-ops 1";

class ModernCli : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SW_MODERN_PW", "correct horse battery staple", 1);
        setenv("SW_WRONG_PW", "correct horse battery stapler", 1);
        WriteFile(dir / "in/proj/sub/a.txt", test::PatternBytes(3000, 1));
        WriteFile(dir / "in/proj/b.bin", test::PatternBytes(1'500'000, 2));
        fs::create_directories(dir / "in/proj/empty");
    }
    Result Cli(Args args, const std::string& input = {}, const std::string& pw = "SW_MODERN_PW") {
        args.insert(args.begin() + 1, {"--passphrase-env", pw});
        return RunCli(args, input);
    }
    Result EncryptModern(const std::string& container, const std::string& input) {
        return Cli({"encrypt", "--format", "modern", "--kdf-memory", "1", "--kdf-ops", "1", "-o",
                    container, input});
    }
    // Runs a bash command line (pipefail on); the exit status.
    int Shell(const std::string& command) {
        const std::string script = dir / "command.sh";
        std::ofstream(script) << "set -o pipefail\n" << command << "\n";
        const int raw = std::system(("bash '" + script + "'").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    test::ScratchDir dir;
    test::LanguageScope english_{kOffsetEnglish};
};

TEST_F(ModernCli, EncryptListVerifyDecryptRoundTrip) {
    const Result enc = EncryptModern(dir / "m.vesk", dir / "in/proj");
    ASSERT_EQ(enc.status, kOk) << enc.err;
    const Result list = Cli({"list", dir / "m.vesk"});
    ASSERT_EQ(list.status, kOk) << list.err;
    EXPECT_EQ(list.out,
              "proj/\t0\nproj/b.bin\t1500000\nproj/empty/\t0\nproj/sub/\t0\n"
              "proj/sub/a.txt\t3000\n");
    const Result verify = Cli({"verify", dir / "m.vesk"});
    EXPECT_EQ(verify.status, kOk) << verify.err;
    EXPECT_EQ(verify.out, "All 5 entries are sound.\n");
    const Result dec = Cli({"decrypt", "-C", dir / "out", dir / "m.vesk"});
    ASSERT_EQ(dec.status, kOk) << dec.err;
    EXPECT_EQ(ReadFile(dir / "out/proj/b.bin"), ReadFile(dir / "in/proj/b.bin"));
    EXPECT_EQ(ReadFile(dir / "out/proj/sub/a.txt"), ReadFile(dir / "in/proj/sub/a.txt"));
    EXPECT_TRUE(fs::is_directory(dir / "out/proj/empty"));
}

TEST_F(ModernCli, DamagedContainerFailsNamingTheEntryAndRestoresNothingOfIt) {
    ASSERT_EQ(EncryptModern(dir / "m.vesk", dir / "in/proj").status, kOk);
    Bytes bytes = ReadFile(dir / "m.vesk");
    bytes[bytes.size() / 2] ^= 0x10;  // inside the data of proj/b.bin
    WriteFile(dir / "bad.vesk", bytes);
    const Result verify = Cli({"verify", dir / "bad.vesk"});
    EXPECT_EQ(verify.status, kFailure);
    EXPECT_NE(verify.err.find("Damaged or tampered with: proj/b.bin"), std::string::npos)
        << verify.err;
    const Result dec = Cli({"decrypt", "-C", dir / "out", dir / "bad.vesk"});
    EXPECT_EQ(dec.status, kFailure);
    EXPECT_NE(dec.err.find("The entry \"proj/b.bin\" is damaged or has been tampered with"),
              std::string::npos)
        << dec.err;
    EXPECT_FALSE(fs::exists(dir / "out/proj/b.bin"));
    const Result list = Cli({"list", dir / "bad.vesk"});
    EXPECT_EQ(list.status, kFailure);
}

TEST_F(ModernCli, ListJsonGivesTheClassicFieldsAndTheModernOnes) {
    fs::create_symlink("sub/a.txt", dir / "in/proj/link");
    ::chmod((dir / "in/proj/sub/a.txt").c_str(), 0600);
    ::chmod((dir / "in/proj/empty").c_str(), 0750);
    const timespec old[2] = {{0, UTIME_OMIT}, {1'000'000'000, 250}};
    ::utimensat(AT_FDCWD, (dir / "in/proj/sub/a.txt").c_str(), old, 0);
    ::utimensat(AT_FDCWD, (dir / "in/proj/empty").c_str(), old, 0);
    ::utimensat(AT_FDCWD, (dir / "in/proj/link").c_str(), old, AT_SYMLINK_NOFOLLOW);
    ASSERT_EQ(EncryptModern(dir / "m.vesk", dir / "in/proj").status, kOk);
    const Result r = Cli({"list", "--json", dir / "m.vesk"});
    ASSERT_EQ(r.status, kOk) << r.err;
    // One object per line, in container order; the entries with unknown times are checked by
    // their other fields.
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 8u) << r.out;
    EXPECT_EQ(lines.front(), "[");
    EXPECT_EQ(lines.back(), "]");
    const std::pair<std::size_t, std::string> expected[] = {
        {3,
         "  {\"name\": \"proj/empty\", \"size\": 0, \"type\": \"directory\", \"mode\": "
         "\"0750\", \"mtime\": 1000000000, \"mtime_ns\": 250},"},
        {4,
         "  {\"name\": \"proj/link\", \"size\": 0, \"type\": \"symlink\", \"mode\": "
         "\"0777\", \"mtime\": 1000000000, \"mtime_ns\": 250, \"target\": \"sub/a.txt\"},"},
        {6,
         "  {\"name\": \"proj/sub/a.txt\", \"size\": 3000, \"type\": \"file\", \"mode\": "
         "\"0600\", \"mtime\": 1000000000, \"mtime_ns\": 250}"},
    };
    for (const auto& [index, line] : expected) EXPECT_EQ(lines[index], line);
    EXPECT_EQ(lines[1].rfind("  {\"name\": \"proj\", \"size\": 0, \"type\": \"directory\"", 0), 0u)
        << lines[1];
    EXPECT_EQ(
        lines[2].rfind("  {\"name\": \"proj/b.bin\", \"size\": 1500000, \"type\": \"file\"", 0), 0u)
        << lines[2];
}

TEST_F(ModernCli, ListJsonOfADamagedContainerEndsWithTheDamagedEntry) {
    ASSERT_EQ(EncryptModern(dir / "m.vesk", dir / "in/proj").status, kOk);
    Bytes bytes = ReadFile(dir / "m.vesk");
    bytes[bytes.size() / 2] ^= 0x10;  // inside the data of proj/b.bin
    WriteFile(dir / "bad.vesk", bytes);
    const Result r = Cli({"list", "--json", dir / "bad.vesk"});
    EXPECT_EQ(r.status, kFailure);
    EXPECT_EQ(r.out.substr(0, 3), "[\n ") << r.out;
    const std::string tail = ",\n  {\"name\": \"proj/b.bin\", \"damaged\": true}\n]\n";
    ASSERT_GE(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail) << r.out;
    EXPECT_NE(r.err.find("The entry \"proj/b.bin\" is damaged"), std::string::npos) << r.err;
}

TEST_F(ModernCli, WrongPassphraseHasItsOwnMessageAndWritesNothing) {
    ASSERT_EQ(EncryptModern(dir / "m.vesk", dir / "in/proj").status, kOk);
    for (const char* command : {"decrypt", "list", "verify"}) {
        Args args{command, dir / "m.vesk"};
        if (std::string(command) == "decrypt") args = {command, "-C", dir / "out", dir / "m.vesk"};
        const Result r = Cli(args, {}, "SW_WRONG_PW");
        EXPECT_EQ(r.status, kFailure) << command;
        EXPECT_EQ(r.err,
                  "sealwise-cli: error: The passphrase (or the set of shared keys) is wrong; "
                  "nothing was written.\n")
            << command;
    }
    EXPECT_TRUE(!fs::exists(dir / "out") || fs::is_empty(dir / "out"));
}

TEST_F(ModernCli, VerifyChecksClassicContainersCompletely) {
    ASSERT_EQ(Cli({"encrypt", "-o", dir / "c.vesk", dir / "in/proj"}).status, kOk);
    const Result sound = Cli({"verify", dir / "c.vesk"});
    EXPECT_EQ(sound.status, kOk) << sound.err;
    EXPECT_EQ(sound.out, "All 2 entries are sound.\n");
    // A byte deep inside the large entry: listing still works, its data does not.
    Bytes bytes = ReadFile(dir / "c.vesk");
    bytes[bytes.size() / 2] ^= 0x10;
    WriteFile(dir / "bad.vesk", bytes);
    const Result damaged = Cli({"verify", dir / "bad.vesk"});
    EXPECT_EQ(damaged.status, kFailure);
    EXPECT_NE(damaged.err.find("Damaged or tampered with: proj/b.bin"), std::string::npos)
        << damaged.err;
    EXPECT_EQ(damaged.err.find("proj/sub/a.txt"), std::string::npos) << damaged.err;
    EXPECT_NE(damaged.err.find("1 entries are damaged"), std::string::npos) << damaged.err;
    EXPECT_EQ(Cli({"verify", dir / "c.vesk"}, {}, "SW_WRONG_PW").status, kFailure);
}

TEST_F(ModernCli, TextArmourRoundTripAndTamperedArmour) {
    const std::string text = "Pay Bob 100 EUR\nGrüße\n";
    const Result enc =
        Cli({"encrypt-text", "--format", "modern", "--kdf-memory", "1", "--kdf-ops", "1"}, text);
    ASSERT_EQ(enc.status, kOk) << enc.err;
    EXPECT_EQ(enc.out.rfind("-----BEGIN SEALWISE MESSAGE-----\r\n", 0), 0u);
    const Result dec = Cli({"decrypt-text"}, enc.out);
    EXPECT_EQ(dec.status, kOk) << dec.err;
    EXPECT_EQ(dec.out, text);
    std::string bad = enc.out;
    bad[60] = bad[60] == 'A' ? 'B' : 'A';
    const Result tampered = Cli({"decrypt-text"}, bad);
    EXPECT_EQ(tampered.status, kFailure);
    EXPECT_EQ(tampered.out, "");
    EXPECT_EQ(tampered.err,
              "sealwise-cli: error: The encrypted text is damaged or has been tampered with.\n");
}

// Costs a reader accepts are written, those below the defaults with a warning; costs outside
// what readers accept are refused before anything is written.
TEST_F(ModernCli, KeyDerivationCostsAreCheckedAgainstWhatReadersAccept) {
    const std::string warning = "warning: The key derivation is weaker than the default";
    struct Case {
        Args costs;
        int status;
        bool warns;
    } cases[] = {
        {{"--kdf-memory", "1", "--kdf-ops", "1"}, kOk, true},
        {{"--kdf-memory", "32", "--kdf-ops", "3"}, kOk, true},
        {{"--kdf-memory", "64", "--kdf-ops", "3"}, kOk, true},
        {{"--kdf-memory", "256", "--kdf-ops", "2"}, kOk, true},
        {{"--kdf-memory", "257", "--kdf-ops", "3"}, kOk, false},
        {{"--kdf-memory", "0", "--kdf-ops", "1"}, kUsage, false},
        {{"--kdf-memory", "5000", "--kdf-ops", "3"}, kUsage, false},
        {{"--kdf-memory", "1", "--kdf-ops", "0"}, kUsage, false},
        {{"--kdf-memory", "1", "--kdf-ops", "101"}, kUsage, false},
    };
    for (const Case& c : cases) {
        const std::string label = c.costs[1] + " MiB, " + c.costs[3] + " passes";
        fs::remove(dir / "m.vesk");
        Args args{"encrypt", "--format", "modern", "-o", dir / "m.vesk", dir / "in/proj/sub"};
        args.insert(args.begin() + 1, c.costs.begin(), c.costs.end());
        const Result r = Cli(args);
        EXPECT_EQ(r.status, c.status) << label << ": " << r.err;
        EXPECT_EQ(r.err.find(warning) != std::string::npos, c.warns) << label << ": " << r.err;
        EXPECT_EQ(fs::exists(dir / "m.vesk"), c.status == kOk) << label;
    }
}

TEST_F(ModernCli, RatePrintsGuessesAndEncryptWarnsForGuessablePassphrases) {
    std::ostringstream out, err;
    std::istringstream in;
    Io io{in, out, err};
    ASSERT_EQ(cli::Run({"rate", "password"}, io), kOk);
    EXPECT_NE(out.str().find("\nguesses: "), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\nwarning: This passphrase is common or easy to guess"),
              std::string::npos);
    setenv("SW_COMMON_PW", "password", 1);
    for (const Args& args : {Args{"encrypt-text"}, Args{"encrypt-text", "--format", "modern"},
                             Args{"encrypt", "-o", dir / "c.vesk", dir / "in/proj"}}) {
        const Result r = Cli(args, "text", "SW_COMMON_PW");
        EXPECT_EQ(r.status, kOk) << r.err;  // a warning, never a refusal
        EXPECT_NE(r.err.find("sealwise-cli: warning: This passphrase is common"), std::string::npos)
            << args[0];
    }
    const Result strong = Cli({"encrypt-text"}, "text");
    EXPECT_EQ(strong.err, "");
}

TEST_F(ModernCli, PipeRoundTripWithBoundedMemory) {
    // 96 MiB through the pipe; each side must stay far below it.
    Shell("head -c 100663296 /dev/urandom > '" + dir / "in/big.bin" + "'");
    const std::string keys = " --passphrase-env SW_MODERN_PW -q ";
    const std::string command =
        "/usr/bin/time -f %M -o '" + dir / "enc.rss" + "' " + kCli + " encrypt --format modern " +
        kWeak + keys + "-o - '" + dir / "in/big.bin" + "' | /usr/bin/time -f %M -o '" +
        dir / "dec.rss" + "' " + kCli + " decrypt" + keys + "-C '" + dir / "out" + "' -";
    ASSERT_EQ(Shell(command), 0);
    EXPECT_EQ(ReadFile(dir / "out/big.bin"), ReadFile(dir / "in/big.bin"));
    for (const char* side : {"enc.rss", "dec.rss"}) {
        std::ifstream rss(dir / side);
        long kib = 0;
        rss >> kib;
        EXPECT_GT(kib, 0) << side;
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's shadow memory is not the program's own
        EXPECT_LT(kib, 64 * 1024) << side;  // the key derivation takes 1 MiB here
#endif
    }
}

TEST_F(ModernCli, SparseFileOfThreeGibibytesWorksModernAndIsRefusedClassic) {
    const std::string sparse = dir / "in/sparse.img";
    ASSERT_EQ(Shell("truncate -s 3G '" + sparse + "' && printf end >> '" + sparse + "'"), 0);
    const Result classic = Cli({"encrypt", "-o", dir / "c.vesk", sparse});
    EXPECT_EQ(classic.status, kFailure);
    EXPECT_NE(classic.err.find("too large"), std::string::npos) << classic.err;
    ASSERT_EQ(EncryptModern(dir / "m.vesk", sparse).status, kOk);
    EXPECT_LT(fs::file_size(dir / "m.vesk"), 1u << 20);
    ASSERT_EQ(Cli({"decrypt", "-C", dir / "out", dir / "m.vesk"}).status, kOk);
    const std::string back = dir / "out/sparse.img";
    EXPECT_EQ(fs::file_size(back), (3ull << 30) + 3);
    struct stat st {};
    ASSERT_EQ(::stat(back.c_str(), &st), 0);
    EXPECT_LT(st.st_blocks * 512, 1 << 20);  // restored sparse
    std::ifstream tail(back, std::ios::binary);
    tail.seekg(-3, std::ios::end);
    std::string end(3, '\0');
    tail.read(end.data(), 3);
    EXPECT_EQ(end, "end");
}

}  // namespace
}  // namespace sealwise::cli
