#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <filesystem>
#include <optional>
#include <random>
#include <tuple>

#include "../files/file_test_support.h"
#include "app/msg.h"
#include "core/modern/modern_test_keys.h"
#include "core/test_util.h"
#include "files/io/posix_io.h"
#include "files/jobs/file_job_observer.h"
#include "modern/byte_stream.h"
#include "modern/modern_inspect.h"
#include "modern/modern_restore.h"
#include "modern/modern_text.h"
#include "modern/modern_writer.h"

namespace sealwise::modern {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;

struct Recorder : FileJobObserver {
    void ReportError(const std::string& item, const SealError& error) override {
        errors.push_back({item, error.stringId()});
    }
    OverwriteAnswer AskOverwrite(const std::string&) override { return {answer, {}}; }
    std::vector<std::pair<std::string, Msg>> errors;
    OverwriteChoice answer = OverwriteChoice::kSkip;
};

void SetTimes(const std::string& path, int64_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// A tree with files of several sizes, an empty directory, a symbolic link, modes 0600/0755
// and old modification times.
std::string MakeTree(const ScratchDir& scratch) {
    const std::string root = scratch / "in/tree";
    std::mt19937 rng(3);
    WriteFile(root + "/small.txt", Bytes{'h', 'i', '\n'});
    WriteFile(root + "/sub/pattern.txt", test::PatternBytes(kPieceSize + 777));
    WriteFile(root + "/sub/random.bin", test::RandomBytes(rng, 5000));
    WriteFile(root + "/empty-file", {});
    fs::create_directories(root + "/empty/deeper");
    fs::create_symlink("../small.txt", root + "/sub/link");
    ::chmod((root + "/small.txt").c_str(), 0600);
    ::chmod((root + "/sub/random.bin").c_str(), 0755);
    ::chmod((root + "/empty").c_str(), 0700);
    SetTimes(root + "/small.txt", 981158400);
    SetTimes(root + "/sub/link", 981158401);
    SetTimes(root + "/empty/deeper", 700000000);
    SetTimes(root + "/sub", 800000000);
    return root;
}

Bytes Seal(const std::vector<std::string>& inputs,
           const std::vector<std::string>& keys = kTestKeys) {
    Recorder recorder;
    MemorySink sink;
    ModernWriteOptions options;
    options.cost = kTestCost;
    const ModernWriteSummary summary = ModernWriteJob(recorder).Run(inputs, sink, keys, options);
    EXPECT_EQ(summary.failed, 0);
    EXPECT_TRUE(recorder.errors.empty());
    return sink.bytes;
}

struct Restored {
    ModernRestoreSummary summary;
    std::vector<std::pair<std::string, Msg>> errors;
    std::optional<Msg> thrown;  // a failure before anything was written
};

Restored Restore(std::span<const uint8_t> container, const std::string& out,
                 const std::vector<std::string>& keys = kTestKeys) {
    Restored result;
    Recorder recorder;
    MemorySource source(container);
    try {
        result.summary = ModernRestoreJob(recorder).Run(source, "c", out, keys);
    } catch (const SealError& error) {
        result.thrown = error.stringId();
    }
    result.errors = recorder.errors;
    return result;
}

void ExpectSameEntry(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    ASSERT_EQ(::lstat(a.c_str(), &sa), 0) << a;
    ASSERT_EQ(::lstat(b.c_str(), &sb), 0) << b;
    EXPECT_EQ(sa.st_mode, sb.st_mode) << b;
    if (!S_ISDIR(sa.st_mode)) {
        EXPECT_EQ(sa.st_size, sb.st_size) << b;
    }
    EXPECT_EQ(sa.st_mtim.tv_sec, sb.st_mtim.tv_sec) << b;
    EXPECT_EQ(sa.st_mtim.tv_nsec, sb.st_mtim.tv_nsec) << b;
    if (S_ISREG(sa.st_mode)) {
        EXPECT_EQ(ReadFile(a), ReadFile(b)) << b;
    }
    if (S_ISLNK(sa.st_mode)) {
        EXPECT_EQ(fs::read_symlink(a), fs::read_symlink(b)) << b;
    }
}

TEST(ModernContainer, TreeComesBackWithLinksEmptyDirectoriesModesAndTimes) {
    ScratchDir scratch;
    const std::string root = MakeTree(scratch);
    const Bytes container = Seal({root});
    fs::create_directory(scratch / "out");
    const Restored r = Restore(container, scratch / "out");
    ASSERT_EQ(r.thrown, std::nullopt);
    EXPECT_TRUE(r.errors.empty());
    EXPECT_FALSE(r.summary.damaged);
    EXPECT_EQ(r.summary.entries, 9);
    EXPECT_EQ(r.summary.restored, 9);
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        ExpectSameEntry(e.path().string(),
                        scratch / ("out/tree/" + e.path().lexically_relative(root).string()));
    }
    ExpectSameEntry(root, scratch / "out/tree");
}

TEST(ModernContainer, ListingReadsEveryEntryWithoutWriting) {
    ScratchDir scratch;
    const Bytes container = Seal({MakeTree(scratch)});
    MemorySource source(container);
    std::vector<std::string> names;
    const Inspection inspection =
        InspectModern(source, "c", kTestKeys, [&](const EntryMeta& e) { names.push_back(e.name); });
    EXPECT_FALSE(inspection.damaged);
    EXPECT_EQ(inspection.soundEntries, names.size());
    const std::vector<std::string> expected{
        "tree",     "tree/empty",    "tree/empty/deeper",    "tree/empty-file",    "tree/small.txt",
        "tree/sub", "tree/sub/link", "tree/sub/pattern.txt", "tree/sub/random.bin"};
    EXPECT_EQ(names, expected);
}

TEST(ModernContainer, SharedKeysAreAllNeededInTheirOrder) {
    ScratchDir scratch;
    WriteFile(scratch / "f", Bytes{1, 2, 3});
    const std::vector<std::string> keys{"first key", "second key", "third key"};
    const Bytes container = Seal({scratch / "f"}, keys);
    const std::vector<std::vector<std::string>> wrong{
        {"first key", "second key"},
        {"second key", "first key", "third key"},
        {"first key", "second key", "third keY"},
        {"first keysecond key", "third key"},
    };
    for (const auto& attempt : wrong) {
        fs::create_directories(scratch / "wrong");
        EXPECT_EQ(Restore(container, scratch / "wrong", attempt).thrown,
                  Msg::ModernWrongPassphrase);
        EXPECT_TRUE(fs::is_empty(scratch / "wrong"));
    }
    fs::create_directories(scratch / "right");
    EXPECT_EQ(Restore(container, scratch / "right", keys).thrown, std::nullopt);
    EXPECT_EQ(ReadFile(scratch / "right/f"), (Bytes{1, 2, 3}));
}

// Whatever a damaged container leaves behind: only files with their true content, and no
// temporary files.
void ExpectOnlyTrueFiles(const std::string& out, const std::string& original) {
    for (const auto& e : fs::recursive_directory_iterator(out)) {
        const std::string name = e.path().filename().string();
        EXPECT_EQ(name.rfind(".sealwise-", 0), std::string::npos) << e.path();
        if (e.is_regular_file() && !e.is_symlink()) {
            EXPECT_EQ(ReadFile(e.path().string()),
                      ReadFile(original + "/" + e.path().lexically_relative(out).string()))
                << e.path();
        }
    }
}

bool ReportedDamage(const Restored& r) {
    if (r.thrown == Msg::ModernDamagedContainer) return true;
    if (r.thrown || !r.summary.damaged || r.errors.size() != 1) return false;
    const Msg id = r.errors.front().second;
    return id == Msg::ModernDamagedContainer || id == Msg::ModernDamagedEntry;
}

TEST(ModernContainer, EveryChangedByteIsReportedAsDamage) {
    ScratchDir scratch;
    const std::string root = scratch / "in";
    WriteFile(root + "/a.txt", Bytes{'a', 'b', 'c'});
    WriteFile(root + "/b.txt", test::PatternBytes(300));
    fs::create_directories(root + "/d");
    const Bytes container = Seal({root});
    ASSERT_LT(container.size(), 1000u);
    for (std::size_t i = 0; i < container.size(); ++i) {
        {
            const uint8_t flip = i % 2 ? 0x80 : 0x01;  // the lowest and the highest bit
            Bytes bad = container;
            bad[i] ^= flip;
            const std::string out =
                scratch / ("out" + std::to_string(i) + "-" + std::to_string(flip));
            fs::create_directory(out);
            const Restored r = Restore(bad, out);
            EXPECT_TRUE(ReportedDamage(r)) << "byte " << i << " flip " << int(flip);
            ExpectOnlyTrueFiles(out, scratch.path());
            // The entry the damage hit is not there under its name.
            if (!r.errors.empty() && r.errors.front().second == Msg::ModernDamagedEntry) {
                const std::string hit = out + "/" + r.errors.front().first;
                EXPECT_FALSE(fs::exists(fs::symlink_status(hit)) && fs::is_regular_file(hit))
                    << hit;
            }
            fs::remove_all(out);
        }
    }
}

TEST(ModernContainer, EveryTruncationIsReportedAsDamage) {
    ScratchDir scratch;
    const std::string root = scratch / "in";
    WriteFile(root + "/a.txt", test::PatternBytes(kPieceSize + 10));
    WriteFile(root + "/b.txt", Bytes{'x'});
    const Bytes container = Seal({root});
    std::vector<std::size_t> lengths;
    // Every length around the header and the last messages, sampled in the large pieces.
    for (std::size_t n = 0; n < container.size();
         n += (n < 300 || n + 300 > container.size()) ? 1 : 4099) {
        lengths.push_back(n);
    }
    for (const std::size_t n : lengths) {
        const std::string out = scratch / ("out" + std::to_string(n));
        fs::create_directory(out);
        const Restored r = Restore(std::span(container).first(n), out);
        EXPECT_TRUE(ReportedDamage(r)) << "length " << n;
        ExpectOnlyTrueFiles(out, scratch.path());
        EXPECT_FALSE(fs::exists(out + "/in/b.txt")) << n;  // the last entry never completes
        fs::remove_all(out);
    }
    // And a byte too many.
    Bytes longer = container;
    longer.push_back(0);
    fs::create_directory(scratch / "longer");
    EXPECT_TRUE(ReportedDamage(Restore(longer, scratch / "longer")));
}

TEST(ModernContainer, WrongPassphraseIsRecognisedBeforeAnythingIsWritten) {
    ScratchDir scratch;
    const Bytes container = Seal({MakeTree(scratch)});
    fs::create_directory(scratch / "out");
    const Restored r = Restore(container, scratch / "out", {"correct horse battery stapler"});
    EXPECT_EQ(r.thrown, Msg::ModernWrongPassphrase);
    EXPECT_TRUE(fs::is_empty(scratch / "out"));
}

TEST(ModernContainer, ExistingFilesAreKeptOrReplacedAsAnswered) {
    ScratchDir scratch;
    WriteFile(scratch / "in/f", Bytes{'n', 'e', 'w'});
    ::chmod((scratch / "in/f").c_str(), 0640);
    const Bytes container = Seal({scratch / "in/f"});
    // A replaced file takes the stored permissions, not those of the file it replaces.
    for (const auto& [answer, expected, mode] :
         {std::tuple{OverwriteChoice::kSkip, Bytes{'o', 'l', 'd'}, 0604},
          std::tuple{OverwriteChoice::kOverwrite, Bytes{'n', 'e', 'w'}, 0640}}) {
        const std::string out = scratch / ("out" + std::to_string(int(answer)));
        WriteFile(out + "/f", Bytes{'o', 'l', 'd'});
        ::chmod((out + "/f").c_str(), 0604);
        Recorder recorder;
        recorder.answer = answer;
        MemorySource source(container);
        const ModernRestoreSummary s = ModernRestoreJob(recorder).Run(source, "c", out, kTestKeys);
        EXPECT_EQ(ReadFile(out + "/f"), expected);
        EXPECT_EQ(s.skipped, answer == OverwriteChoice::kSkip ? 1 : 0);
        struct stat st {};
        ASSERT_EQ(::stat((out + "/f").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, static_cast<unsigned>(mode));
    }
}

TEST(ModernContainer, RestoringNeverWritesThroughALinkOnDisk) {
    ScratchDir scratch;
    WriteFile(scratch / "in/d/f", Bytes{'x'});
    const Bytes container = Seal({scratch / "in/d"});
    fs::create_directories(scratch / "out");
    fs::create_directories(scratch / "elsewhere");
    fs::create_directory_symlink(scratch / "elsewhere", scratch / "out/d");
    const Restored r = Restore(container, scratch / "out");
    EXPECT_FALSE(fs::exists(scratch / "elsewhere/f"));
    EXPECT_EQ(r.summary.failed, 2);  // the directory and the file below it
}

TEST(ModernText, RoundTripKeepsTheExactBytes) {
    const std::vector<std::string> texts{"x", "Grüße\r\nzwei\nZeilen\n", std::string(3 << 20, 'z')};
    for (const std::string& text : texts) {
        const std::string armour = SealText(text, kTestKeys, kTestCost);
        EXPECT_TRUE(armour.starts_with("-----BEGIN SEALWISE MESSAGE-----\r\n"));
        EXPECT_TRUE(armour.ends_with("\r\n-----END SEALWISE MESSAGE-----\r\n"));
        EXPECT_TRUE(LooksLikeModernArmour(armour));
        EXPECT_EQ(OpenText(armour, kTestKeys), text);
        // Line breaks changed to LF on the way, white space around: still the same text.
        std::string lf;
        for (char c : armour)
            if (c != '\r') lf += c;
        EXPECT_EQ(OpenText("\n  " + lf + "\n\n", kTestKeys), text);
    }
}

std::optional<Msg> OpenTextFailure(const std::string& armour,
                                   const std::vector<std::string>& keys = kTestKeys) {
    try {
        OpenText(armour, keys);
    } catch (const SealError& e) {
        return e.stringId();
    }
    return std::nullopt;
}

TEST(ModernText, EveryChangedByteAndEveryTruncationIsDamage) {
    const std::string armour = SealText("Pay Bob 100 EUR", kTestKeys, kTestCost);
    for (std::size_t i = 0; i < armour.size(); ++i) {
        std::string bad = armour;
        bad[i] = static_cast<char>(bad[i] ^ 0x01);
        EXPECT_EQ(OpenTextFailure(bad), Msg::ModernDamagedText) << "byte " << i;
    }
    for (std::size_t n = 0; n + 2 < armour.size(); ++n) {
        EXPECT_EQ(OpenTextFailure(armour.substr(0, n)), Msg::ModernDamagedText) << n;
    }
}

TEST(ModernText, WrongPassphraseAndWrongContentHaveTheirOwnMessages) {
    const std::string armour = SealText("secret", kTestKeys, kTestCost);
    EXPECT_EQ(OpenTextFailure(armour, {"another"}), Msg::ModernWrongPassphrase);
    EXPECT_FALSE(LooksLikeModernArmour("just text\nwithout the lines"));
}

TEST(ModernWriter, SpecialFilesAreReportedAndLeftOut) {
    ScratchDir scratch;
    WriteFile(scratch / "in/f", Bytes{'x'});
    ASSERT_EQ(::mkfifo((scratch / "in/pipe").c_str(), 0600), 0);
    Recorder recorder;
    MemorySink sink;
    ModernWriteOptions options;
    options.cost = kTestCost;
    const ModernWriteSummary s =
        ModernWriteJob(recorder).Run({scratch / "in"}, sink, kTestKeys, options);
    EXPECT_EQ(s.failed, 1);
    EXPECT_EQ(s.entries, 2);
    ASSERT_EQ(recorder.errors.size(), 1u);
    EXPECT_EQ(recorder.errors.front().first, scratch / "in/pipe");
}

}  // namespace
}  // namespace sealwise::modern

