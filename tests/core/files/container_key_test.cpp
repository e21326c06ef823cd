#include "files/format/container_key.h"

#include <gtest/gtest.h>

#include "crypto/keys.h"
#include "file_test_support.h"
#include "files/jobs/decrypt_container_job.h"

namespace sealwise {
namespace {

using test::ContainerBuilder;
using test::ScratchDir;

const std::string kPassphrase = "\xE6\x97\xA5\xE6\x9C\xAC pass";  // "日本 pass"

// A container of the given entries ("" = an entry of random bytes) under key.
std::string MakeContainer(const ScratchDir& dir, const Bytes& key,
                          const std::vector<std::string>& names) {
    ContainerBuilder builder(key);
    for (const std::string& name : names) {
        if (name.empty()) {
            builder.AddRawEntry(test::PatternBytes(96, 7));
        } else {
            builder.AddEntry(name, test::PatternBytes(100));
        }
    }
    const std::string path = dir / "c.vesk";
    test::WriteFile(path, builder.Finish());
    return path;
}

TEST(ContainerKey, TheFirstKeyUnderWhichAnEntryDeciphersIsChosen) {
    const std::vector<Bytes> keys = CandidateKeys(kPassphrase);
    ASSERT_EQ(keys.size(), 2u);
    const struct {
        Bytes writerKey;
        std::vector<std::string> names;
        std::size_t chosen;
    } cases[] = {
        {keys[0], {"a.txt", "b.txt"}, 0}, {keys[1], {"a.txt", "b.txt"}, 1},
        {keys[1], {"", "b.txt"}, 1},  // a damaged first entry does not decide
        {keys[1], {"", ""}, 0},       // nothing deciphers: the first key, as for a wrong one
        {test::Key(), {"a.txt"}, 0},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const std::string path = MakeContainer(dir, c.writerKey, c.names);
        EXPECT_EQ(&ChooseContainerKey(path, keys), &keys[c.chosen]) << c.names.front();
    }
    // One key: nothing to choose, the container is not even opened.
    const std::vector<Bytes> one = {test::Key()};
    EXPECT_EQ(&ChooseContainerKey("/nonexistent/c.vesk", one), &one[0]);
}

TEST(ContainerKey, DecryptionOpensAContainerKeyedWithQuestionMarks) {
    ScratchDir dir;
    const std::string path = MakeContainer(dir, MakeQuestionMarkKey(kPassphrase), {"a.txt"});
    test::fs::create_directories(dir / "out");
    test::RecordingObserver observer;
    DecryptContainerJob job(observer);
    const DecryptSummary summary = job.Run(path, dir / "out", CandidateKeys(kPassphrase));
    EXPECT_EQ(summary.restored, 1);
    EXPECT_EQ(test::ReadFile(dir / "out/a.txt"), test::PatternBytes(100));
}

}  // namespace
}  // namespace sealwise
