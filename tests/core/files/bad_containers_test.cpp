// The crafted bad containers of tests/data/bad-containers, each restored by the real job and
// compared with what manifest.tsv expects: the failure of the run or of each entry, the files
// restored, and nothing else created anywhere.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "file_test_support.h"
#include "files/jobs/container_listing.h"
#include "files/jobs/decrypt_container_job.h"
#include "text/text_crypt.h"

namespace sealwise {
namespace {

const std::string kCorpus = std::string(SEALWISE_TEST_DATA) + "/bad-containers";

struct BadCase {
    std::string file;
    std::vector<int> runErrors;  // accepted ids of a failed run; empty: the run completes
    std::vector<std::string> restored;
    std::vector<int> entryErrors;
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> out;
    if (text == "-") return out;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);) out.push_back(part);
    return out;
}

std::vector<int> Ids(const std::string& text, char separator) {
    std::vector<int> out;
    for (const auto& part : Split(text, separator)) out.push_back(std::stoi(part));
    if (out == std::vector<int>{0}) out.clear();
    return out;
}

std::vector<BadCase> LoadManifest() {
    std::vector<BadCase> cases;
    std::ifstream in(kCorpus + "/manifest.tsv");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const auto fields = Split(line, '\t');
        if (fields.size() < 4) throw std::runtime_error("bad manifest line: " + line);
        BadCase c{fields[0], Ids(fields[1], '|'), Split(fields[2], ','), Ids(fields[3], ',')};
        std::sort(c.restored.begin(), c.restored.end());
        cases.push_back(std::move(c));
    }
    return cases;
}

Bytes CorpusKey() { return TextKeyFromPassphrase("bad containers"); }

TEST(BadContainers, EachGivesItsExpectedOutcomeAndWritesOnlyBelowTheOutput) {
    const auto cases = LoadManifest();
    ASSERT_GE(cases.size(), 40u);
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.file);
        test::ScratchDir dir;
        test::WriteFile(dir / "c.vesk", test::ReadFile(kCorpus + "/" + c.file));
        std::filesystem::create_directories(dir / "out");
        test::RecordingObserver observer;  // answers "skip" to every overwrite question
        int runError = 0;                  // the corpus lists ids by number
        try {
            DecryptContainerJob job(observer);
            job.Run(dir / "c.vesk", dir / "out", CorpusKey());
        } catch (const SealError& e) {
            runError = static_cast<int>(e.stringId());
        }
        if (c.runErrors.empty()) {
            EXPECT_EQ(runError, 0);
        } else {
            EXPECT_NE(std::find(c.runErrors.begin(), c.runErrors.end(), runError),
                      c.runErrors.end())
                << "run failed with " << runError;
        }
        std::vector<int> entryErrors;
        for (const auto& [item, id] : observer.errors) entryErrors.push_back(static_cast<int>(id));
        EXPECT_EQ(entryErrors, c.entryErrors);
        // Restored files exactly; no temporary file, nothing beside the output directory.
        EXPECT_EQ(test::FilesBelow(dir / "out"), c.restored);
        EXPECT_EQ(test::FilesBelow(dir.path()).size(), c.restored.size() + 1);
    }
}

