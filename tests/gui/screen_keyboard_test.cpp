// The on-screen keyboard: the arrangement chosen from the keyboard layout, what each key types
// on the three arrangements, the two sizes, and how the main window opens it.
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/strings.h"
#include "gui/keyboard/keyboard_layout.h"
#include "gui/keyboard/keyboard_window.h"
#include "gui/keyboard/keyboard_window_names.h"
#include "gui/main/main_window.h"
#include "gui/widgets/widget_factory.h"
#include "gui_testing.h"

using namespace sealwise::gui;
namespace names = sealwise::gui::keyboard_window_names;

namespace {

constexpr uint16_t kGermanGermany = 0x0407;
constexpr uint16_t kUsEnglish = 0x0409;
constexpr uint16_t kSpanishSpain = 0x0C0A;

QString Text(sealwise::Msg id) { return QString::fromStdString(sealwise::GetResText(id)); }

}  // namespace

class ScreenKeyboardTest : public QObject {
    Q_OBJECT

    testing::ScriptedServices services_;
    std::unique_ptr<MainWindow> main_;

    QLineEdit* Passphrase() { return testing::Child<QLineEdit>(main_.get(), "TxtCode"); }
    KeyboardWindow* Open(uint16_t langId) {
        return KeyboardWindow::ShowFor(main_.get(), Passphrase(), {}, KeyboardLayoutHandle(langId));
    }
    static QPushButton* Key(KeyboardWindow* keyboard, int index) {
        return testing::Child<QPushButton>(keyboard, ElementName(names::kKey, index));
    }
    // Clicks the keys in turn and returns what the passphrase box holds afterwards.
    QString Type(KeyboardWindow* keyboard, std::initializer_list<int> indices) {
        for (int index : indices) QTest::mouseClick(Key(keyboard, index), Qt::LeftButton);
        return Passphrase()->text();
    }
    static QMap<QString, QRect> Geometries(QWidget* window) {
        QMap<QString, QRect> all{{"window", QRect(QPoint(), window->size())}};
        for (auto* child : window->findChildren<QWidget*>())
            all[child->objectName()] = child->geometry();
        return all;
    }

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }
    void init() {
        sealwise::SetLanguageOffset(900);
        services_ = {};
        main_ = std::make_unique<MainWindow>(services_, "");
        main_->show();
    }
    void cleanup() { main_.reset(); }

    void arrangementFollowsTheKeyboardLayout() {
        QCOMPARE(LayoutTypeFromKeyboardLayout(0x04070407), KeyboardLayoutType::kGerman);
        QCOMPARE(LayoutTypeFromKeyboardLayout(0xF0C00409), KeyboardLayoutType::kGerman);
        QCOMPARE(LayoutTypeFromKeyboardLayout(0x040A040A), KeyboardLayoutType::kSpanish);
        // Spain's modern sort order (what the locale es_ES maps to) has the same keys.
        QCOMPARE(LayoutTypeFromKeyboardLayout(0x0C0A0C0A), KeyboardLayoutType::kSpanish);
        QCOMPARE(LayoutTypeFromKeyboardLayout(0x04090409), KeyboardLayoutType::kEnglish);
        QCOMPARE(LayoutTypeFromKeyboardLayout(0x080A080A), KeyboardLayoutType::kEnglish);
        QCOMPARE(LayoutTypeFromKeyboardLayout(0x08070807), KeyboardLayoutType::kEnglish);
        QCOMPARE(LayoutTypeFromKeyboardLayout(0x040C040C), KeyboardLayoutType::kEnglish);
    }

    void hasSixtySixKeysThatDoNotOverlapInTheirRows() {
        const auto& keys = DesignKeys();
        QCOMPARE(keys.size(), std::size_t(66));
        QSet<int> indices;
        for (const auto& key : keys) indices.insert(key.index);
        QVERIFY(!indices.contains(16) && !indices.contains(17));
        QCOMPARE(*std::max_element(indices.begin(), indices.end()), 67);
        for (const auto& a : keys) {
            const QRect ra(a.rect.left, a.rect.top, a.rect.width, a.rect.height);
            QVERIFY(
                QRect(0, 0, kKeyboardClientArea.width, kKeyboardClientArea.height).contains(ra));
            for (const auto& b : keys) {
                if (a.index == b.index || a.row != b.row) continue;
                const QRect rb(b.rect.left, b.rect.top, b.rect.width, b.rect.height);
                QVERIFY2(!ra.intersects(rb),
                         qPrintable(QString("%1 %2").arg(a.index).arg(b.index)));
            }
        }
    }

    void germanLettersFollowShiftUntilItIsClickedAgain() {
        KeyboardWindow* keyboard = Open(kGermanGermany);
        QCOMPARE(Key(keyboard, 19)->text(), QString("A"));
        QCOMPARE(Type(keyboard, {19}), QString("a"));
        QCOMPARE(Type(keyboard, {67}), QString("a"));  // shift types nothing
        QCOMPARE(Key(keyboard, 67)->text(), QString("SHIFT"));
        QVERIFY(Key(keyboard, 67)->isChecked());
        QCOMPARE(Type(keyboard, {19, 19, 44}), QString("aAAZ"));
        QCOMPARE(Type(keyboard, {47}), QString("aAAZÖ"));
        QCOMPARE(Type(keyboard, {67}), QString("aAAZÖ"));
        QCOMPARE(Key(keyboard, 67)->text(), QString("shift"));
        QCOMPARE(Type(keyboard, {19, 47, 48, 49, 65}), QString("aAAZÖaöüäß"));
    }

    void usArrangementSwapsYAndZAndTypesItsCaptions() {
        KeyboardWindow* keyboard = Open(kUsEnglish);
        QCOMPARE(Key(keyboard, 44)->text(), QString("Y"));
        QCOMPARE(Key(keyboard, 43)->text(), QString("Z"));
        QCOMPARE(Type(keyboard, {44, 43, 47}), QString("yz:"));
        QCOMPARE(Type(keyboard, {67, 44, 43, 47, 56, 10}), QString("yz:YZ:@."));
    }

    void spanishArrangementTypesItsOwnLetters() {
        KeyboardWindow* keyboard = Open(kSpanishSpain);
        QCOMPARE(Key(keyboard, 47)->text(), QString("ñ"));
        QCOMPARE(Type(keyboard, {47, 52, 49}), QString("ñç´"));
        QCOMPARE(Type(keyboard, {67, 47, 52, 49, 65}), QString("ñç´ÑÇ´¿"));
    }

    void ampersandZeroAndSpaceTypeOneCharacterOnEveryArrangement() {
        for (const uint16_t layout : {kGermanGermany, kUsEnglish, kSpanishSpain}) {
            KeyboardWindow* keyboard = Open(layout);
            const int ampersand = layout == kUsEnglish ? 60 : 59;
            QCOMPARE(Key(keyboard, ampersand)->text(), QString("&&"));  // shown as one "&"
            QCOMPARE(Type(keyboard, {0, ampersand, 18}), QString("0& "));
            keyboard->close();
            Passphrase()->clear();
            QTest::qWait(0);  // let the closed window go
        }
    }

    void backspaceRemovesTheLastCharacterAndNothingFromAnEmptyBox() {
        KeyboardWindow* keyboard = Open(kGermanGermany);
        QCOMPARE(Type(keyboard, {12}), QString());
        Passphrase()->setText(QString("ab") + QString::fromUcs4(U"\U0001F511"));
        QCOMPARE(Type(keyboard, {12}), QString("ab"));  // a character outside the BMP as a whole
        QCOMPARE(Type(keyboard, {12, 12, 12}), QString());
    }

    void tabTypesNothingAndEnterClosesTheKeyboard() {
        KeyboardWindow* keyboard = Open(kGermanGermany);
        QCOMPARE(Key(keyboard, 13)->text(), Text(sealwise::Msg::TabKey));
        QCOMPARE(Key(keyboard, 18)->text(), Text(sealwise::Msg::SpaceKey));
        QVERIFY(!Key(keyboard, 13)->isEnabled());
        QCOMPARE(Type(keyboard, {19, 13}), QString("a"));
        QPointer<KeyboardWindow> alive(keyboard);
        QCOMPARE(Type(keyboard, {11}), QString("a"));
        QVERIFY(!keyboard->isVisible());
        QTRY_VERIFY(alive.isNull());
    }

    void typingReachesThePassphraseBoxAndRatesIt() {
        KeyboardWindow* keyboard = Open(kGermanGermany);
        auto* verdict = testing::Child<QLabel>(main_.get(), "Label3");
        QCOMPARE(verdict->text(), Text(sealwise::Msg::PassphraseNotSecure));
        Type(keyboard, {19, 20, 21, 22, 23, 24, 25, 26});
        QCOMPARE(Passphrase()->text(), QString("abcdefgh"));
        QCOMPARE(verdict->text(), Text(sealwise::Msg::PassphraseCrackable));
        QCOMPARE(Passphrase()->echoMode(), QLineEdit::Password);  // still masked
    }

    void keysDoNotTypeWhileThePassphrasePanelIsDisabled() {
        KeyboardWindow* keyboard = Open(kGermanGermany);
        Passphrase()->setText("x");
        testing::Child<QWidget>(main_.get(), "FramePwd")->setEnabled(false);
        QCOMPARE(Type(keyboard, {19, 12}), QString("x"));
    }

    void screenReadersHearPlacesNotCharacters() {
        KeyboardWindow* keyboard = Open(kGermanGermany);
        QCOMPARE(keyboard->windowTitle(), Text(sealwise::Msg::ScreenKeyboardTitle));
        for (const auto& key : DesignKeys()) {
            QPushButton* button = Key(keyboard, key.index);
            const QString name =
                QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(button->objectName()));
            if (key.index == 12 || key.index == 67 || key.index == 11 || key.index == 13) continue;
            QCOMPARE(name, QString::fromStdString(sealwise::GetResText(
                               sealwise::Msg::KeyAtPlace, std::to_string(key.row),
                               std::to_string(key.position))));
        }
        QCOMPARE(Key(keyboard, 67)->accessibleName(), Text(sealwise::Msg::ShiftKeyName));
        QCOMPARE(
            testing::Child<QWidget>(keyboard, ElementName(names::kZoomOption, 1))->accessibleName(),
            Text(sealwise::Msg::DoubleSize));
    }

    void doubleSizeAndBackRestoresEveryGeometry() {
        KeyboardWindow* keyboard = Open(kGermanGermany);
        auto* single = testing::Child<QRadioButton>(keyboard, ElementName(names::kZoomOption, 0));
        auto* twice = testing::Child<QRadioButton>(keyboard, ElementName(names::kZoomOption, 1));
        QVERIFY(single->isChecked());
        const QMap<QString, QRect> before = Geometries(keyboard);
        QCOMPARE(before["window"].size(), QSize(490, 153));
        QCOMPARE(before[ElementName(names::kKey, 19)], QRect(49, 74, 25, 25));
        QCOMPARE(before[ElementName(names::kKey, 18)], QRect(82, 128, 257, 17));

        const QFont font = Key(keyboard, 19)->font();
        // On the round indicator: a radio button reacts to its indicator and caption only.
        const auto clickOption = [](QRadioButton* option) {
            QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
        };
        clickOption(twice);
        QCOMPARE(keyboard->Keyboard().zoom(), 2);
        const QMap<QString, QRect> doubled = Geometries(keyboard);
        for (auto it = before.begin(); it != before.end(); ++it) {
            if (it.key().startsWith("qt_") || it.key().isEmpty()) continue;
            const QRect& r = it.value();
            QCOMPARE(doubled[it.key()], QRect(2 * r.x(), 2 * r.y(), 2 * r.width(), 2 * r.height()));
        }
        QCOMPARE(Key(keyboard, 19)->font(), font);  // sizes change, letters do not

        clickOption(single);
        QCOMPARE(Geometries(keyboard), before);
        clickOption(single);  // already single size: nothing changes
        QCOMPARE(keyboard->Keyboard().zoom(), 1);
        QCOMPARE(Geometries(keyboard), before);
    }

    void screenKeyboardButtonOpensAndPlacesTheKeyboard() {
        main_->move(100, 80);
        auto* button = testing::Child<QPushButton>(main_.get(), "Command3");
        QTest::mouseClick(button, Qt::LeftButton);
        auto* keyboard = main_->findChild<KeyboardWindow*>(names::kWindow);
        QVERIFY(keyboard && keyboard->isVisible());
        QVERIFY(keyboard->isWindow() && !keyboard->isModal());
        QCOMPARE(keyboard->parentWidget(), main_.get());
        // Placed by the passphrase controls, never over them (the placement itself is tested
        // on screens of every size in the window placement test).
        const QRect box(Passphrase()->mapToGlobal(QPoint(0, 0)), Passphrase()->size());
        QVERIFY(!keyboard->frameGeometry().intersects(box));

        // A second click brings back the same window at its place.
        QTest::mouseClick(Key(keyboard, 67), Qt::LeftButton);
        keyboard->move(0, 0);
        main_->move(140, 90);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(main_->findChild<KeyboardWindow*>(names::kWindow), keyboard);
        QVERIFY(keyboard->pos() != QPoint(0, 0));  // placed again
        const QRect movedBox(Passphrase()->mapToGlobal(QPoint(0, 0)), Passphrase()->size());
        QVERIFY(!keyboard->frameGeometry().intersects(movedBox));
        QVERIFY(!keyboard->Keyboard().lowerCase());

        // Closed and opened again, it starts afresh.
        keyboard->close();
        QTest::mouseClick(button, Qt::LeftButton);
        auto* fresh = main_->findChild<KeyboardWindow*>(names::kWindow);
        QVERIFY(fresh && fresh != keyboard);
        QVERIFY(fresh->Keyboard().lowerCase());
    }
};

QTEST_MAIN(ScreenKeyboardTest)
#include "screen_keyboard_test.moc"
