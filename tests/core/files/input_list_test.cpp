#include "models/input_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "file_test_support.h"
#include "files/format/entry_name.h"
#include "files/io/file_checks.h"
#include "models/file_page_paths.h"

namespace sealwise {
namespace {

using test::WriteFile;

TEST(EntryName, StoredNamesOfListedFiles) {
    auto text = [](const Bytes& b) { return std::string(b.begin(), b.end()); };
    EXPECT_EQ(text(EntryNameBytes("/x/report.doc", "\\")), "report.doc");
    EXPECT_EQ(text(EntryNameBytes("/data/proj/sub/a.txt", "\\proj\\sub\\a.txt")),
              "proj\\sub\\a.txt");
    EXPECT_EQ(text(EntryNameBytes("/p", "proj/a")), "proj\\a");
    // Windows-1252 when it fits (one byte per character), else the UTF-8 marker and UTF-8.
    EXPECT_EQ(EntryNameBytes("/x/caf\xC3\xA9", "\\"), (Bytes{'c', 'a', 'f', 0xE9}));
    EXPECT_EQ(EntryNameBytes("/x/\xE2\x82\xAC\xCE\xB1", "\\").size(), 8u);  // euro + alpha
    // Own files are cut to 255 characters; longer relative names are refused.
    EXPECT_EQ(EntryNameBytes("/x/" + std::string(300, 'n'), "\\").size(), 255u);
    // ... counting whole characters when UTF-8 makes them longer: marker, 201 + 25 alphas = 254.
    std::string alphas;
    for (int i = 0; i < 30; ++i) alphas += "\xCE\xB1";
    const Bytes cut = EntryNameBytes("/x/" + std::string(201, 'n') + alphas, "\\");
    EXPECT_EQ(cut.size(), 254u);
    EXPECT_EQ(cut.back(), 0xB1);
    EXPECT_THROW(EntryNameBytes("/x", std::string(256, 'n')), SealError);
    EXPECT_NO_THROW(EntryNameBytes("/x", "\\" + std::string(255, 'n')));
}

TEST(EntryName, DecodingSplitsSafeNamesOnly) {
    auto decode = [](const std::string& s) { return DecodeEntryName(Bytes(s.begin(), s.end())); };
    EXPECT_EQ(decode("proj\\sub\\a.txt").components,
              (std::vector<std::string>{"proj", "sub", "a.txt"}));
    EXPECT_EQ(decode("caf\xE9").components, (std::vector<std::string>{"caf\xC3\xA9"}));
    EXPECT_TRUE(decode("...").safe());
    EXPECT_TRUE(decode("ab:c").safe());  // a colon after one letter only makes a drive
    EXPECT_TRUE(decode("x\\a:b").safe());
    for (const char* bad : {"..", "a:b", "a\\..", "\\a", "/a", "C:\\a", "Z:", "a\\\\b", "a\\",
                            "\x7f", "a\\\x01", "\x81x"}) {
        EXPECT_FALSE(decode(bad).safe()) << bad;
    }
    EXPECT_EQ(PrintableName("a\\b\x1b\xE2\x80\xAE"), "a/b\\x1B\\u{202E}");
}

TEST(FileChecks, FilesDirectoriesAndNul) {
    test::ScratchDir dir;
    WriteFile(dir / "f", {1});
    ::chmod(dir.path().c_str(), 0555);  // read-only still counts as a directory
    EXPECT_TRUE(FileExists(dir / "f"));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(dir / "missing"));
    EXPECT_TRUE(DirExists(dir.path()));
    EXPECT_TRUE(IsDirectory(dir.path()));
    EXPECT_FALSE(DirExists(dir / "f"));
    EXPECT_FALSE(IsDirectory(dir / "missing"));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(TrimAtNul(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(TextUpToNul("abc"), "abc");
}

TEST(FilePagePaths, OutputDirectoryFollowsTheContainer) {
    EXPECT_EQ(ValidatedOutputDirectory("", "/in/x.vesk"), "/in/");
    EXPECT_EQ(ValidatedOutputDirectory("/out", "/in/x.vesk"), "/out/");
    EXPECT_EQ(ValidatedOutputDirectory("/", ""), "/");
    EXPECT_EQ(ValidatedOutputDirectory("", ""), "");  // never the root by default
    EXPECT_EQ(OutputDirectoryAfterCancel("/in/x.vesk"), "/in/");
    EXPECT_EQ(OutputDirectoryAfterCancel(""), "");
}

struct ListTest : ::testing::Test {
    test::ScratchDir dir;
    InputList list;
};

TEST_F(ListTest, ExpandedDirectoriesStoreNamesFromTheirParent) {
    WriteFile(dir / "data/proj/sub/a.txt", {1});
    WriteFile(dir / "data/proj/.hidden", {2});
    std::filesystem::create_directories(dir / "data/proj/empty");
    std::filesystem::create_directories(dir / "outside");
    WriteFile(dir / "outside/o.txt", {3});
    std::filesystem::create_directory_symlink(dir / "outside", dir / "data/proj/link");
    ASSERT_EQ(::mkfifo((dir / "data/proj/fifo").c_str(), 0600), 0);

    EXPECT_FALSE(list.AddPath(dir / "data/proj"));
    EXPECT_EQ(list.paths(),
              (std::vector<std::string>{dir / "data/proj/.hidden", dir / "data/proj/sub/a.txt"}));
    EXPECT_EQ(list.RelativeName(dir / "data/proj/sub/a.txt"), "\\proj\\sub\\a.txt");
    EXPECT_EQ(list.EncryptItems()[0].relativeName, "\\proj\\.hidden");
    EXPECT_TRUE(
        std::regex_match(list.containerName, std::regex(dir / "data/proj/[a-z0-9]{8}\\.vesk")));
    EXPECT_EQ(ExpansionBase("/data/proj/"), "/data");
    EXPECT_EQ(ExpansionBase("/"), "");
    EXPECT_EQ(ExpansionBase("proj/"), "");
}

TEST_F(ListTest, CaseTwinsAreTwoFilesAndTheSameFileIsListedOnce) {
    WriteFile(dir / "Report.doc", {1});
    WriteFile(dir / "report.DOC", {2});
    EXPECT_FALSE(list.AddPath(dir / "Report.doc"));
    EXPECT_EQ(list.containerName, dir / "Report.vesk");  // from the extension
    EXPECT_FALSE(list.AddPath(dir / "report.DOC"));      // another file on this file system
    EXPECT_TRUE(list.AddPath(dir / "Report.doc"));       // the same path again
    std::filesystem::create_directory_symlink(dir.path(), dir / "via");
    EXPECT_TRUE(list.AddPath(dir / "via/Report.doc"));  // the same file under the same name
    EXPECT_FALSE(list.duplicateSkipped);                // reported once per add, then cleared
    EXPECT_EQ(list.paths(), (std::vector<std::string>{dir / "Report.doc", dir / "report.DOC"}));
    // The Delete key and adding the same file again works.
    EXPECT_EQ(list.DeleteCurrent(0), 0u);
    EXPECT_FALSE(list.AddPath(dir / "Report.doc"));
    EXPECT_EQ(list.paths().size(), 2u);
    // Hard links in a tree are one file under two names: both are kept.
    WriteFile(dir / "t/a", {3});
    ASSERT_EQ(::link((dir / "t/a").c_str(), (dir / "t/b").c_str()), 0);
    list.Clear();
    EXPECT_FALSE(list.AddPath(dir / "t"));
    EXPECT_EQ(list.paths(), (std::vector<std::string>{dir / "t/a", dir / "t/b"}));
}

TEST_F(ListTest, DialogResultsDropsAndRemoval) {
    // Several files chosen in the root directory give "/a", not "//a".
    EXPECT_FALSE(list.AddChosenFiles(std::string("/\0a\0b", 5)));
    EXPECT_EQ(list.paths(), (std::vector<std::string>{"/a", "/b"}));
    // No extension: a random name beside the first file.
    EXPECT_TRUE(std::regex_match(list.containerName, std::regex("/[a-z0-9]{8}\\.vesk")));
    EXPECT_EQ(list.RemoveSelected({1}), 0u);
    EXPECT_EQ(list.RemoveSelected({0}), std::nullopt);
    EXPECT_TRUE(list.containerName.empty());

    const auto decrypt = list.DropOnWindow({"/in/box.VESK"});
    EXPECT_TRUE(decrypt.prepareDecrypt);
    EXPECT_EQ(decrypt.outputDirectory, "/in/");
    EXPECT_TRUE(list.empty());
    WriteFile(dir / "box.vesk", {1});
    EXPECT_EQ(list.DropOnList({dir / "box.vesk"}), 0);  // on the list it is an ordinary file
    EXPECT_EQ(list.paths().size(), 1u);
    EXPECT_EQ(list.DropOnWindow({dir / "box.vesk", dir / "box.vesk"}).duplicateNotices, 2);
}

struct CancelAfterFiles : PumpHook {
    std::atomic<bool>* flag;
    int files = 0;
    void Pump() override {
        if (++files == 3) flag->store(true);
    }
};

TEST_F(ListTest, CancelledExpansionKeepsTheFilesFoundSoFar) {
    for (int i = 0; i < 10; ++i) WriteFile(dir / ("d/f" + std::to_string(i)), {1});
    std::atomic<bool> cancel{true};  // left over from an earlier job: the expansion clears it
    CancelAfterFiles pump;
    pump.flag = &cancel;
    list.SetCancelFlag(&cancel);
    list.SetPumpHook(&pump);
    list.AddDirectoryTree(dir / "d");
    EXPECT_EQ(list.paths().size(), 3u);
}

}  // namespace
}  // namespace sealwise
