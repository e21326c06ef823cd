// RoundedPanel: minimum size, corners, colours and the holder's background in the corners.
#include "gui/controls/rounded_panel.h"

#include <QTest>

#include "gui_testing.h"

using namespace sealwise::gui;

namespace {

QImage Picture(RoundedPanel& panel) { return panel.grab().toImage(); }

}  // namespace

class RoundedPanelTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void neverSmallerThan32Pixels_data() {
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("too narrow") << QSize(10, 50) << QSize(32, 50);
        QTest::newRow("too small") << QSize(5, 5) << QSize(32, 32);
        QTest::newRow("large enough") << QSize(60, 40) << QSize(60, 40);
    }
    void neverSmallerThan32Pixels() {
        QFETCH(QSize, asked);
        QFETCH(QSize, expected);
        RoundedPanel panel;
        panel.resize(asked);
        QCOMPARE(panel.size(), expected);
    }

    void negativeCornerIsIgnoredAndZeroIsSharp() {
        RoundedPanel panel;
        panel.resize(60, 40);
        panel.SetOutlineColor(QColor(255, 0, 0));
        panel.SetCornerEllipse(24);
        panel.SetCornerEllipse(-5);
        QCOMPARE(panel.CornerEllipse(), 24);
        QVERIFY(Picture(panel).pixelColor(0, 0) != QColor(255, 0, 0));
        panel.SetCornerEllipse(0);
        QCOMPARE(Picture(panel).pixelColor(0, 0), QColor(255, 0, 0));
    }

    void outlineAndFillShow() {
        RoundedPanel panel;
        panel.resize(60, 40);
        QCOMPARE(Picture(panel).pixelColor(30, 20), QColor(Qt::white));  // new panel: white
        QCOMPARE(Picture(panel).pixelColor(0, 20), QColor(Qt::black));   // outlined in black
        panel.SetFillColor(QColor(192, 192, 192));
        panel.SetOutlineColor(QColor(128, 128, 128));
        QCOMPARE(Picture(panel).pixelColor(30, 20), QColor(192, 192, 192));
        QCOMPARE(Picture(panel).pixelColor(1, 20), QColor(128, 128, 128));  // two pixels wide
        QCOMPARE(Picture(panel).pixelColor(2, 20), QColor(192, 192, 192));
    }

    void cornersShowTheHoldersBackground() {
        QWidget holder;
        QPalette palette = holder.palette();
        palette.setColor(QPalette::Window, QColor(10, 20, 30));
        holder.setPalette(palette);
        RoundedPanel panel(&holder);
        panel.resize(60, 40);
        panel.SetCornerEllipse(24);
        QCOMPARE(Picture(panel).pixelColor(0, 0), QColor(10, 20, 30));
        palette.setColor(QPalette::Window, QColor(200, 100, 50));  // the holder changes later
        holder.setPalette(palette);
        QCOMPARE(Picture(panel).pixelColor(0, 0), QColor(200, 100, 50));
    }
};

QTEST_MAIN(RoundedPanelTest)
#include "rounded_panel_test.moc"
