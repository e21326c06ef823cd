// The command line: its interpretation, and its effect on a freshly opened main window.
#include "gui/app/command_line.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "gui/controls/light_tab.h"
#include "gui/main/fcrypt.h"
#include "gui_testing.h"

using namespace sealwise::gui;
using Kind = CommandLineRequest::Kind;

class CommandLineTest : public QObject {
    Q_OBJECT

    struct Opened {
        std::unique_ptr<FCrypt> window;
        int mainTab;
        int fileTab;
    };

    Opened Open(const std::string& commandLine) {
        auto window = std::make_unique<FCrypt>(services_, commandLine);
        const int mainTab = testing::Child<LightTab>(window.get(), "TabStr")->ActiveTab();
        const int fileTab = testing::Child<LightTab>(window.get(), "TabFileCrypt")->ActiveTab();
        return {std::move(window), mainTab, fileTab};
    }

    testing::ScriptedServices services_;

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }
    void init() { services_ = {}; }

    void prefixesAreComparedWithoutLetterCase() {
        QCOMPARE(InterpretCommandLine("/filee").kind, Kind::FilesEncrypt);
        QCOMPARE(InterpretCommandLine("/FILEE").kind, Kind::FilesEncrypt);
        QCOMPARE(InterpretCommandLine("/filedxyz").kind, Kind::FilesDecrypt);
        QCOMPARE(InterpretCommandLine("/?").kind, Kind::Usage);
        QCOMPARE(InterpretCommandLine("/? more").kind, Kind::Usage);
        QCOMPARE(InterpretCommandLine("/file").kind, Kind::None);
        QCOMPARE(InterpretCommandLine("").kind, Kind::None);
        QCOMPARE(InterpretCommandLine("report.txt").kind, Kind::None);
    }

    void pathsAreTheRestOfTheLineAsPassed() {
        QCOMPARE(InterpretCommandLine("/setencrfiles").kind, Kind::None);
        QCOMPARE(InterpretCommandLine("/setencrfiles ").kind, Kind::None);
        const auto encrypt = InterpretCommandLine("/SetEncrFiles \"/data/my dir\" /outputfile x");
        QCOMPARE(encrypt.kind, Kind::EncryptPath);
        QCOMPARE(encrypt.path, std::string("\"/data/my dir\" /outputfile x"));

        const auto windows = InterpretCommandLine("/setdecrfile C:\\data\\box.vesk");
        QCOMPARE(windows.kind, Kind::DecryptFile);
        QCOMPARE(windows.outputDirectory, std::string("C:\\data\\"));
        QCOMPARE(InterpretCommandLine("/setdecrfile /home/ann/box.vesk").outputDirectory,
                 std::string("/home/ann/"));
        QCOMPARE(InterpretCommandLine("/setdecrfile box.vesk").outputDirectory, std::string());
    }

    void argumentsAreJoinedWithBlanks() {
        QCOMPARE(JoinArguments({"/setdecrfile", "/tmp/a b.vesk"}),
                 std::string("/setdecrfile /tmp/a b.vesk"));
        QCOMPARE(JoinArguments({}), std::string());
        QVERIFY(UsageText("sealwise").starts_with("Parameters for Sealwise:\nsealwise ["));
    }

    void noCommandLineOpensOnFilesEncrypt() {
        const auto opened = Open("");
        QCOMPARE(opened.mainTab, 0);
        QCOMPARE(opened.fileTab, 0);
        QVERIFY(!testing::Child<QWidget>(opened.window.get(), "FramFileEnrypt")->isHidden());
        QVERIFY(services_.messages.empty());
    }

    void fileModesSelectTheirTabs() {
        auto decrypt = Open("/FILED");
        QCOMPARE(decrypt.mainTab, 0);
        QCOMPARE(decrypt.fileTab, 1);
        QVERIFY(!testing::Child<QWidget>(decrypt.window.get(), "FramFileDecrypt")->isHidden());
        QVERIFY(!testing::Child<QWidget>(decrypt.window.get(), "Command5")->isHidden());
        QVERIFY(testing::Child<QWidget>(decrypt.window.get(), "Command4")->isHidden());
        const auto encrypt = Open("/filee");
        QCOMPARE(encrypt.fileTab, 0);
    }

    void decryptFilePreparesBothPaths() {
        const auto opened = Open("/setdecrfile /data/in/box.vesk");
        QCOMPARE(testing::Child<QLineEdit>(opened.window.get(), "TxtDecrFile")->text(),
                 QString("/data/in/box.vesk"));
        QCOMPARE(testing::Child<QLineEdit>(opened.window.get(), "TxtDecrOutPath")->text(),
                 QString("/data/in/"));
        QCOMPARE(opened.mainTab, 0);
        QCOMPARE(opened.fileTab, 1);
        const auto bare = Open("/setdecrfile box.vesk");
        QCOMPARE(testing::Child<QLineEdit>(bare.window.get(), "TxtDecrOutPath")->text(), QString());
    }

    void encryptPathListsTheFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath("report.txt");
        QFile(file).open(QIODevice::WriteOnly);
        const auto opened = Open("/setencrfiles " + file.toStdString());
        auto* list = testing::Child<QListWidget>(opened.window.get(), "LstCryptFiles");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), file);
        QCOMPARE(opened.fileTab, 0);

        const auto empty = Open("/setencrfiles ");
        QCOMPARE(testing::Child<QListWidget>(empty.window.get(), "LstCryptFiles")->count(), 0);
    }

    void plainPathsAsFileManagersPassThem() {
        QTemporaryDir dir;
        const QString container = dir.filePath("my box.VESK");
        const QString other = dir.filePath("notes.txt");
        QFile(container).open(QIODevice::WriteOnly);
        QFile(other).open(QIODevice::WriteOnly);
        const auto decrypt = InterpretCommandLine(container.toStdString());
        QCOMPARE(decrypt.kind, Kind::DecryptFile);
        QCOMPARE(decrypt.outputDirectory, dir.path().toStdString() + "/");
        QCOMPARE(InterpretCommandLine(other.toStdString()).kind, Kind::EncryptPath);
        QCOMPARE(InterpretCommandLine(dir.path().toStdString()).kind, Kind::EncryptPath);
        // A path that does not exist is no request; the options keep their meaning.
        QCOMPARE(InterpretCommandLine(dir.filePath("gone.vesk").toStdString()).kind, Kind::None);

        const auto opened = Open(container.toStdString());
        QCOMPARE(testing::Child<QLineEdit>(opened.window.get(), "TxtDecrFile")->text(), container);
        QCOMPARE(opened.fileTab, 1);
    }

    void questionMarkShowsTheUsageThenOpensNormally() {
        const auto opened = Open("/?");
        QCOMPARE(services_.messages.size(), std::size_t(1));
        const auto& usage = services_.messages.front();
        QVERIFY(usage.text.startsWith("Parameters for Sealwise:\n"));
        QVERIFY(usage.text.contains("/setDecrFile <file>"));
        QCOMPARE(usage.buttons, MessageButtons::Ok);
        QVERIFY(usage.title.isEmpty());
        QCOMPARE(opened.mainTab, 0);
        QCOMPARE(opened.fileTab, 0);
    }
};

QTEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
