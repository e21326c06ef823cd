// The file pages at work: the input list bound to the Add and Remove buttons, drops and the
// command line; encrypting into a container and decrypting it on the job thread, with the
// overwrite questions, Cancel and the messages of each outcome.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>

#include "gui/working/working_display.h"
#include "window_driver.h"

using namespace sealwise::gui;
using sealwise::Msg;
using sealwise::gui::testing::ReadFile;
using sealwise::gui::testing::WriteFile;

namespace {

// Bytes that do not compress to nothing.
QByteArray Noise(int size, uint32_t seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(seed >> 24);
    }
    return bytes;
}

}  // namespace

class FileJobsTest : public QObject {
    Q_OBJECT

    testing::WindowDriver d_;
    std::unique_ptr<QTemporaryDir> dir_;

    QString Path(const QString& name) const { return dir_->filePath(name); }
    QListWidget* List() { return d_.W<QListWidget>("LstCryptFiles"); }
    QStringList Listed() {
        QStringList items;
        for (int i = 0; i < List()->count(); ++i) items << List()->item(i)->text();
        return items;
    }

    // Adds files with the open dialog of the Add button.
    void AddFiles(const QStringList& paths) {
        d_.W<QRadioButton>("OptFiles")->click();
        d_.services.fileLists.push_back(paths);
        d_.Click("CmdAdCryptdfile");
    }
    void AddFolder(const QString& folder) {
        d_.W<QRadioButton>("OptDirs")->click();
        d_.services.files.push_back(folder);
        d_.Click("CmdAdCryptdfile");
    }

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        d_.Open();
    }
    void cleanup() {
        d_.Close();
        dir_.reset();
    }

    // Files and a directory tree go into one container and come back byte for byte.
    void filesAndTreeRoundTripIntoAnotherDirectory() {
        WriteFile(Path("in/a.txt"), "first file");
        WriteFile(Path("in/empty.bin"), "");
        WriteFile(Path("tree/proj/sub/big.bin"), Noise(3 * 1024 * 1024, 7));
        WriteFile(Path("tree/proj/.hidden"), "hidden");
        AddFiles({Path("in/a.txt"), Path("in/empty.bin")});
        QCOMPARE(d_.Edit("TxtEncrFileName")->text(), Path("in/a.vesk"));
        AddFolder(Path("tree/proj"));
        QCOMPARE(List()->count(), 4);
        QVERIFY(d_.Edit("TxtEncrFileName")->text().startsWith(Path("tree/proj/")));

        const QString container = Path("box.vesk");
        QVERIFY(d_.EncryptListedInto(container, "files pw"));
        QCOMPARE(d_.Messages(), (QStringList{d_.Text(Msg::MemorizePassword),
                                             d_.Text(Msg::SavedAs, container.toStdString())}));
        QCOMPARE(List()->count(), 0);  // reset after success
        QVERIFY(d_.Edit("TxtEncrFileName")->text().isEmpty());
        QVERIFY(d_.Edit("TxtCode")->text().isEmpty());
        QVERIFY(QFile::exists(container));
        QCOMPARE(d_.window->Working()->Lamps(), kLampsAtEnd);

        QVERIFY(d_.DecryptInto(container, Path("out"), "files pw"));
        // Decryption asks no box to be closed; a note beside the buttons says it worked.
        QCOMPARE(d_.services.messages.size(), std::size_t(2));
        QVERIFY(d_.W<QLabel>("lblResult")->isVisible());
        QCOMPARE(d_.W<QLabel>("lblResult")->text(), d_.Text(Msg::FileDecryptedClassic));
        QCOMPARE(ReadFile(Path("out/a.txt")), QByteArray("first file"));
        QCOMPARE(ReadFile(Path("out/empty.bin")), QByteArray());
        QCOMPARE(ReadFile(Path("out/proj/sub/big.bin")), Noise(3 * 1024 * 1024, 7));
        QCOMPARE(ReadFile(Path("out/proj/.hidden")), QByteArray("hidden"));
        QCOMPARE(d_.Edit("TxtDecrOutPath")->text(), Path("out/"));
    }

    void wrongPassphraseShowsMessage194() {
        WriteFile(Path("a.txt"), "abc");
        AddFiles({Path("a.txt")});
        QVERIFY(d_.EncryptListedInto(Path("a.vesk"), "right"));
        QVERIFY(d_.DecryptInto(Path("a.vesk"), Path("out"), "wrong"));
        QCOMPARE(d_.Messages().last(), d_.Text(Msg::WrongPassword));
        QVERIFY(!d_.W<QLabel>("lblResult")->isVisible());
        QVERIFY(!QFile::exists(Path("out/a.txt")));
        QVERIFY(!d_.window->IsBusy());
    }

    void emptyListOrPassphraseShowsMessage114() {
        d_.Click("Command4");
        QCOMPARE(d_.Messages(), QStringList{d_.Text(Msg::CheckNamesAndPassword)});
        WriteFile(Path("a.txt"), "abc");
        AddFiles({Path("a.txt")});
        d_.Click("Command4");  // no passphrase: found after the confirmation
        QCOMPARE(d_.Messages(),
                 (QStringList{d_.Text(Msg::CheckNamesAndPassword), d_.Text(Msg::MemorizePassword),
                              d_.Text(Msg::CheckNamesAndPassword)}));
        QVERIFY(!QFile::exists(Path("a.vesk")));
        QCOMPARE(List()->count(), 1);
        QVERIFY(!d_.window->IsBusy());
    }

    void tinyContainerShowsMessage108() {
        WriteFile(Path("bad.vesk"), "abc");
        QVERIFY(d_.DecryptInto(Path("bad.vesk"), Path("out"), "pw"));
        QCOMPARE(d_.Messages(), QStringList{d_.Text(Msg::NoUsableContent)});
    }

    // Yes replaces the old container; No asks for another name at once; a cancelled save
    // dialog ends the command and leaves everything as it was.
    void overwriteQuestionOfTheContainer() {
        WriteFile(Path("a.txt"), "abc");
        WriteFile(Path("old.vesk"), "old container");
        AddFiles({Path("a.txt")});
        d_.services.answers = {MessageAnswer::No};
        d_.services.files = {QString()};
        QVERIFY(d_.EncryptListedInto(Path("old.vesk"), "pw"));
        QCOMPARE(d_.Messages(),
                 QStringList{d_.Text(Msg::OverwriteQuestion, Path("old.vesk").toStdString())});
        QCOMPARE(ReadFile(Path("old.vesk")), QByteArray("old container"));
        QCOMPARE(List()->count(), 1);
        QCOMPARE(d_.Edit("TxtCode")->text(), QString("pw"));

        d_.services = {};
        d_.services.answers = {MessageAnswer::No};
        d_.services.files = {Path("other.vesk")};
        QVERIFY(d_.EncryptListedInto(Path("old.vesk"), "pw"));
        QCOMPARE(ReadFile(Path("old.vesk")), QByteArray("old container"));
        QVERIFY(QFile::exists(Path("other.vesk")));
        QCOMPARE(d_.Messages().last(), d_.Text(Msg::SavedAs, Path("other.vesk").toStdString()));

        d_.services = {};
        AddFiles({Path("a.txt")});
        QVERIFY(d_.EncryptListedInto(Path("old.vesk"), "pw"));  // Yes
        QCOMPARE(d_.Messages().first(),
                 d_.Text(Msg::OverwriteQuestion, Path("old.vesk").toStdString()));
        QVERIFY(d_.DecryptInto(Path("old.vesk"), Path("out"), "pw"));
        QCOMPARE(ReadFile(Path("out/a.txt")), QByteArray("abc"));
    }

    // Yes replaces the file; No opens the save dialog (a name restores there, a cancel skips).
    void overwriteQuestionsOfTheRestoredFiles() {
        WriteFile(Path("in/a.txt"), "new a");
        WriteFile(Path("in/b.txt"), "new b");
        WriteFile(Path("in/c.txt"), "new c");
        AddFiles({Path("in/a.txt"), Path("in/b.txt"), Path("in/c.txt")});
        QVERIFY(d_.EncryptListedInto(Path("abc.vesk"), "pw"));
        WriteFile(Path("out/a.txt"), "old a, longer than the new one");
        WriteFile(Path("out/b.txt"), "old b");
        WriteFile(Path("out/c.txt"), "old c");
        d_.services = {};
        d_.services.answers = {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::No};
        d_.services.files = {Path("out/b2.txt"), QString()};
        QVERIFY(d_.DecryptInto(Path("abc.vesk"), Path("out"), "pw"));
        QCOMPARE(d_.Messages(),
                 (QStringList{d_.Text(Msg::OverwriteQuestion, Path("out/a.txt").toStdString()),
                              d_.Text(Msg::OverwriteQuestion, Path("out/b.txt").toStdString()),
                              d_.Text(Msg::OverwriteQuestion, Path("out/c.txt").toStdString())}));
        QCOMPARE(ReadFile(Path("out/a.txt")), QByteArray("new a"));
        QCOMPARE(ReadFile(Path("out/b.txt")), QByteArray("old b"));
        QCOMPARE(ReadFile(Path("out/b2.txt")), QByteArray("new b"));
        QCOMPARE(ReadFile(Path("out/c.txt")), QByteArray("old c"));
    }

    // Cancel ends the run without a message and without a container; the next run works.
    void cancelledEncryptionLeavesNoContainer() {
        WriteFile(Path("big.bin"), Noise(24 * 1024 * 1024, 3));
        AddFiles({Path("big.bin")});
        d_.Edit("TxtEncrFileName")->setText(Path("big.vesk"));
        d_.Edit("TxtCode")->setText("pw");
        d_.Click("Command4");
        QVERIFY(d_.window->JobRunning());
        d_.Click("CmdCancel");
        QVERIFY(d_.WaitIdle());
        QCOMPARE(d_.Messages(), QStringList{d_.Text(Msg::MemorizePassword)});
        QVERIFY(!QFile::exists(Path("big.vesk")));
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"big.bin"});
        QCOMPARE(List()->count(), 1);  // the list stays for another try

        WriteFile(Path("small.txt"), "small");
        AddFiles({Path("small.txt")});
        List()->setCurrentRow(0);
        QTest::keyClick(List(), Qt::Key_Delete);
        QCOMPARE(Listed(), QStringList{Path("small.txt")});
        QVERIFY(d_.EncryptListedInto(Path("small.vesk"), "pw"));
        QCOMPARE(d_.Messages().last(), d_.Text(Msg::SavedAs, Path("small.vesk").toStdString()));
        QVERIFY(QFile::exists(Path("small.vesk")));
    }

    // A file that is gone when its turn comes is reported; the others still make a container.
    void unreadableFileIsReportedAndTheRunGoesOn() {
        WriteFile(Path("keep.txt"), "kept");
        WriteFile(Path("gone.txt"), "gone");
        AddFiles({Path("gone.txt"), Path("keep.txt")});
        QFile::remove(Path("gone.txt"));
        QVERIFY(d_.EncryptListedInto(Path("two.vesk"), "pw"));
        QCOMPARE(d_.services.messages.size(), std::size_t(3));
        QCOMPARE(d_.services.messages[1].icon, MessageIcon::Error);
        QVERIFY(d_.Messages()[1].startsWith(d_.Text(Msg::SystemError)));
        QVERIFY(d_.Messages()[1].contains("No such file"));
        QCOMPARE(d_.Messages()[2], d_.Text(Msg::SavedAs, Path("two.vesk").toStdString()));
        QVERIFY(d_.DecryptInto(Path("two.vesk"), Path("out"), "pw"));
        QCOMPARE(ReadFile(Path("out/keep.txt")), QByteArray("kept"));
    }

    // Closing the window during a run cancels it; the window closes once the job has ended.
    void closingDuringARunCancelsIt() {
        WriteFile(Path("big.bin"), Noise(24 * 1024 * 1024, 5));
        AddFiles({Path("big.bin")});
        d_.Edit("TxtEncrFileName")->setText(Path("big.vesk"));
        d_.Edit("TxtCode")->setText("pw");
        d_.Click("Command4");
        QPointer<MainWindow> window = d_.window.release();  // closing deletes it
        window->close();
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 20000);
        QVERIFY(!QFile::exists(Path("big.vesk")));
    }

    void duplicatesAreListedOnceWithMessage393() {
        WriteFile(Path("a.txt"), "a");
        WriteFile(Path("b.txt"), "b");
        AddFiles({Path("a.txt")});
        AddFiles({Path("a.txt"), Path("b.txt")});
        QCOMPARE(Listed(), (QStringList{Path("a.txt"), Path("b.txt")}));
        QCOMPARE(d_.Messages(), QStringList{d_.Text(Msg::DuplicateSkipped)});
        QCOMPARE(d_.services.messages[0].icon, MessageIcon::Information);

        testing::WindowDriver::Drop(List()->viewport(), {Path("b.txt"), Path("a.txt")});
        QCOMPARE(List()->count(), 2);
        QCOMPARE(d_.Messages().size(), 3);  // once per dropped duplicate

        List()->item(0)->setSelected(true);
        d_.Click("CmdDelCryptFiles");
        QCOMPARE(Listed(), QStringList{Path("b.txt")});
        List()->selectAll();
        d_.Click("CmdDelCryptFiles");
        QCOMPARE(List()->count(), 0);
        QVERIFY(d_.Edit("TxtEncrFileName")->text().isEmpty());
    }

    // One container dropped on the window prepares its decryption; on the list it is a file.
    void containerDropOnTheWindowPreparesDecryption() {
        WriteFile(Path("sub/box.vesk"), "x");
        testing::WindowDriver::Drop(d_.window.get(), {Path("sub/box.vesk")});
        QCOMPARE(d_.Edit("TxtDecrFile")->text(), Path("sub/box.vesk"));
        QCOMPARE(d_.Edit("TxtDecrOutPath")->text(), Path("sub/"));
        QVERIFY(!d_.W("FramFileDecrypt")->isHidden());
        QCOMPARE(List()->count(), 0);

        testing::WindowDriver::Drop(List()->viewport(), {Path("sub/box.vesk")});
        QCOMPARE(Listed(), QStringList{Path("sub/box.vesk")});

        WriteFile(Path("c.txt"), "c");
        d_.DecryptTab();
        testing::WindowDriver::Drop(d_.window.get(), {Path("c.txt")});
        QVERIFY(!d_.W("FramFileEnrypt")->isHidden());
        QCOMPARE(List()->count(), 2);
    }

    void commandLineListsADirectoryTree() {
        WriteFile(Path("tree/one.txt"), "1");
        WriteFile(Path("tree/deep/two.txt"), "2");
        d_.Close();
        d_.Open("/setencrfiles " + Path("tree").toStdString());
        QCOMPARE(List()->count(), 2);
        const QString proposed = d_.Edit("TxtEncrFileName")->text();
        QVERIFY(proposed.startsWith(Path("tree/")) && proposed.endsWith(".vesk"));
        QCOMPARE(d_.window->Inputs().RelativeName(Path("tree/deep/two.txt").toStdString()),
                 std::optional<std::string>("\\tree\\deep\\two.txt"));
        QVERIFY(!d_.window->IsBusy());
    }

    void decryptPagePathRules() {
        d_.DecryptTab();
        d_.Edit("TxtDecrFile")->setText("/data/in/x.vesk");
        QCOMPARE(d_.Edit("TxtDecrOutPath")->text(), QString("/data/in/"));
        d_.services.files = {QString()};  // folder picker cancelled
        d_.Click("CmdBrowseOutPath");
        QCOMPARE(d_.Edit("TxtDecrOutPath")->text(), QString("/data/in/"));
        d_.services.files = {"/tmp/chosen"};
        d_.Click("CmdBrowseOutPath");
        QCOMPARE(d_.Edit("TxtDecrOutPath")->text(), QString("/tmp/chosen/"));
        d_.services.files = {"/data/other.vesk"};
        d_.Click("Command7");
        QCOMPARE(d_.Edit("TxtDecrFile")->text(), QString("/data/other.vesk"));
        QCOMPARE(d_.Edit("TxtDecrOutPath")->text(), QString("/data/"));
    }
};

QTEST_MAIN(FileJobsTest)
#include "file_jobs_test.moc"
