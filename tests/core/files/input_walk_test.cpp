// What goes into a container: the walk reports everything it leaves out, stored names must
// come back unchanged and may not collide.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <optional>

#include "app/msg.h"
#include "file_test_support.h"
#include "files/format/entry_name.h"
#include "files/format/stored_names.h"
#include "files/io/directory_walk.h"
#include "models/input_list.h"
#include "unprivileged.h"

namespace sealwise {
namespace {

namespace fs = std::filesystem;
using test::WriteFile;

TEST(DirectoryWalk, EverythingLeftOutIsReportedWithItsReason) {
    test::ScratchDir dir;
    WriteFile(dir / "t/a.txt", {1});
    WriteFile(dir / "t/.hidden", {2});
    WriteFile(dir / "t/sub/b.txt", {3});
    WriteFile(dir / "outside/o.txt", {4});
    WriteFile(dir / "t/box.vesk", {5});
    fs::create_symlink(dir / "t/a.txt", dir / "t/link-to-file");
    fs::create_directory_symlink(dir / "outside", dir / "t/link-to-dir");
    fs::create_symlink(dir / "t/nowhere", dir / "t/broken-link");
    ASSERT_EQ(::mkfifo((dir / "t/fifo").c_str(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir / "t/socket";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(sock);

    InputList list;
    list.LeaveOut(dir / "t/box.vesk");  // the container being written: left out silently
    list.AddPath(dir / "t");
    EXPECT_EQ(list.paths(),
              (std::vector<std::string>{dir / "t/.hidden", dir / "t/a.txt", dir / "t/link-to-file",
                                        dir / "t/sub/b.txt"}));
    const std::vector<std::pair<std::string, Msg>> expected{
        {"t/broken-link", Msg::InputUnreadable},
        {"t/fifo", Msg::SpecialFileLeftOut},
        {"t/link-to-dir", Msg::LinkToDirectoryLeftOut},
        {"t/socket", Msg::SpecialFileLeftOut},
    };
    std::vector<std::pair<std::string, Msg>> seen;
    for (const SkippedInput& s : list.skipped()) {
        seen.emplace_back(s.path.substr(dir.path().size() + 1), s.stringId);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, expected);
    list.Clear();
    EXPECT_TRUE(list.skipped().empty());
}

TEST(DirectoryWalk, AnUnreadableDirectoryIsReportedAndTheRestListed) {
    test::ScratchDir dir;
    ::chmod(dir.path().c_str(), 0755);
    WriteFile(dir / "t/a.txt", {1});
    WriteFile(dir / "t/locked/secret.txt", {2});
    fs::permissions(dir / "t", fs::perms::all);
    fs::permissions(dir / "t/a.txt", fs::perms::all);
    fs::permissions(dir / "t/locked", fs::perms::none);
    const int status = test::RunUnprivileged([&] {
        std::vector<SkippedInput> skipped;
        std::vector<std::string> files;
        WalkOptions options;
        options.onFile = [&](const std::string& path) {
            files.push_back(path);
            return true;
        };
        WalkDirectoryTree(dir / "t/", options, skipped);
        return files == std::vector<std::string>{dir / "t/a.txt"} && skipped.size() == 1 &&
               skipped[0].path == dir / "t/locked" &&
               skipped[0].stringId == Msg::DirectoryUnreadable && !skipped[0].detail.empty();
    });
    fs::permissions(dir / "t/locked", fs::perms::owner_all);
    if (status < 0) GTEST_SKIP() << "cannot give up root here";
    EXPECT_EQ(status, 0);
}

struct NameCase {
    const char* label;
    std::string path;
    std::string relativeName;
    std::optional<Msg> expectedError;  // none: stored
};

TEST(StoredNames, NamesThatWouldNotComeBackAreRefused) {
    const std::vector<NameCase> cases{
        {"plain", "/d/report.doc", "\\", std::nullopt},
        {"tree", "/d/proj/sub/a.txt", "\\proj\\sub\\a.txt", std::nullopt},
        {"case twin", "/d/proj/README.txt", "\\proj\\README.txt", std::nullopt},
        {"hidden", "/d/proj/.git", "\\proj\\.git", std::nullopt},
        {"Windows-1252", "/d/caf\xC3\xA9.txt", "\\", std::nullopt},
        {"beyond Windows-1252", "/d/\xCE\xB1\xCE\xB2.txt", "\\", std::nullopt},
        {"relative to the root", "/etc/hosts", "\\etc\\hosts", std::nullopt},
        {"backslash, own file", "/d/a\\b.txt", "\\", Msg::NameNotStorable},
        {"backslash, in a tree", "/d/proj/a\\b.txt", "\\proj\\a\\b.txt", Msg::NameNotStorable},
        {"backslash, directory", "/d/pr\\oj/a.txt", "\\pr\\oj\\a.txt", Msg::NameNotStorable},
        {"newline", "/d/a\nb.txt", "\\", Msg::NameNotStorable},
        {"escape", "/d/proj/\x1b[31m.txt", "\\proj\\\x1b[31m.txt", Msg::NameNotStorable},
        {"not UTF-8, own file", "/d/\xE9.txt", "\\", Msg::NameNotStorable},
        {"not UTF-8, directory", "/d/\xE9/a.txt", "\\\xE9\\a.txt", Msg::NameNotStorable},
        {"too long", "/d/a", std::string(300, 'n'), Msg::NameTooLong},
    };
    for (const NameCase& c : cases) {
        const auto names = StoredNames({{c.path, c.relativeName}});
        ASSERT_EQ(names.size(), 1u);
        const auto* error = std::get_if<SealError>(&names[0]);
        EXPECT_EQ(error ? std::optional(error->stringId()) : std::nullopt, c.expectedError)
            << c.label;
        if (error && c.expectedError == Msg::NameNotStorable) {
            EXPECT_EQ(error->argument(), c.path) << c.label;  // the message names the file
        }
    }
}

TEST(StoredNames, TwoInputsUnderOneNameAreRefusedNamingBoth) {
    EXPECT_NO_THROW(StoredNames({{"/w/README.txt", "\\"}, {"/w/readme.txt", "\\"}}));
    try {
        StoredNames({{"/w/ca/x.txt", "\\"}, {"/w/ok.txt", "\\"}, {"/w/cb/x.txt", "\\"}});
        FAIL() << "no collision found";
    } catch (const SealError& e) {
        EXPECT_EQ(e.stringId(), Msg::NameCollision);
        EXPECT_NE(e.argument().find("/w/ca/x.txt"), std::string::npos);
        EXPECT_NE(e.argument().find("/w/cb/x.txt"), std::string::npos);
        EXPECT_NE(e.argument().find("\"x.txt\""), std::string::npos);
    }
    // Files of two expanded trees can meet under one name too.
    EXPECT_THROW(StoredNames({{"/w/proj/a", "\\proj\\a"}, {"/v/proj/a", "\\proj\\a"}}), SealError);
}

}  // namespace
}  // namespace sealwise