namespace sealwise::modern {
namespace {

TEST(ModernVectors, PublishedVectorsOpen) {
    const std::vector<std::string> keys{"correct horse"};
    const Bytes armour = ReadFile(std::string(SEALWISE_TEST_DATA) + "/modern/hello.armour");
    EXPECT_EQ(OpenText(std::string(armour.begin(), armour.end()), keys), "Hello, Sealwise!\n");
    const Bytes container = ReadFile(std::string(SEALWISE_TEST_DATA) + "/modern/one-file.vesk");
    ScratchDir scratch;
    MemorySource source(container);
    Recorder recorder;
    const ModernRestoreSummary s =
        ModernRestoreJob(recorder).Run(source, "vector", scratch.path(), keys);
    EXPECT_EQ(s.restored, 1);
    EXPECT_EQ(ReadFile(scratch / "vec.txt"), (Bytes{'a', '\n'}));
}

}  // namespace
}  // namespace sealwise::modern

namespace sealwise::modern {
namespace {

TEST(ModernWriter, TheContainerBeingWrittenIsLeftOutOfItsOwnInputs) {
    ScratchDir scratch;
    WriteFile(scratch / "in/f", Bytes{'x'});
    const UniqueFd output(::open((scratch / "in/out.part").c_str(), O_RDWR | O_CREAT, 0600));
    FdSink sink(output.get());
    Recorder recorder;
    ModernWriteOptions options;
    options.cost = kTestCost;
    options.containerFd = output.get();
    const ModernWriteSummary s =
        ModernWriteJob(recorder).Run({scratch / "in"}, sink, kTestKeys, options);
    EXPECT_EQ(s.failed, 0);
    EXPECT_EQ(s.entries, 2);  // "in" and "in/f"
}

}  // namespace
}  // namespace sealwise::modern
