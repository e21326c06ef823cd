// The command line: its interpretation, and its effect on a freshly opened main window.
#include "gui/app/command_line.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "gui/controls/light_tab.h"
#include "gui/main/main_window.h"
#include "gui_testing.h"

using namespace sealwise::gui;
using Kind = CommandLineRequest::Kind;

class CommandLineTest : public QObject {
    Q_OBJECT

    struct Opened {
        std::unique_ptr<MainWindow> window;
        int mainTab;
        int fileTab;
    };

    Opened Open(const std::string& commandLine) {
        auto window = std::make_unique<MainWindow>(services_, commandLine);
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

    // A file manager's selection arrives as several arguments; each is a path of its own,
    // unless the joined line already means something (an option, or one path with blanks).
    void severalArgumentsAreSeveralPaths() {
        QTemporaryDir dir;
        const std::string spaced = dir.filePath("my notes.txt").toStdString();
        QFile(QString::fromStdString(spaced)).open(QIODevice::WriteOnly);
        // "…/my" and "notes.txt" do not exist on their own, but joined they name the file.
        const auto unquoted =
            InterpretArguments({spaced.substr(0, spaced.size() - 10), "notes.txt"});
        QCOMPARE(unquoted.kind, Kind::EncryptPath);
        QCOMPARE(unquoted.path, spaced);
        QCOMPARE(InterpretArguments({"/setdecrfile", "/a b.vesk"}).kind, Kind::DecryptFile);
        const auto several = InterpretArguments({"/x/a.txt", "/x/b.txt"});
        QCOMPARE(several.kind, Kind::Paths);
        QCOMPARE(several.paths, (std::vector<std::string>{"/x/a.txt", "/x/b.txt"}));
        QCOMPARE(InterpretArguments({"/x/a.txt"}).kind, Kind::None);
    }

    void pathsAreSortedByWhatTheWindowDoes() {
        QTemporaryDir dir;
        const auto make = [&](const char* name) {
            const QString path = dir.filePath(name);
            QFile(path).open(QIODevice::WriteOnly);
            return path.toStdString();
        };
        const std::string a = make("a.txt"), box = make("box.VESK"), second = make("two.vesk");
        const std::string folder = dir.path().toStdString();
        const std::string gone = dir.filePath("gone.vesk").toStdString();
        QDir(dir.path()).mkdir("sub.vesk");  // a directory is never a container
        const std::string sub = dir.filePath("sub.vesk").toStdString();
        const SortedPaths sorted = SortPaths({a, box, gone, folder, second, sub});
        QCOMPARE(sorted.containers, (std::vector<std::string>{box, second}));
        QCOMPARE(sorted.others, (std::vector<std::string>{a, folder, sub}));
        QCOMPARE(sorted.missing, (std::vector<std::string>{gone}));
    }

    void fileManagerSelectionsOpenTheirPage_data() {
        QTest::addColumn<QStringList>("names");  // "-" marks a name that is not created
        QTest::addColumn<int>("fileTab");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("decryptFile");
        QTest::addColumn<int>("messages");
        QTest::newRow("two files") << QStringList{"a.txt", "b.txt"} << 0 << 2 << "" << 0;
        QTest::newRow("two containers")
            << QStringList{"one.vesk", "two.vesk"} << 1 << 0 << "one.vesk" << 1;
        QTest::newRow("files and a container")
            << QStringList{"a.txt", "one.vesk", "b.txt"} << 0 << 2 << "one.vesk" << 0;
        QTest::newRow("a missing file") << QStringList{"a.txt", "-gone.txt"} << 0 << 1 << "" << 1;
    }
    void fileManagerSelectionsOpenTheirPage() {
        QFETCH(QStringList, names);
        QFETCH(int, fileTab);
        QFETCH(int, listed);
        QFETCH(QString, decryptFile);
        QFETCH(int, messages);
        QTemporaryDir dir;
        std::vector<std::string> arguments;
        for (QString name : names) {
            const bool create = !name.startsWith('-');
            if (!create) name = name.mid(1);
            if (create) QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
            arguments.push_back(dir.filePath(name).toStdString());
        }
        MainWindow window(services_, arguments);
        QCOMPARE(testing::Child<LightTab>(&window, "TabStr")->ActiveTab(), 0);
        QCOMPARE(testing::Child<LightTab>(&window, "TabFileCrypt")->ActiveTab(), fileTab);
        QCOMPARE(testing::Child<QListWidget>(&window, "LstCryptFiles")->count(), listed);
        QCOMPARE(testing::Child<QLineEdit>(&window, "TxtDecrFile")->text(),
                 decryptFile.isEmpty() ? QString() : dir.filePath(decryptFile));
        QCOMPARE(int(services_.messages.size()), messages);
        if (messages == 1 && names.size() == 2 && names[1].endsWith(".vesk")) {
            QVERIFY(services_.messages[0].text.contains(dir.filePath(names[1])));
            QVERIFY(!services_.messages[0].text.contains(dir.filePath(names[0])));
        }
    }

    // --help and --version print and end without opening a window (no display is needed).
    void helpAndVersionPrintAndEnd_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("--help") << QStringList{"--help"} << "Usage: sealwise [OPTION]...";
        QTest::newRow("-h") << QStringList{"-h"} << "Usage: sealwise [OPTION]...";
        QTest::newRow("--version")
            << QStringList{"--version"} << "sealwise " SEALWISE_VERSION_STRING;
        QTest::newRow("after --mail-url")
            << QStringList{"--mail-url", "http://127.0.0.1:9", "--version"}
            << "sealwise " SEALWISE_VERSION_STRING;
    }
    void helpAndVersionPrintAndEnd() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, firstLine);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("QT_QPA_PLATFORM", "xcb");  // would fail if a window were opened
        program.setProcessEnvironment(environment);
        program.start(SEALWISE_PROGRAM, arguments);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        QCOMPARE(out.section('\n', 0, 0).left(firstLine.size()), firstLine);
        QVERIFY(out.endsWith('\n'));
    }

    // A path after an option word is never taken for an option of the program.
    void programOptionsOnlyLead() {
        const ProgramArguments taken = TakeProgramOptions({"/setencrfiles", "--help"});
        QVERIFY(!taken.help);
        QCOMPARE(taken.rest, (std::vector<std::string>{"/setencrfiles", "--help"}));
    }

    void questionMarkShowsTheUsageThenOpensNormally() {
        const auto opened = Open("/?");
        QCOMPARE(services_.messages.size(), std::size_t(1));
        const auto& usage = services_.messages.front();
        QVERIFY(usage.text.startsWith("Parameters for Sealwise:\n"));
        // One alternative per line: no line is broken inside an option.
        QVERIFY(usage.text.contains("\n  [/setDecrFile <file>]\n"));
        for (const QString& line : usage.text.split('\n')) QVERIFY(line.size() <= 50);
        QCOMPARE(usage.buttons, MessageButtons::Ok);
        QVERIFY(usage.title.isEmpty());
        QCOMPARE(opened.mainTab, 0);
        QCOMPARE(opened.fileTab, 0);
    }
};

QTEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
