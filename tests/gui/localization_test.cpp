// Window localisation: the reference rules on a plain window, and the main window switching
// languages with its flags.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/strings.h"
#include "gui/about/welcome_window.h"
#include "gui/about/welcome_window_names.h"
#include "gui/app/language_flags.h"
#include "gui/app/localizer.h"
#include "gui/controls/light_tab.h"
#include "gui/keyboard/keyboard_window.h"
#include "gui/keyboard/keyboard_window_names.h"
#include "gui/mail/mail_window.h"
#include "gui/mail/mail_window_names.h"
#include "gui/main/main_window.h"
#include "gui/widgets/flag_image.h"
#include "gui/widgets/widget_factory.h"
#include "gui_testing.h"

using namespace sealwise::gui;

namespace {
QString Text(sealwise::Msg id) { return QString::fromStdString(sealwise::GetResText(id)); }
constexpr int kGerman = 0, kEnglish = 900, kSpanish = 1900, kFrench = 2900;

const char* FlagOf(int offset) {
    for (const auto& flag : kLanguageFlags) {
        if (flag.languageOffset == offset) return flag.objectName;
    }
    return "";
}
}  // namespace

class LocalizationTest : public QObject {
    Q_OBJECT

    testing::ScriptedServices services_;

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }

    void referencesMoveIntoTagAndFollowTheLanguage() {
        sealwise::SetLanguageOffset(kEnglish);
        QWidget window;
        window.setWindowTitle("#394");
        auto* button = new QPushButton("#150", &window);
        auto* missing = new QLabel("#259", &window);
        auto* notANumber = new QLabel("#abc", &window);
        auto* typed = new QLineEdit("#161", &window);  // what a user typed stays as typed
        auto* tipped = new QCheckBox("plain", &window);
        tipped->setToolTip("#158");
        LocalizeForm(&window);
        QCOMPARE(window.windowTitle(), QString("Send via Email"));
        QCOMPARE(button->text(), QString("Cancel"));
        QCOMPARE(button->property(kTagProperty).toString(), QString("#150"));
        QCOMPARE(missing->text(), QString("#259"));
        QCOMPARE(notANumber->text(), QString("#abc"));
        QCOMPARE(typed->text(), QString("#161"));
        QCOMPARE(tipped->text(), QString("plain"));
        QCOMPARE(tipped->toolTip(), QString("Hide passphrase"));

        sealwise::SetLanguageOffset(kFrench);
        LocalizeForm(&window);
        QCOMPARE(window.windowTitle(),
                 Text(sealwise::Msg::SendViaEmail));  // an open window's title follows too
        QCOMPARE(button->text(), Text(sealwise::Msg::Cancel));
        QCOMPARE(tipped->toolTip(), Text(sealwise::Msg::HidePassphrase));
        QCOMPARE(typed->text(), QString("#161"));
    }

    void onlyTheFirstAmpersandOfTheTitleGoes() {
        QWidget window;
        window.setWindowTitle("Save & go & stay");
        LocalizeForm(&window);
        QCOMPARE(window.windowTitle(), QString("Save  go & stay"));
    }

    void mainWindowFollowsTheFlags() {
        sealwise::SetLanguageOffset(kGerman);
        MainWindow window(services_, "");
        auto* encryptFiles = testing::Child<QPushButton>(&window, "Command4");
        auto* mainTabs = testing::Child<LightTab>(&window, "TabStr");
        auto* fileTabs = testing::Child<LightTab>(&window, "TabFileCrypt");
        auto* verdict = testing::Child<QLabel>(&window, "Label3");
        QCOMPARE(encryptFiles->text(), QString("Dateien verschlüsseln"));
        const QString germanVerdict = verdict->text();

        QTest::mouseClick(testing::Child<FlagImage>(&window, "ImageFR"), Qt::LeftButton);
        QCOMPARE(sealwise::LanguageOffset(), kFrench);
        QCOMPARE(encryptFiles->text(), Text(sealwise::Msg::EncryptFiles));
        QCOMPARE(mainTabs->Caption(0), Text(sealwise::Msg::TabFiles));
        QCOMPARE(mainTabs->Caption(1), Text(sealwise::Msg::TabText));
        QCOMPARE(fileTabs->Caption(0), Text(sealwise::Msg::TabEncrypt));
        QCOMPARE(fileTabs->Caption(1), Text(sealwise::Msg::TabDecrypt));
        QCOMPARE(verdict->text(), Text(sealwise::Msg::PassphraseNotSecure));
        QVERIFY(verdict->text() != germanVerdict);
        QCOMPARE(testing::Child<FlagImage>(&window, "ImageFR")->IsMarked(), true);
        QCOMPARE(testing::Child<FlagImage>(&window, "ImageDE")->IsMarked(), false);

        QTest::mouseClick(testing::Child<FlagImage>(&window, "ImageDE"), Qt::LeftButton);
        QCOMPARE(encryptFiles->text(), QString("Dateien verschlüsseln"));
        QCOMPARE(mainTabs->Caption(0), QString("Dateien ver-/entschlüsseln"));
        QCOMPARE(verdict->text(), germanVerdict);
        QCOMPARE(testing::Child<FlagImage>(&window, "ImageFR")->IsMarked(), false);
        QCOMPARE(testing::Child<FlagImage>(&window, "ImageDE")->IsMarked(), true);
    }

    // Whichever window's flag is clicked, every open window speaks the new language at once:
    // never a window in two languages, nor two windows in different ones.
    void everyOpenWindowFollowsTheFlags_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("language");
        QTest::newRow("welcome window, German") << welcome_window_names::kWindow << kGerman;
        QTest::newRow("welcome window, Spanish") << welcome_window_names::kWindow << kSpanish;
        QTest::newRow("main window, French") << "FCrypt" << kFrench;
        QTest::newRow("main window, German") << "FCrypt" << kGerman;
    }
    void everyOpenWindowFollowsTheFlags() {
        QFETCH(QString, source);
        QFETCH(int, language);
        sealwise::SetLanguageOffset(kEnglish);
        MainWindow main(services_, "");
        main.show();
        QTest::mouseClick(testing::Child<QPushButton>(&main, "Command3"), Qt::LeftButton);
        auto* keyboard = testing::Child<KeyboardWindow>(&main, keyboard_window_names::kWindow);
        MailWindow* mail = MailWindow::ShowFor(&main, services_, "armour");
        WelcomeWindow welcome(services_, [] {});
        welcome.show();

        QWidget* clicked = source == "FCrypt" ? static_cast<QWidget*>(&main) : &welcome;
        QTest::mouseClick(testing::Child<FlagImage>(clicked, FlagOf(language)), Qt::LeftButton);
        QCOMPARE(sealwise::LanguageOffset(), language);

        QCOMPARE(testing::Child<QPushButton>(&main, "Command4")->text(),
                 Text(sealwise::Msg::EncryptFiles));
        QCOMPARE(testing::Child<LightTab>(&main, "TabStr")->Caption(0),
                 Text(sealwise::Msg::TabFiles));
        QCOMPARE(testing::Child<QLabel>(&main, "Label3")->text(),
                 Text(sealwise::Msg::PassphraseNotSecure));
        QCOMPARE(testing::Child<QPushButton>(&welcome, welcome_window_names::kStart)->text(),
                 Text(sealwise::Msg::Start));
        QCOMPARE(welcome.windowTitle(), Text(sealwise::Msg::Welcome));
        QCOMPARE(keyboard->windowTitle(), Text(sealwise::Msg::ScreenKeyboardTitle));
        QCOMPARE(testing::Child<QPushButton>(keyboard, ElementName(keyboard_window_names::kKey, 18))
                     ->text(),
                 Text(sealwise::Msg::SpaceKey));
        QCOMPARE(mail->windowTitle(), Text(sealwise::Msg::SendViaEmail));
        QCOMPARE(testing::Child<QPushButton>(mail, mail_window_names::kSend)->text(),
                 Text(sealwise::Msg::Send));
        for (QWidget* window : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&welcome)}) {
            for (const auto& flag : kLanguageFlags) {
                QCOMPARE(testing::Child<FlagImage>(window, flag.objectName)->IsMarked(),
                         flag.languageOffset == language);
            }
        }
        mail->close();
        keyboard->close();
        sealwise::SetLanguageOffset(kEnglish);
    }
};

QTEST_MAIN(LocalizationTest)
#include "localization_test.moc"
