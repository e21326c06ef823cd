// The text tab at work: encrypting the text box into armour and back on the job thread, the
// checks before a job, Cancel, and the mail button that only fresh armour enables.
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>

#include "gui/controls/progress_bar.h"
#include "gui/working/working_display.h"
#include "text/text_crypt.h"
#include "window_driver.h"

using namespace sealwise::gui;

class TextJobsTest : public QObject {
    Q_OBJECT

    testing::WindowDriver d_;

    // Encrypts the text box with a passphrase and waits for the armour.
    void Encrypt(const QString& passphrase) {
        d_.Edit("TxtCode")->setText(passphrase);
        d_.Click("Command1");
        QVERIFY(d_.WaitIdle());
    }
    void Decrypt(const QString& passphrase) {
        d_.Edit("TxtCode")->setText(passphrase);
        d_.Click("Command2");
        QVERIFY(d_.WaitIdle());
    }

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }
    void init() {
        d_.Open();
        d_.TextTab();
    }
    void cleanup() { d_.Close(); }

    void encryptedTextDecryptsBackWithItsNoticeLine() {
        const QString text = QString::fromUtf8("Zeile eins\nline two \xE2\x82\xAC\n\nend");
        d_.SetResults(text);
        Encrypt("correct horse");
        QCOMPARE(d_.Messages(), QStringList{d_.Text(sealwise::Msg::MemorizePassword)});
        QCOMPARE(d_.services.messages[0].buttons, MessageButtons::OkCancel);
        const QString armour = d_.Results();
        QVERIFY(!armour.contains("Zeile"));
        QVERIFY(armour.contains('\n'));  // 76-character lines
        QVERIFY(d_.Edit("TxtCode")->text().isEmpty());
        QVERIFY(d_.W("cmdMail")->isEnabled());
        QVERIFY(!d_.window->IsBusy());

        // The stored text has CR LF line breaks, whoever decrypts it.
        sealwise::TextCryptJob core;
        const auto stored =
            core.Decrypt(armour.toStdString(), sealwise::MakeKeyString("correct horse"));
        QVERIFY(stored && stored->find("Zeile eins\r\nline two") != std::string::npos);

        Decrypt("correct horse");
        const QString notice = QString::fromStdString(sealwise::NoticeLine(900));
        QCOMPARE(d_.Results(), notice + "\n" + text);
        QVERIFY(!d_.W("cmdMail")->isEnabled());  // plain text is never mailed
        QVERIFY(d_.Edit("TxtCode")->text().isEmpty());
    }

    void armourPastedWithLineFeedsAndBlanksStillDecrypts() {
        sealwise::TextCryptJob core;
        const std::string armour =
            *core.Encrypt(std::string(200, 'x'), sealwise::MakeKeyString("pw"), 0);
        QString pasted = QString::fromStdString(armour).replace("\r\n", " \n ");
        d_.SetResults(pasted);
        Decrypt("pw");
        QVERIFY(d_.Results().endsWith(QString(200, 'x')));
        QVERIFY(d_.Results().startsWith(QString::fromStdString(sealwise::NoticeLine(0))));
    }

    void wrongPassphraseSaysSoAndKeepsTheArmour() {
        d_.SetResults("secret message");
        Encrypt("right");
        const QString armour = d_.Results();
        Decrypt("wrong");
        QCOMPARE(d_.Results(), armour);
        QCOMPARE(d_.Messages(), (QStringList{d_.Text(sealwise::Msg::MemorizePassword),
                                             d_.Text(sealwise::Msg::WrongKeyOrDamage)}));
    }

    void missingPassphraseOrTextShowsMessage114() {
        d_.SetResults("text");
        d_.Click("Command1");
        d_.Edit("TxtCode")->setText("pw");
        d_.SetResults("");
        d_.Click("Command2");
        QCOMPARE(d_.Messages(), (QStringList{d_.Text(sealwise::Msg::CheckNamesAndPassword),
                                             d_.Text(sealwise::Msg::CheckNamesAndPassword)}));
        QVERIFY(!d_.window->IsBusy());
        QCOMPARE(d_.Edit("TxtCode")->text(), QString("pw"));  // nothing started
    }

    void armourOfNoWholeBlocksShowsMessage114() {
        d_.SetResults("QUJD");
        Decrypt("pw");
        QCOMPARE(d_.Messages(), QStringList{d_.Text(sealwise::Msg::CheckNamesAndPassword)});
        QCOMPARE(d_.Results(), QString("QUJD"));
    }

    void cancelledConfirmationChangesNothing() {
        d_.SetResults("keep me");
        d_.Edit("TxtCode")->setText("pw");
        d_.services.answers = {MessageAnswer::Cancel};
        d_.Click("Command1");
        QCOMPARE(d_.Results(), QString("keep me"));
        QCOMPARE(d_.Edit("TxtCode")->text(), QString("pw"));
        QVERIFY(!d_.window->IsBusy());
    }

    // A large text takes long enough for Cancel: the box keeps the text behind its notice
    // line, the passphrase is gone, and the window is idle and usable again.
    void cancelDuringALargeTextKeepsTheNoticeLine() {
        const QString line = QString(79, 'a') + '\n';
        QString text;
        for (int i = 0; i < 60000; ++i) text += line;
        d_.SetResults(text);
        d_.Edit("TxtCode")->setText("pw");
        d_.Click("Command1");
        QVERIFY(d_.window->IsBusy());
        QVERIFY(d_.window->JobRunning());
        QTest::mouseClick(testing::Child<QPushButton>(d_.window.get(), "CmdCancel"),
                          Qt::LeftButton);
        QVERIFY(d_.WaitIdle());
        QVERIFY(d_.Results().startsWith(QString::fromStdString(sealwise::NoticeLine(900)) + "\n" +
                                        QString(79, 'a')));
        QVERIFY(d_.Edit("TxtCode")->text().isEmpty());
        QVERIFY(!d_.W("cmdMail")->isEnabled());
        QVERIFY(d_.W("Frame_0")->isEnabled());

        // The cancel request ended with its job.
        d_.SetResults("small");
        Encrypt("pw");
        QVERIFY(d_.W("cmdMail")->isEnabled());
    }

    void progressOfTheTextReachesItsEnd() {
        d_.SetResults(QString(3200, 'p'));
        Encrypt("pw");
        auto* bar = d_.window->Working()->ItemProgress();
        const auto plain = 32 + sealwise::NoticeLine(900).size() + 2 + 3200;
        const int blocks = static_cast<int>((plain + 31) / 32);
        QCOMPARE(bar->Max(), blocks + 1);
        QCOMPARE(bar->Position(), blocks + 1);
    }

    void typingAfterEncryptingDisablesMail() {
        d_.SetResults("mail me");
        Encrypt("pw");
        QVERIFY(d_.W("cmdMail")->isEnabled());
        auto* box = d_.W<QPlainTextEdit>("txtResults");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_X);
        QVERIFY(!d_.W("cmdMail")->isEnabled());
    }

    // The text tab decrypts with the shared keys entered on the decrypt tab.
    void sharedSecurityDecryptsWithTheCombinedKeys() {
        sealwise::SharedKeyStore store;
        store.countText = "2";
        store.slots[0] = "alpha";
        store.slots[1] = "beta";
        store.passphraseBox = "alpha";  // the box belongs to the key shown
        sealwise::TextCryptJob core;
        const std::string armour =
            *core.Encrypt("shared text", sealwise::CombineSharedKeys(store), 900);

        d_.DecryptTab();
        d_.W<QRadioButton>("optMults_1")->click();
        d_.Edit("txtKeyNum")->setText("2");
        d_.Edit("TxtCode")->setText("alpha");
        d_.Click("lblNextKey_0");
        d_.Edit("TxtCode")->setText("beta");  // not confirmed by navigating: still counts
        d_.TextTab();
        d_.SetResults(QString::fromStdString(armour));
        d_.Click("Command2");
        QVERIFY(d_.WaitIdle());
        QVERIFY(d_.Results().endsWith("\nshared text"));
        for (const auto& slot : d_.window->KeyEntry().store().slots) QVERIFY(slot.empty());
    }

    void missingSharedKeyEndsBeforeTheJob() {
        d_.DecryptTab();
        d_.W<QRadioButton>("optMults_1")->click();
        d_.Edit("TxtCode")->setText("only the first");
        d_.TextTab();
        d_.SetResults("QUJD");
        d_.Click("Command2");
        QCOMPARE(d_.Messages(), QStringList{d_.Text(sealwise::Msg::SharedKeyMissing, "2")});
        QVERIFY(!d_.window->IsBusy());
        QCOMPARE(d_.Edit("TxtCode")->text(), QString("only the first"));
    }
};

QTEST_MAIN(TextJobsTest)
#include "text_jobs_test.moc"
