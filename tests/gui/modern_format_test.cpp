// The modern format in the main window: the option on the text panel and the encrypt page,
// kept while the window lives; decryption that finds the format by itself; notes that name the
// format read; tampering and wrong passphrases reported, never shown as a result.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "gui/main/stored_format.h"
#include "modern/modern_text.h"
#include "text/text_crypt.h"
#include "window_driver.h"

using namespace sealwise::gui;
using sealwise::Msg;
using sealwise::gui::testing::ReadFile;
using sealwise::gui::testing::WriteFile;

namespace {

constexpr std::string_view kBegin = "-----BEGIN SEALWISE MESSAGE-----";

}  // namespace

class ModernFormatTest : public QObject {
    Q_OBJECT

    testing::WindowDriver d_;
    std::unique_ptr<QTemporaryDir> dir_;

    QString Path(const QString& name) const { return dir_->filePath(name); }
    QCheckBox* TextOption() { return d_.W<QCheckBox>("ChkModernText"); }
    QCheckBox* FilesOption() { return d_.W<QCheckBox>("ChkModernFiles"); }
    QString Note() { return d_.W<QLabel>("lblResult")->text(); }

    void EncryptText(const QString& text, const QString& passphrase) {
        d_.SetResults(text);
        d_.Edit("TxtCode")->setText(passphrase);
        d_.Click("Command1");
        QVERIFY(d_.WaitIdle());
    }
    void DecryptText(const QString& passphrase) {
        d_.Edit("TxtCode")->setText(passphrase);
        d_.Click("Command2");
        QVERIFY(d_.WaitIdle());
    }
    void EncryptFiles(const QStringList& paths, const QString& container) {
        d_.EncryptTab();
        d_.W<QRadioButton>("OptFiles")->click();
        d_.services.fileLists.push_back(paths);
        d_.Click("CmdAdCryptdfile");
        QVERIFY(d_.EncryptListedInto(container, "files pw"));
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

    // Both formats through the text panel: the armour of each, and the note naming the format
    // that decryption found by itself.
    void textRoundTripsInBothFormats_data() {
        QTest::addColumn<bool>("modern");
        QTest::addColumn<Msg>("note");
        QTest::newRow("classic") << false << Msg::TextDecryptedClassic;
        QTest::newRow("modern") << true << Msg::TextDecryptedModern;
    }
    void textRoundTripsInBothFormats() {
        QFETCH(bool, modern);
        QFETCH(Msg, note);
        const QString text = QString::fromUtf8("Pay Bob 100 EUR\nZeile \xE2\x82\xAC\n");
        d_.TextTab();
        TextOption()->setChecked(modern);
        EncryptText(text, "correct horse");
        const std::string armour = d_.Results().toStdString();
        QCOMPARE(armour.find(kBegin) != std::string::npos, modern);
        QVERIFY(d_.Results().indexOf("Pay Bob") < 0);
        QVERIFY(d_.W("cmdMail")->isEnabled());

        DecryptText("correct horse");
        // The modern format keeps the exact text; the classic one puts its notice line first.
        if (modern) {
            QCOMPARE(d_.Results(), text);
        } else {
            QVERIFY(d_.Results().endsWith("\n" + text));
        }
        QCOMPARE(Note(), d_.Text(note));
        QCOMPARE(TextOption()->isChecked(), modern);  // kept after the job
    }

    // The option only chooses what encryption writes: decryption reads either format whatever
    // it shows.
    void textDecryptionFindsTheFormatWhateverTheOption_data() {
        QTest::addColumn<bool>("modernArmour");
        QTest::addColumn<bool>("optionChecked");
        QTest::newRow("modern armour, option off") << true << false;
        QTest::newRow("classic armour, option on") << false << true;
    }
    void textDecryptionFindsTheFormatWhateverTheOption() {
        QFETCH(bool, modernArmour);
        QFETCH(bool, optionChecked);
        std::string armour;
        if (modernArmour) {
            const std::vector<std::string> keys{"pw"};
            armour = sealwise::modern::SealText("made elsewhere", keys);
        } else {
            sealwise::TextCryptJob core;
            armour = *core.Encrypt("made elsewhere", sealwise::MakeKeyString("pw"), 0);
        }
        d_.TextTab();
        TextOption()->setChecked(optionChecked);
        d_.SetResults(QString::fromStdString(armour));
        DecryptText("pw");
        QVERIFY(d_.Results().endsWith("made elsewhere"));
        QCOMPARE(Note(),
                 d_.Text(modernArmour ? Msg::TextDecryptedModern : Msg::TextDecryptedClassic));
    }

    // Failures of modern armour keep the armour in the box and say what went wrong.
    void badModernArmourIsReportedAndKept_data() {
        QTest::addColumn<bool>("tamper");
        QTest::addColumn<QString>("passphrase");
        QTest::addColumn<Msg>("message");
        QTest::newRow("one character changed") << true << "pw" << Msg::ModernDamagedText;
        QTest::newRow("wrong passphrase") << false << "other" << Msg::ModernWrongPassphrase;
    }
    void badModernArmourIsReportedAndKept() {
        QFETCH(bool, tamper);
        QFETCH(QString, passphrase);
        QFETCH(Msg, message);
        const std::vector<std::string> keys{"pw"};
        std::string armour = sealwise::modern::SealText("Pay Bob 100 EUR", keys);
        if (tamper) {
            const std::size_t at = kBegin.size() + 40;  // inside the Base64
            armour[at] = armour[at] == 'A' ? 'B' : 'A';
        }
        d_.TextTab();
        d_.SetResults(QString::fromStdString(armour));
        DecryptText(passphrase);
        QCOMPARE(d_.Messages(), QStringList{d_.Text(message)});
        QVERIFY(d_.Results().indexOf("Pay Bob") < 0);
        QVERIFY(!d_.W<QLabel>("lblResult")->isVisible());
    }

    // Shared keys open modern armour sealed with them, in their order.
    void sharedKeysOpenModernArmour() {
        const std::vector<std::string> keys{"alpha", "beta"};
        const std::string armour = sealwise::modern::SealText("shared text", keys);
        d_.DecryptTab();
        d_.W<QRadioButton>("optMults_1")->click();
        d_.Edit("txtKeyNum")->setText("2");
        d_.Edit("TxtCode")->setText("alpha");
        d_.Click("lblNextKey_0");
        d_.Edit("TxtCode")->setText("beta");
        d_.TextTab();
        d_.SetResults(QString::fromStdString(armour));
        d_.Click("Command2");
        QVERIFY(d_.WaitIdle());
        QCOMPARE(d_.Results(), QString("shared text"));
        for (const auto& slot : d_.window->KeyEntry().store().slots) QVERIFY(slot.empty());
    }

    // Files through the encrypt and decrypt pages in both formats; the container starts with
    // the modern magic only when the option was checked.
    void filesRoundTripInBothFormats_data() {
        QTest::addColumn<bool>("modern");
        QTest::addColumn<Msg>("note");
        QTest::newRow("classic") << false << Msg::FileDecryptedClassic;
        QTest::newRow("modern") << true << Msg::FileDecryptedModern;
    }
    void filesRoundTripInBothFormats() {
        QFETCH(bool, modern);
        QFETCH(Msg, note);
        WriteFile(Path("in/a.txt"), "first file");
        WriteFile(Path("in/b.bin"), QByteArray(70000, 'b'));
        d_.EncryptTab();
        FilesOption()->setChecked(modern);
        const QString container = Path("box.vesk");
        EncryptFiles({Path("in/a.txt"), Path("in/b.bin")}, container);
        QCOMPARE(d_.Messages().last(), d_.Text(Msg::SavedAs, container.toStdString()));
        QCOMPARE(ReadFile(container).startsWith("SEALWISE"), modern);
        QCOMPARE(FilesOption()->isChecked(), modern);  // kept after the job

        QVERIFY(d_.DecryptInto(container, Path("out"), "files pw"));
        QCOMPARE(Note(), d_.Text(note));
        QCOMPARE(ReadFile(Path("out/a.txt")), QByteArray("first file"));
        QCOMPARE(ReadFile(Path("out/b.bin")), QByteArray(70000, 'b'));
    }

    // A directory added to the list keeps its tree in the modern container.
    void directoryTreeKeepsItsShapeInTheModernFormat() {
        WriteFile(Path("tree/proj/sub/deep.txt"), "deep");
        WriteFile(Path("tree/proj/top.txt"), "top");
        d_.EncryptTab();
        FilesOption()->setChecked(true);
        d_.W<QRadioButton>("OptDirs")->click();
        d_.services.files.push_back(Path("tree/proj"));
        d_.Click("CmdAdCryptdfile");
        QCOMPARE(d_.W<QListWidget>("LstCryptFiles")->count(), 2);
        d_.Edit("TxtEncrFileName")->setText(Path("tree.vesk"));
        d_.Edit("TxtCode")->setText("files pw");
        d_.Click("Command4");
        QVERIFY(d_.WaitIdle());
        QVERIFY(d_.DecryptInto(Path("tree.vesk"), Path("out"), "files pw"));
        QCOMPARE(ReadFile(Path("out/proj/sub/deep.txt")), QByteArray("deep"));
        QCOMPARE(ReadFile(Path("out/proj/top.txt")), QByteArray("top"));
    }

    // A changed byte inside the sealed data: the damage is reported, no note says it worked
    // and the damaged file gets no final name.
    void tamperedModernContainerRestoresNothingDamaged() {
        QByteArray noise(300000, '\0');
        uint32_t seed = 7;
        for (char& byte : noise)
            byte = static_cast<char>((seed = seed * 1664525u + 1013904223u) >> 24);
        WriteFile(Path("in/a.txt"), noise);
        d_.EncryptTab();
        FilesOption()->setChecked(true);
        EncryptFiles({Path("in/a.txt")}, Path("box.vesk"));
        QByteArray bytes = ReadFile(Path("box.vesk"));
        const auto middle = bytes.size() / 2;  // inside the file's only piece
        bytes[middle] = static_cast<char>(bytes[middle] ^ 0x01);
        WriteFile(Path("box.vesk"), bytes);

        QVERIFY(d_.DecryptInto(Path("box.vesk"), Path("out"), "files pw"));
        const QString last = d_.Messages().last();
        QVERIFY2(last == d_.Text(Msg::ModernDamagedContainer, Path("box.vesk").toStdString()) ||
                     last == d_.Text(Msg::ModernDamagedEntry, "a.txt"),
                 qPrintable(last));
        QVERIFY(!d_.W<QLabel>("lblResult")->isVisible());
        QVERIFY(!QFile::exists(Path("out/a.txt")));
    }

    // The option belongs to the panel it stands on: the text panel's and the encrypt page's
    // are apart, each shown with its own page and both survive tab changes.
    void optionsStayWithTheirPagesAcrossTabChanges() {
        d_.TextTab();
        QVERIFY(TextOption()->isVisible());
        QVERIFY(!FilesOption()->isVisible());
        TextOption()->setChecked(true);
        d_.EncryptTab();
        QVERIFY(FilesOption()->isVisible());
        QVERIFY(!FilesOption()->isChecked());
        d_.DecryptTab();
        QVERIFY(!FilesOption()->isVisible());
        d_.TextTab();
        QVERIFY(TextOption()->isChecked());
        QCOMPARE(TextOption()->text(), d_.Text(Msg::ModernFormatOption));
    }
};

QTEST_MAIN(ModernFormatTest)
#include "modern_format_test.moc"
