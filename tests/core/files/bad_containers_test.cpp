// The crafted bad containers of tests/data/bad-containers, each restored by the real job and
// compared with what manifest.tsv expects: the failure of the run or of each entry, the files
// restored, and nothing else created anywhere.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "file_test_support.h"
#include "files/decrypt_container_job.h"
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
        int runError = 0;
        try {
            DecryptContainerJob job(observer);
            job.Run(dir / "c.vesk", dir / "out", CorpusKey());
        } catch (const SealError& e) {
            runError = e.stringId();
        }
        if (c.runErrors.empty()) {
            EXPECT_EQ(runError, 0);
        } else {
            EXPECT_NE(std::find(c.runErrors.begin(), c.runErrors.end(), runError),
                      c.runErrors.end())
                << "run failed with " << runError;
        }
        std::vector<int> entryErrors;
        for (const auto& [item, id] : observer.errors) entryErrors.push_back(id);
        EXPECT_EQ(entryErrors, c.entryErrors);
        // Restored files exactly; no temporary file, nothing beside the output directory.
        EXPECT_EQ(test::FilesBelow(dir / "out"), c.restored);
        EXPECT_EQ(test::FilesBelow(dir.path()).size(), c.restored.size() + 1);
    }
}

// The reader allocates by lengths it has checked: under an address-space limit far below
// 2 GiB, containers whose fields claim 2 GiB still end with their ordinary messages.
TEST(BadContainers, ClaimedHugeLengthsAllocateNothingBig) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space; the limit test "
                    "runs in the normal build";
#endif
    for (const char* file : {"claims-2gib-entry.vesk", "record-claims-2gib.vesk",
                             "block-u-huge.vesk", "length-huge.vesk"}) {
        SCOPED_TRACE(file);
        test::ScratchDir dir;
        test::WriteFile(dir / "c.vesk", test::ReadFile(kCorpus + "/" + std::string(file)));
        std::filesystem::create_directories(dir / "out");
        const Bytes key = CorpusKey();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // What the process has mapped now, plus 256 MiB: far below a 2 GiB buffer.
            long pages = 0;
            std::ifstream("/proc/self/statm") >> pages;
            const rlim_t limit =
                static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (256u << 20);
            const struct rlimit as { limit, limit };
            ::setrlimit(RLIMIT_AS, &as);
            int status = 0;
            try {
                // The limit must bite, or the test would prove nothing.
                static void* volatile sink;  // volatile: the allocation cannot be elided
                sink = ::operator new (std::size_t{1} << 30);
                ::_exit(sink != nullptr ? 4 : 5);
            } catch (const std::bad_alloc&) {
            }
            try {
                test::RecordingObserver observer;
                DecryptContainerJob job(observer);
                job.Run(dir / "c.vesk", dir / "out", key);
            } catch (const SealError&) {
            } catch (const std::bad_alloc&) {
                status = 3;
            }
            ::_exit(status);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_NE(WEXITSTATUS(status), 4) << "the address-space limit did not take effect";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "a claimed length was allocated";
    }
}

}  // namespace
}  // namespace sealwise
