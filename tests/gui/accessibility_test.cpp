// Accessibility of the windows: accessible names in the current language, the masked
// passphrase, and a tab order that reaches every control.
#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>

#include "app/strings.h"
#include "gui/about/welcome_window.h"
#include "gui/controls/light_tab.h"
#include "gui/keyboard/keyboard_window_names.h"
#include "gui/mail/mail_window.h"
#include "gui/main/main_window.h"
#include "gui/widgets/star_rating.h"
#include "gui_testing.h"

using namespace sealwise::gui;

namespace {

// Layout containers that hold controls but are no control of their own.
const QSet<QString> kContainers = {"TitleBar",
                                   "Frame_0",
                                   "Frame_1",
                                   "FramFileEnrypt",
                                   "FramFileDecrypt",
                                   "FramePwd",
                                   "LowerRows",
                                   "ModeRow",
                                   "ActionRow",
                                   "QualityDisplay",
                                   "StarRow",
                                   "pctSharedSecurity",
                                   "FrameW",
                                   "ucShape1",
                                   "Shape1",
                                   "ProgressIndicator",
                                   "Line1"};

QAccessibleInterface* Face(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (!face) qFatal("no accessible interface for %s", qPrintable(widget->objectName()));
    return face;
}

QString Text(sealwise::Msg id) { return QString::fromStdString(sealwise::GetResText(id)); }

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

QStringList ControlsWithoutName(QWidget* window) {
    QStringList missing;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith("qt_") || kContainers.contains(name)) continue;
        if (AccessibleName(widget).trimmed().isEmpty()) missing << name;
    }
    return missing;
}

// Names of the widgets the Tab key visits, starting at `first`, until it comes back.
QStringList TabCycle(QWidget* window, QWidget* first) {
    first->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int step = 0; step < 200; ++step) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || visited.contains(focus->objectName())) break;
        visited << focus->objectName();
        if (qobject_cast<QRadioButton*>(focus))
            visited << "group:" + focus->parentWidget()->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    Q_UNUSED(window);
    return visited;
}

