// Where windows open: centred on their screen, and the on-screen keyboard beside the
// passphrase controls, inside the screen and never over them. The test program runs at 100 %
// and at 200 % (QT_SCALE_FACTOR=2) on a screen that the test's configuration describes.
#include "gui/app/window_placement.h"

#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include "gui/keyboard/keyboard_window.h"
#include "gui/keyboard/keyboard_window_names.h"
#include "gui/main/main_window.h"
#include "gui/widgets/widget_factory.h"
#include "gui_testing.h"

using namespace sealwise::gui;

namespace {

const QSize kKeyboard1x(490, 153), kKeyboard2x(980, 306);
const QSize kMainWindow(680, 660);
// The passphrase controls and the box typed into, in a main window whose top-left corner is
// at (0, 0).
const QRect kControlsInWindow(8, 300, 664, 170);
const QRect kFieldInWindow(20, 330, 540, 24);

QRect Controls(const QRect& owner) { return kControlsInWindow.translated(owner.topLeft()); }
QRect Field(const QRect& owner) { return kFieldInWindow.translated(owner.topLeft()); }

}  // namespace

class WindowPlacementTest : public QObject {
    Q_OBJECT

    testing::ScriptedServices services_;

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }

    void centredInTheArea_data() {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("corner");
        QTest::newRow("room around") << QRect(0, 0, 1366, 768) << kMainWindow << QPoint(343, 54);
        QTest::newRow("second screen")
            << QRect(1366, 0, 1280, 720) << kMainWindow << QPoint(1666, 30);
        QTest::newRow("taller than the area")
            << QRect(0, 0, 960, 540) << kMainWindow << QPoint(140, 0);
    }
    void centredInTheArea() {
        QFETCH(QRect, area);
        QFETCH(QSize, size);
        QFETCH(QPoint, corner);
        QCOMPARE(CentredIn(area, size), corner);
    }

    // The keyboard lies on the screen and never covers the passphrase box, wherever the
    // window is, at both sizes, on small and large screens (logical pixels at 100 % and
    // 200 %). With the window centred, the hint and the rating stay free too.
    void keyboardNeverCoversTheControls_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("window");
        QTest::addColumn<QSize>("keyboard");
        const QList<QPair<const char*, QRect>> screens = {
            {"1366x768", QRect(0, 0, 1366, 768)},
            {"1920x1080", QRect(0, 0, 1920, 1080)},
            {"2560x1440 at 200%", QRect(0, 0, 1280, 720)},
            {"3840x2160 at 200%", QRect(0, 0, 1920, 1080)},
            {"right-hand screen", QRect(1920, 0, 1366, 768)},
        };
        for (const auto& [name, screen] : screens) {
            const QPoint centred = CentredIn(screen, kMainWindow);
            const QPoint bottomRight = screen.bottomRight() - QPoint(679, 659);
            for (const auto& [where, at] :
                 {std::pair{"centred", centred}, std::pair{"top left", screen.topLeft()},
                  std::pair{"bottom right", bottomRight}}) {
                for (const QSize& size : {kKeyboard1x, kKeyboard2x}) {
                    QTest::addRow("%s, %s, %dx%d", name, where, size.width(), size.height())
                        << screen << at << size;
                }
            }
        }
    }
    void keyboardNeverCoversTheControls() {
        QFETCH(QRect, screen);
        QFETCH(QPoint, window);
        QFETCH(QSize, keyboard);
        const QRect owner(window, kMainWindow);
        const QRect placed(
            PlaceBesideControls(screen, owner, Controls(owner), Field(owner), keyboard), keyboard);
        QVERIFY(screen.contains(placed));
        QVERIFY(!placed.intersects(Field(owner)));
        if (window == CentredIn(screen, kMainWindow)) QVERIFY(!placed.intersects(Controls(owner)));
    }

    // Beside the window when there is room, so that nothing of it is covered.
    void besideTheWindowWhenThereIsRoom() {
        const QRect owner(QPoint(100, 50), kMainWindow);
        const QPoint at = PlaceBesideControls(QRect(0, 0, 1920, 1080), owner, Controls(owner),
                                              Field(owner), kKeyboard1x);
        QCOMPARE(at, QPoint(owner.right() + 1 + kPlacementGap, Controls(owner).top()));
    }

    // The real windows on this test's screen: the keyboard opened from the main window, at
    // single and double size.
    void openedKeyboardLeavesThePassphraseVisible() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        MainWindow main(services_, "");
        CentreOnScreenOf(&main, nullptr);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QVERIFY(screen.contains(main.frameGeometry()));
        QTest::mouseClick(testing::Child<QPushButton>(&main, "Command3"), Qt::LeftButton);
        auto* keyboard = testing::Child<KeyboardWindow>(&main, keyboard_window_names::kWindow);
        const QRect box(testing::Child<QWidget>(&main, "TxtCode")->mapToGlobal(QPoint(0, 0)),
                        testing::Child<QWidget>(&main, "TxtCode")->size());
        QVERIFY(main.PassphraseArea().contains(box));
        for (const int zoom : {1, 0, 1}) {
            const QString option = ElementName(keyboard_window_names::kZoomOption, zoom);
            QTest::mouseClick(testing::Child<QRadioButton>(keyboard, option), Qt::LeftButton);
            QApplication::processEvents();
            const QRect placed = keyboard->frameGeometry();
            QVERIFY2(screen.contains(placed), qPrintable(option));
            QVERIFY2(!placed.intersects(box), qPrintable(option));
            QVERIFY2(!placed.intersects(main.PassphraseArea()),
                     qPrintable(option));  // centred: room enough
        }
        keyboard->close();
    }

    void mainWindowOpensCentred() {
        MainWindow main(services_, "");
        CentreOnScreenOf(&main, nullptr);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(main.frameGeometry().center().x() - screen.center().x()) <= 2);
        QVERIFY(qAbs(main.frameGeometry().center().y() - screen.center().y()) <= 2);
    }
};

QTEST_MAIN(WindowPlacementTest)
#include "window_placement_test.moc"
