// Window localisation: the reference rules on a plain window, and the main window switching
// languages with its flags.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/strings.h"
#include "gui/app/localizer.h"
#include "gui/controls/light_tab.h"
#include "gui/main/fcrypt.h"
#include "gui/widgets/flag_image.h"
#include "gui_testing.h"

using namespace sealwise::gui;

namespace {
QString Text(int id) { return QString::fromStdString(sealwise::GetResText(id)); }
constexpr int kGerman = 0, kEnglish = 900, kFrench = 2900;
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
        QCOMPARE(window.windowTitle(), QString("Send via Email"));  // localised once
        QCOMPARE(button->text(), Text(150));
        QCOMPARE(tipped->toolTip(), Text(158));
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
        FCrypt window(services_, "");
        auto* encryptFiles = testing::Child<QPushButton>(&window, "Command4");
        auto* mainTabs = testing::Child<LightTab>(&window, "TabStr");
        auto* fileTabs = testing::Child<LightTab>(&window, "TabFileCrypt");
        auto* verdict = testing::Child<QLabel>(&window, "Label3");
        QCOMPARE(encryptFiles->text(), QString("Dateien verschlüsseln"));
        const QString germanVerdict = verdict->text();

        QTest::mouseClick(testing::Child<FlagImage>(&window, "ImageFR"), Qt::LeftButton);
        QCOMPARE(sealwise::LanguageOffset(), kFrench);
        QCOMPARE(encryptFiles->text(), Text(163));
        QCOMPARE(mainTabs->Caption(0), Text(167));
        QCOMPARE(mainTabs->Caption(1), Text(166));
        QCOMPARE(fileTabs->Caption(0), Text(183));
        QCOMPARE(fileTabs->Caption(1), Text(184));
        QCOMPARE(verdict->text(), Text(124));
        QVERIFY(verdict->text() != germanVerdict);
        QCOMPARE(testing::Child<FlagImage>(&window, "ImageFR")->BorderStyle(), 1);
        QCOMPARE(testing::Child<FlagImage>(&window, "ImageDE")->BorderStyle(), 0);

        QTest::mouseClick(testing::Child<FlagImage>(&window, "ImageDE"), Qt::LeftButton);
        QCOMPARE(encryptFiles->text(), QString("Dateien verschlüsseln"));
        QCOMPARE(mainTabs->Caption(0), QString("Dateien ver-/entschlüsseln"));
        QCOMPARE(verdict->text(), germanVerdict);
        QCOMPARE(testing::Child<FlagImage>(&window, "ImageFR")->BorderStyle(), 0);
        QCOMPARE(testing::Child<FlagImage>(&window, "ImageDE")->BorderStyle(), 1);
    }
};

QTEST_MAIN(LocalizationTest)
#include "localization_test.moc"