// Runs body in a child process whose address space is limited to what it has mapped now plus
// 256 MiB, far below a 2 GiB buffer or a per-record table of a large index. Returns the child's
// exit status: body's result, 3 when it ran out of memory, 4 when the limit did not take effect.
int UnderAddressLimit(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (256u << 20);
        const struct rlimit as { limit, limit };
        ::setrlimit(RLIMIT_AS, &as);
        try {
            // The limit must bite, or the test would prove nothing.
            static void* volatile sink;  // volatile: the allocation cannot be elided
            sink = ::operator new (std::size_t{1} << 30);
            ::_exit(sink != nullptr ? 4 : 5);
        } catch (const std::bad_alloc&) {
        }
        int status = 0;
        try {
            status = body();
        } catch (const std::bad_alloc&) {
            status = 3;
        }
        ::_exit(status);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

#if defined(__SANITIZE_ADDRESS__)
#define SKIP_UNDER_ASAN()                                                              \
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space; the limit " \
                    "tests run in the normal build"
#else
#define SKIP_UNDER_ASAN()
#endif

// The reader allocates by lengths it has checked: containers whose fields claim 2 GiB still
// end with their ordinary messages.
TEST(BadContainers, ClaimedHugeLengthsAllocateNothingBig) {
    SKIP_UNDER_ASAN();
    for (const char* file : {"claims-2gib-entry.vesk", "record-claims-2gib.vesk",
                             "block-u-huge.vesk", "length-huge.vesk"}) {
        SCOPED_TRACE(file);
        test::ScratchDir dir;
        test::WriteFile(dir / "c.vesk", test::ReadFile(kCorpus + "/" + std::string(file)));
        std::filesystem::create_directories(dir / "out");
        const Bytes key = CorpusKey();
        const int status = UnderAddressLimit([&] {
            try {
                test::RecordingObserver observer;
                DecryptContainerJob job(observer);
                job.Run(dir / "c.vesk", dir / "out", key);
            } catch (const SealError&) {
            }
            return 0;
        });
        ASSERT_NE(status, 4) << "the address-space limit did not take effect";
        EXPECT_EQ(status, 0) << "a claimed length was allocated";
    }
}

// Records of size 0 cost one index byte each; reading them must cost no memory per record. A
// container of two entries around 32 million such records is restored and listed in 256 MiB.
TEST(BadContainers, MillionsOfEmptyRecordsNeedNoMemoryPerRecord) {
    SKIP_UNDER_ASAN();
    test::ScratchDir dir;
    const Bytes key = CorpusKey();
    test::ContainerBuilder builder(key);
    builder.AddEntry("a.txt", {'a'});
    const auto firstSize = static_cast<int64_t>(builder.size());
    builder.AddEntry("b.txt", {'b'});
    const auto entriesSize = static_cast<int64_t>(builder.size());
    const Bytes whole = builder.Finish();
    const Bytes entries(whole.begin(), whole.begin() + entriesSize);
    constexpr int64_t kEmptyRecords = 32 << 20;
    const auto digits = [](int64_t value) {
        std::string out;
        for (; value > 0; value /= 255) out.push_back(static_cast<char>(value % 255));
        return out;
    };
    {
        std::ofstream out(dir / "c.vesk", std::ios::binary);
        out.write(reinterpret_cast<const char*>(entries.data()), entriesSize);
        const std::string head = digits(firstSize) + '\xff';
        const std::string tail = digits(entriesSize - firstSize) + '\xff';
        out << head;
        const std::string block(1 << 20, '\xff');
        for (int64_t i = 0; i < kEmptyRecords / static_cast<int64_t>(block.size()); ++i)
            out << block;
        out << tail << digits(static_cast<int64_t>(head.size() + tail.size()) + kEmptyRecords);
        ASSERT_TRUE(out.good());
    }
    std::filesystem::create_directories(dir / "out");
    const int status = UnderAddressLimit([&] {
        test::RecordingObserver observer;
        DecryptContainerJob job(observer);
        const DecryptSummary s = job.Run(dir / "c.vesk", dir / "out", key);
        if (s.restored != 2 || s.emptyRecords != kEmptyRecords || !observer.errors.empty())
            return 6;
        return ListContainer(dir / "c.vesk", key).size() == 2 ? 0 : 7;
    });
    ASSERT_NE(status, 4) << "the address-space limit did not take effect";
    EXPECT_EQ(status, 0) << (status == 3 ? "memory grew with the records" : "wrong outcome");
    EXPECT_EQ(test::FilesBelow(dir / "out"), (std::vector<std::string>{"a.txt", "b.txt"}));
}

}  // namespace
}  // namespace sealwise
