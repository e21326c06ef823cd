// The main window: tab strips and the panels they show, the passphrase mode on those tabs,
// the title bar's image buttons, the link, and the window's shape.
#include "gui/main/main_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "app/strings.h"
#include "gui/controls/light_tab.h"
#include "gui/main/main_window_names.h"
#include "gui/widgets/caption_buttons.h"
#include "gui_testing.h"

using namespace sealwise::gui;

class MainWindowTest : public QObject {
    Q_OBJECT

    testing::ScriptedServices services_;
    std::unique_ptr<MainWindow> window_;

    template <typename Widget = QWidget>
    Widget* W(const char* name) {
        return testing::Child<Widget>(window_.get(), name);
    }
    bool Shown(const char* name) { return !W(name)->isHidden(); }
    void ClickTab(const char* strip, int index) {
        auto* tabs = W<LightTab>(strip);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->TabRect(index).center());
    }
    void ExpectShown(std::initializer_list<const char*> names, bool shown) {
        for (const char* name : names) QVERIFY2(Shown(name) == shown, name);
    }

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }
    void init() {
        sealwise::SetLanguageOffset(900);
        services_ = {};
        window_ = std::make_unique<MainWindow>(services_, "");
        window_->show();
    }
    void cleanup() { window_.reset(); }

    // Tests, assistive tools and the screenshot tour find the controls by these names: each
    // must name exactly one widget of the window, and the window its own.
    void everyNameOfTheTableNamesOneWidget() {
        namespace n = main_names;
        QCOMPARE(window_->objectName(), QString(n::kWindow));
        for (const char* name : {n::kBackground,
                                 n::kTitleBar,
                                 n::kTitle,
                                 n::kAbout,
                                 n::kControlBox,
                                 n::kMainTabs,
                                 n::kTextFrame,
                                 n::kTextLabel,
                                 n::kTextBox,
                                 n::kModernText,
                                 n::kFilesFrame,
                                 n::kFileTabs,
                                 n::kEncryptPage,
                                 n::kEncryptInfo,
                                 n::kFilesMode,
                                 n::kDirectoryMode,
                                 n::kInputFilesLabel,
                                 n::kInputList,
                                 n::kAdd,
                                 n::kRemove,
                                 n::kOutputFileLabel,
                                 n::kContainerName,
                                 n::kBrowseContainer,
                                 n::kModernFiles,
                                 n::kDecryptPage,
                                 n::kDecryptHeading,
                                 n::kDecryptFileLabel,
                                 n::kDecryptFile,
                                 n::kBrowseDecryptFile,
                                 n::kOutputPathLabel,
                                 n::kOutputPath,
                                 n::kBrowseOutputPath,
                                 n::kPassphraseFrame,
                                 n::kPassphraseHint,
                                 n::kPassphrase,
                                 n::kHidePassphrase,
                                 n::kGenerate,
                                 n::kKeyboard,
                                 n::kQuality,
                                 n::kQualityCaption,
                                 n::kVerdict,
                                 n::kStarRow,
                                 n::kLampPanel,
                                 n::kLampHousing,
                                 n::kModeRow,
                                 n::kOnePassphrase,
                                 n::kSharedSecurity,
                                 n::kKeyCountPanel,
                                 n::kKeyCountLabel,
                                 n::kKeyCount,
                                 n::kPreviousKey,
                                 n::kKeyScroll,
                                 n::kNextKey,
                                 n::kKeyOf,
                                 n::kOnlineLink,
                                 n::kLowerRows,
                                 n::kActionRow,
                                 n::kEncryptText,
                                 n::kDecryptText,
                                 n::kMail,
                                 n::kEncryptFiles,
                                 n::kDecryptFiles,
                                 n::kResultNote}) {
            QVERIFY2(window_->findChildren<QWidget*>(name).size() == 1, name);
        }
        for (int i = 0; i < 3; ++i) {
            QVERIFY(window_->findChild<QWidget*>(QString(n::kLamp).arg(i)));
        }
    }

    void eachTabShowsItsPanelsAndButtons() {
        ExpectShown({"Frame_1", "FramFileEnrypt", "Command4", "cmdPassgen", "FramePwd"}, true);
        ExpectShown({"Frame_0", "FramFileDecrypt", "Command1", "Command2", "Command5", "LblLink",
                     "cmdMail", "optMults_0", "optMults_1", "pctSharedSecurity"},
                    false);
        ClickTab("TabStr", 1);
        ExpectShown({"Frame_0", "Command1", "Command2", "LblLink", "cmdMail", "FramePwd"}, true);
        ExpectShown({"Frame_1", "Command4", "Command5", "optMults_0", "optMults_1"}, false);
        ClickTab("TabStr", 0);
        ClickTab("TabFileCrypt", 1);
        ExpectShown({"Frame_1", "FramFileDecrypt", "Command5", "optMults_0", "optMults_1"}, true);
        ExpectShown({"Frame_0", "FramFileEnrypt", "Command4", "cmdPassgen", "Command1"}, false);
    }

    // The generator keeps its state on the text tab until the next file tab change.
    void generatorButtonFollowsTheFileTabOnly() {
        ClickTab("TabFileCrypt", 1);
        QVERIFY(!Shown("cmdPassgen"));
        ClickTab("TabStr", 1);
        QVERIFY(!Shown("cmdPassgen"));
        ClickTab("TabStr", 0);
        QVERIFY(!Shown("cmdPassgen"));  // the file tab change ran again with decrypt
        ClickTab("TabFileCrypt", 0);
        QVERIFY(Shown("cmdPassgen"));
    }

    void sharedSecurityOnTheTextTabKeepsItsMode() {
        ClickTab("TabFileCrypt", 1);
        QTest::mouseClick(W<QRadioButton>("optMults_1"), Qt::LeftButton);
        ExpectShown({"pctSharedSecurity", "KeyScroll", "lblNextKey_0", "lblNextKey_1", "lblKeyOf"},
                    true);
        ClickTab("TabStr", 1);
        ExpectShown({"optMults_0", "optMults_1", "pctSharedSecurity"}, false);
        ExpectShown({"KeyScroll", "lblNextKey_0", "lblNextKey_1", "lblKeyOf"}, true);
        QVERIFY(W<QRadioButton>("optMults_1")->isChecked());
        ClickTab("TabStr", 0);
        ExpectShown({"pctSharedSecurity", "optMults_0", "optMults_1"}, true);
    }

    void encryptTabReturnsToOnePassphrase() {
        ClickTab("TabFileCrypt", 1);
        QTest::mouseClick(W<QRadioButton>("optMults_1"), Qt::LeftButton);
        W<QLineEdit>("TxtCode")->setText("first key");
        window_->ApplyKeyEntry(window_->KeyEntry().OnArrow(sealwise::KeyArrow::kNext));
        W<QLineEdit>("TxtCode")->setText("second key");
        QCOMPARE(window_->KeyEntry().store().slots[0], std::string("first key"));
        ClickTab("TabFileCrypt", 0);
        QVERIFY(W<QRadioButton>("optMults_0")->isChecked());
        QVERIFY(W<QLineEdit>("TxtCode")->text().isEmpty());
        for (const auto& slot : window_->KeyEntry().store().slots) QVERIFY(slot.empty());
        ExpectShown({"pctSharedSecurity", "KeyScroll", "lblKeyOf", "optMults_0"}, false);
    }

    void passphraseBoxIsRatedOnEveryChange() {
        // Stars shown, or -1 when a place shows both or neither of star and placeholder.
        const auto shownStars = [this] {
            int stars = 0;
            for (int i = 1; i <= 5; ++i) {
                const bool star = Shown(qPrintable(QString("Stern_%1").arg(i)));
                if (star == Shown(qPrintable(QString("SchlusselPlatz_%1").arg(i)))) return -1;
                stars += star;
            }
            return stars;
        };
        const auto lit = [this](int lamp) {
            return W(qPrintable(QString("AmpelL_%1").arg(lamp)))->property("Lit").toBool();
        };
        QCOMPARE(W<QLabel>("Label3")->text(),
                 QString::fromStdString(sealwise::GetResText(sealwise::Msg::PassphraseNotSecure)));
        QCOMPARE(shownStars(), 0);
        QVERIFY(lit(0) && !lit(1) && !lit(2));
        W<QLineEdit>("TxtCode")->setText("abcdefgh");
        QCOMPARE(W<QLabel>("Label3")->text(),
                 QString::fromStdString(sealwise::GetResText(sealwise::Msg::PassphraseCrackable)));
        QCOMPARE(shownStars(), 2);
        QVERIFY(lit(0) && lit(1) && !lit(2));
    }

    void captionImageMinimisesLeftOfFifteenPixelsAndClosesFromThere() {
        auto* box = W<CaptionButtons>("IControlBx");
        QSignalSpy minimise(box, &CaptionButtons::MinimiseClicked);
        QSignalSpy close(box, &CaptionButtons::CloseClicked);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(14, 7));
        QCOMPARE(minimise.count(), 1);
        QCOMPARE(close.count(), 0);
        QVERIFY(window_->isMinimized());
        window_->showNormal();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(15, 7));
        QCOMPARE(close.count(), 1);
        QVERIFY(!window_->isVisible());
        window_.release()->deleteLater();  // closing deletes the window
    }

    void onlineLinkWarnsFirstThenOpensThePage() {
        ClickTab("TabStr", 1);
        QTest::mouseClick(W("LblLink"), Qt::LeftButton);
        const QString warning =
            QString::fromStdString(sealwise::GetResText(sealwise::Msg::AuthorizeCertificate));
        QCOMPARE(services_.events,
                 (QStringList{"message " + warning, "url https://sealwise.example/online"}));
        QCOMPARE(services_.messages.front().buttons, MessageButtons::Ok);
    }

    void mailButtonWaitsForAnEncryptedText() {
        ClickTab("TabStr", 1);
        QVERIFY(!W("cmdMail")->isEnabled());
    }

    void windowHasRoundedCornersAndNoSystemFrame() {
        QVERIFY(window_->windowFlags().testFlag(Qt::FramelessWindowHint));
        const QRegion mask = window_->mask();
        QVERIFY(!mask.contains(QPoint(0, 0)));
        QVERIFY(!mask.contains(QPoint(window_->width() - 1, window_->height() - 1)));
        QVERIFY(mask.contains(QPoint(10, 0)));
        QVERIFY(mask.contains(QPoint(0, 10)));
        QVERIFY(mask.contains(window_->rect().center()));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