// Every shown, enabled control that takes the focus from the keyboard.
QStringList KeyboardControls(QWidget* window) {
    QStringList controls;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisible() ||
            !widget->isEnabled() || widget->objectName().startsWith("qt_")) {
            continue;
        }
        // Tab reaches a group of exclusive options once; the arrow keys move inside it. The
        // group stands for its options: "group:" and the parent's name.
        if (qobject_cast<QRadioButton*>(widget)) {
            const QString group = "group:" + widget->parentWidget()->objectName();
            if (!controls.contains(group)) controls << group;
            continue;
        }
        controls << widget->objectName();
    }
    return controls;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

    testing::ScriptedServices services_;

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }

    void everyControlHasANameInTheCurrentLanguage() {
        sealwise::SetLanguageOffset(0);
        MainWindow window(services_, "");
        window.show();
        QCOMPARE(ControlsWithoutName(&window).join(", "), QString());
        auto* passphrase = testing::Child<QLineEdit>(&window, "TxtCode");
        QCOMPARE(AccessibleName(passphrase),
                 QString::fromStdString(sealwise::GetResText(sealwise::Msg::PassphraseName)));
        window.SwitchLanguage(2900);
        QCOMPARE(AccessibleName(passphrase),
                 QString::fromStdString(sealwise::GetResText(sealwise::Msg::PassphraseName)));
        QCOMPARE(AccessibleName(testing::Child<QWidget>(&window, "TxtEncrFileName")),
                 QString("Fichier de sortie"));
        QCOMPARE(ControlsWithoutName(&window), QStringList());

        WelcomeWindow welcome(services_, [] {});
        QCOMPARE(ControlsWithoutName(&welcome), QStringList());
        sealwise::SetLanguageOffset(900);
    }

    void passphraseIsAPasswordFieldWhileHidden() {
        MainWindow window(services_, "");
        auto* passphrase = testing::Child<QLineEdit>(&window, "TxtCode");
        auto* hide = testing::Child<QCheckBox>(&window, "ChkHPwd");
        QVERIFY(hide->isChecked());
        QCOMPARE(passphrase->echoMode(), QLineEdit::Password);
        hide->click();
        QCOMPARE(passphrase->echoMode(), QLineEdit::Normal);
        hide->click();
        QCOMPARE(passphrase->echoMode(), QLineEdit::Password);
    }

    void tabKeyReachesEveryControl() {
        MainWindow window(services_, "");
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto check = [&](const char* where) {
            QStringList missing = KeyboardControls(&window);
            const QStringList visited =
                TabCycle(&window, testing::Child<QWidget>(&window, "ImageDE"));
            for (const QString& name : visited) missing.removeAll(name);
            QVERIFY2(missing.isEmpty(), qPrintable(QString(where) + ": " + missing.join(", ") +
                                                   " not in " + visited.join(", ")));
        };
        check("files / encrypt");
        auto* fileTabs = testing::Child<LightTab>(&window, "TabFileCrypt");
        fileTabs->setActiveTab(1);
        testing::Child<QRadioButton>(&window, "optMults_1")->click();
        check("files / decrypt, shared security");
        testing::Child<LightTab>(&window, "TabStr")->setActiveTab(1);
        check("text");
    }

    // Each strip is a page tab list; its tabs are page tabs that a tool selects with "press".
    void tabStripsArePageTabListsWithSelectableTabs() {
        sealwise::SetLanguageOffset(900);
        MainWindow window(services_, "");
        window.show();
        QAccessibleInterface* strip = Face(testing::Child<QWidget>(&window, "TabStr"));
        QCOMPARE(strip->role(), QAccessible::PageTabList);
        QAccessibleInterface* files = strip->child(0);
        QAccessibleInterface* text = strip->child(1);
        QCOMPARE(files->role(), QAccessible::PageTab);
        QCOMPARE(files->text(QAccessible::Name), Text(sealwise::Msg::TabFiles));
        QCOMPARE(text->text(QAccessible::Name), Text(sealwise::Msg::TabText));
        QCOMPARE(strip->indexOfChild(text), 1);
        QVERIFY(files->state().selected && !text->state().selected);
        QVERIFY(text->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
        text->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(testing::Child<LightTab>(&window, "TabStr")->ActiveTab(), 1);
        QVERIFY(text->state().selected && !files->state().selected);
        QVERIFY(testing::Child<QWidget>(&window, "Frame_0")->isVisible());
        // The panels inside the strip stay reachable after the tabs.
        bool panelFound = false;
        for (int i = 2; i < strip->childCount(); ++i) {
            panelFound |= strip->child(i)->object() == testing::Child<QWidget>(&window, "Frame_0");
        }
        QVERIFY(panelFound);
        // A disabled strip (a job runs) cannot be switched from outside either.
        window.SetBusy(true, false);
        files->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(testing::Child<LightTab>(&window, "TabStr")->ActiveTab(), 1);
        window.SetBusy(false, false);
    }

    // The flags are radio buttons: the current language is checked, "press" chooses another.
    void flagsAreRadioButtonsThatCanBePressed() {
        sealwise::SetLanguageOffset(900);
        MainWindow window(services_, "");
        QAccessibleInterface* german = Face(testing::Child<QWidget>(&window, "ImageDE"));
        QAccessibleInterface* english = Face(testing::Child<QWidget>(&window, "ImageEN"));
        QCOMPARE(german->role(), QAccessible::RadioButton);
        QCOMPARE(german->text(QAccessible::Name), QString("Deutsch"));
        QVERIFY(english->state().checked && !german->state().checked);
        german->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(sealwise::LanguageOffset(), 0);
        QVERIFY(german->state().checked && !english->state().checked);
        QCOMPARE(testing::Child<QPushButton>(&window, "Command4")->text(),
                 Text(sealwise::Msg::EncryptFiles));
        english->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(sealwise::LanguageOffset(), 900);
    }

    // The rating is one labelled value, "n of 5 stars", and hides its ten pictures.
    void ratingIsOneLabelledValue() {
        sealwise::SetLanguageOffset(900);
        MainWindow window(services_, "");
        auto* rating = testing::Child<StarRating>(&window, "StarRow");
        QAccessibleInterface* face = Face(rating);
        QCOMPARE(face->childCount(), 0);
        QCOMPARE(face->text(QAccessible::Name), QString("Passphrase quality"));
        QCOMPARE(face->valueInterface()->maximumValue().toInt(), 5);
        QCOMPARE(face->valueInterface()->currentValue().toInt(), 0);
        QCOMPARE(face->text(QAccessible::Value), QString("0 of 5 stars"));
        testing::Child<QLineEdit>(&window, "TxtCode")->setText("Tr0ub4dor&3 correct horse!");
        const int stars = rating->Stars();
        QVERIFY(stars > 0);
        QCOMPARE(face->valueInterface()->currentValue().toInt(), stars);
        QCOMPARE(face->text(QAccessible::Value), QString("%1 of 5 stars").arg(stars));
        window.SwitchLanguage(0);
        QCOMPARE(face->text(QAccessible::Value), QString("%1 von 5 Sternen").arg(rating->Stars()));
        sealwise::SetLanguageOffset(900);
    }

    // Windows are frames and dialogs, not anonymous fillers.
    void windowsAreFramesAndDialogs() {
        MainWindow window(services_, "");
        WelcomeWindow welcome(services_, [] {});
        QCOMPARE(Face(&window)->role(), QAccessible::Window);
        QCOMPARE(Face(&welcome)->role(), QAccessible::Dialog);
        QTest::mouseClick(testing::Child<QPushButton>(&window, "Command3"), Qt::LeftButton);
        QCOMPARE(Face(testing::Child<QWidget>(&window, keyboard_window_names::kWindow))->role(),
                 QAccessible::Window);
        QCOMPARE(Face(MailWindow::ShowFor(&window, services_, "x"))->role(), QAccessible::Dialog);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
