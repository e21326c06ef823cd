// Accessibility of the windows: accessible names in the current language, the masked
// passphrase, and a tab order that reaches every control.
#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>
#include <QTest>

#include "app/strings.h"
#include "gui/about/frm_about.h"
#include "gui/controls/light_tab.h"
#include "gui/main/fcrypt.h"
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
        FCrypt window(services_, "");
        window.show();
        QCOMPARE(ControlsWithoutName(&window).join(", "), QString());
        auto* passphrase = testing::Child<QLineEdit>(&window, "TxtCode");
        QCOMPARE(AccessibleName(passphrase), QString::fromStdString(sealwise::GetResText(480)));
        window.SwitchLanguage(2900);
        QCOMPARE(AccessibleName(passphrase), QString::fromStdString(sealwise::GetResText(480)));
        QCOMPARE(AccessibleName(testing::Child<QWidget>(&window, "TxtEncrFileName")),
                 QString("Fichier de sortie"));
        QCOMPARE(ControlsWithoutName(&window), QStringList());

        FrmAbout welcome(services_, [] {});
        QCOMPARE(ControlsWithoutName(&welcome), QStringList());
        sealwise::SetLanguageOffset(900);
    }

    void passphraseIsAPasswordFieldWhileHidden() {
        FCrypt window(services_, "");
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
        FCrypt window(services_, "");
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
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
