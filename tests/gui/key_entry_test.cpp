// The passphrase panel at work: the generator with its forced top display, hiding the
// passphrase, and the shared-security key entry bound to the key entry model, up to the
// decryption of a container made with three keys.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include "crypto/keys.h"
#include "files/jobs/encrypt_files_job.h"
#include "gui/widgets/lamp_image.h"
#include "window_driver.h"

using namespace sealwise::gui;

namespace {

class QuietObserver : public sealwise::FileJobObserver {
  public:
    int errors = 0;
    void ReportError(const std::string&, const sealwise::SealError&) override { ++errors; }
};

}  // namespace

class KeyEntryTest : public QObject {
    Q_OBJECT

    testing::WindowDriver d_;

    QString KeyOf() { return d_.W<QLabel>("lblKeyOf")->text(); }
    bool Lit(int lamp) { return d_.W<LampImage>(QString("AmpelL_%1").arg(lamp))->Lit(); }
    void SharedSecurity() {
        d_.DecryptTab();
        d_.W<QRadioButton>("optMults_1")->click();
    }
    // Moves the focus out of the count box, as the Tab key does.
    void LeaveCountBox() {
        d_.Edit("txtKeyNum")->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(d_.Edit("txtKeyNum")->hasFocus());
        d_.Edit("TxtCode")->setFocus(Qt::TabFocusReason);
    }

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }
    void init() {
        d_.Open();
        d_.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d_.window.get()));
    }
    void cleanup() { d_.Close(); }

    void generatorFillsTheBoxAndForcesTheTopDisplay() {
        QVERIFY(d_.W<QCheckBox>("ChkHPwd")->isChecked());
        d_.Click("cmdPassgen");
        const QString generated = d_.Edit("TxtCode")->text();
        QCOMPARE(generated.size(), 32);
        for (const QChar c : generated) QVERIFY(c.unicode() >= 32 && c.unicode() <= 125);
        QVERIFY(!d_.W<QCheckBox>("ChkHPwd")->isChecked());
        QCOMPARE(d_.Edit("TxtCode")->echoMode(), QLineEdit::Normal);
        QCOMPARE(d_.W<QLabel>("Label3")->text(), d_.Text(sealwise::Msg::RandomPasswordCreated));
        for (int i = 1; i <= 5; ++i) {
            QVERIFY(!d_.W(QString("Stern_%1").arg(i))->isHidden());
            QVERIFY(d_.W(QString("SchlusselPlatz_%1").arg(i))->isHidden());
        }
        QVERIFY(!Lit(0) && !Lit(1) && Lit(2));

        // Checking the box masks the generated text; an edit rates it again.
        d_.W<QCheckBox>("ChkHPwd")->click();
        QCOMPARE(d_.Edit("TxtCode")->echoMode(), QLineEdit::Password);
        d_.Edit("TxtCode")->setText("abcdefgh");
        QCOMPARE(d_.W<QLabel>("Label3")->text(), d_.Text(sealwise::Msg::PassphraseCrackable));
    }

    void arrowsAndScrollBarWrapAroundTheKeys() {
        SharedSecurity();
        QCOMPARE(KeyOf(), QString("1/3"));
        d_.Edit("TxtCode")->setText("k1");
        d_.Click("lblNextKey_1");  // "<" from key 1
        QCOMPARE(KeyOf(), QString("3/3"));
        QCOMPARE(d_.W<QScrollBar>("KeyScroll")->value(), 3);
        d_.Edit("TxtCode")->setText("k3");
        d_.Click("lblNextKey_0");  // ">" from key 3
        QCOMPARE(KeyOf(), QString("1/3"));
        QCOMPARE(d_.Edit("TxtCode")->text(), QString("k1"));
        d_.W<QScrollBar>("KeyScroll")->setValue(3);
        QCOMPARE(KeyOf(), QString("3/3"));
        QCOMPARE(d_.Edit("TxtCode")->text(), QString("k3"));

        d_.Edit("txtKeyNum")->setText("10");
        QCOMPARE(KeyOf(), QString("1/10"));
        QCOMPARE(d_.W<QScrollBar>("KeyScroll")->maximum(), 10);
        for (int key = 2; key <= 10; ++key) {
            d_.Click("lblNextKey_0");
            QCOMPARE(KeyOf(), QString("%1/10").arg(key));
            d_.Edit("TxtCode")->setText(QString("key %1").arg(key));
        }
        d_.Click("lblNextKey_0");
        QCOMPARE(KeyOf(), QString("1/10"));
        d_.Click("lblNextKey_1");
        QCOMPARE(d_.Edit("TxtCode")->text(), QString("key 10"));
    }

    void letterInTheCountBecomesTwo() {
        SharedSecurity();
        d_.Edit("txtKeyNum")->setText("x");
        QCOMPARE(d_.Edit("txtKeyNum")->text(), QString("2"));
        QCOMPARE(KeyOf(), QString("1/2"));
        QCOMPARE(d_.W<QScrollBar>("KeyScroll")->maximum(), 2);
    }

    void countOfOneReturnsToOnePassphrase() {
        SharedSecurity();
        d_.Edit("TxtCode")->setText("typed");
        d_.Edit("txtKeyNum")->setText("1");
        LeaveCountBox();
        QTRY_VERIFY(d_.W<QRadioButton>("optMults_0")->isChecked());
        QCOMPARE(d_.Edit("txtKeyNum")->text(), QString("2"));
        QVERIFY(d_.Edit("TxtCode")->text().isEmpty());
        for (const auto& slot : d_.window->KeyEntry().store().slots) QVERIFY(slot.empty());
        QVERIFY(d_.W("pctSharedSecurity")->isHidden());
    }

    void countAboveTenKeepsTheFocusWithAMessage() {
        SharedSecurity();
        d_.Edit("txtKeyNum")->setText("11");
        LeaveCountBox();
        QTRY_COMPARE(d_.Messages(), QStringList{d_.Text(sealwise::Msg::KeyCountRefused)});
        QTRY_VERIFY(d_.Edit("txtKeyNum")->hasFocus());
        QVERIFY(d_.W<QRadioButton>("optMults_1")->isChecked());
    }

    // A container made with three keys opens only with all three, entered in order.
    void threeKeyContainerDecrypts() {
        QTemporaryDir dir;
        const QString input = dir.filePath("plan.txt");
        {
            QFile file(input);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("three keys");
        }
        sealwise::SharedKeyStore store;
        store.slots = {"anna", "bert", "cleo"};
        store.passphraseBox = "anna";  // the box belongs to the key shown
        const sealwise::Bytes key = sealwise::CombineSharedKeys(store);
        QuietObserver observer;
        sealwise::EncryptFilesJob job(observer);
        const std::string container = dir.filePath("plan.vesk").toStdString();
        job.Run({{input.toStdString(), "\\"}}, container, key);
        QCOMPARE(observer.errors, 0);

        SharedSecurity();
        for (const char* part : {"anna", "bert", "cleo"}) {
            d_.Edit("TxtCode")->setText(part);
            if (QString(part) != "cleo") d_.Click("lblNextKey_0");
        }
        QCOMPARE(KeyOf(), QString("3/3"));
        d_.Edit("TxtDecrFile")->setText(QString::fromStdString(container));
        d_.Edit("TxtDecrOutPath")->setText(dir.filePath("out"));
        d_.Click("Command5");
        QVERIFY(d_.WaitIdle());
        QVERIFY(d_.Messages().isEmpty());
        QFile restored(dir.filePath("out/plan.txt"));
        QVERIFY(restored.open(QIODevice::ReadOnly));
        QCOMPARE(restored.readAll(), QByteArray("three keys"));
        for (const auto& slot : d_.window->KeyEntry().store().slots) QVERIFY(slot.empty());
        QVERIFY(d_.Edit("TxtCode")->text().isEmpty());
    }

    // After a run the keys are wiped, and the navigator is back at key 1: the next key typed
    // is key 1 again, not the last one shown.
    void navigatorReturnsToKeyOneAfterARun() {
        QTemporaryDir dir;
        SharedSecurity();
        for (const char* part : {"anna", "bert", "cleo"}) {
            d_.Edit("TxtCode")->setText(part);
            if (QString(part) != "cleo") d_.Click("lblNextKey_0");
        }
        QCOMPARE(KeyOf(), QString("3/3"));
        d_.Edit("TxtDecrFile")->setText(dir.filePath("missing.vesk"));  // the run fails
        d_.Edit("TxtDecrOutPath")->setText(dir.filePath("out"));
        d_.Click("Command5");
        QVERIFY(d_.WaitIdle());
        QCOMPARE(KeyOf(), QString("1/3"));
        QCOMPARE(d_.W<QScrollBar>("KeyScroll")->value(), 1);
        d_.Edit("TxtCode")->setText("new first");
        d_.Click("lblNextKey_0");
        QCOMPARE(KeyOf(), QString("2/3"));
        QCOMPARE(d_.window->KeyEntry().store().slots[0], std::string("new first"));
        QVERIFY(d_.window->KeyEntry().store().slots[2].empty());
    }
};

QTEST_MAIN(KeyEntryTest)
#include "key_entry_test.moc"
