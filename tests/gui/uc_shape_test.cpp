// ucShape: minimum size, rounding, and the saved settings.
#include "gui/controls/uc_shape.h"

#include <QTest>

#include "gui/controls/property_bag.h"
#include "gui_testing.h"

using namespace sealwise::gui;

class UcShapeTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void neverSmallerThan32Pixels() {
        ucShape shape;
        shape.resize(10, 50);
        QCOMPARE(shape.size(), QSize(32, 50));
        shape.resize(5, 5);
        QCOMPARE(shape.size(), QSize(32, 32));
    }

    void negativeRoundingIsIgnoredAndZeroIsSharp() {
        ucShape shape;
        shape.resize(60, 40);
        shape.setForeColor(OleRgb(255, 0, 0));
        shape.setRounding(24);
        shape.setRounding(-5);
        QCOMPARE(shape.Rounding(), 24);
        QVERIFY(shape.grab().toImage().pixelColor(0, 0) != QColor(255, 0, 0));
        shape.setRounding(0);
        QCOMPARE(shape.grab().toImage().pixelColor(0, 0), QColor(255, 0, 0));
    }

    // Reading and writing share one default, so every colour comes back as it was saved.
    void savedColoursComeBackAndTheContainerKeepsTheBackColour() {
        QWidget container;
        ucShape shape(&container);
        shape.setForeColor(0xFF0000);
        shape.setRounding(12);
        MemoryPropertyBag bag;
        shape.SaveProperties(bag);
        QVERIFY(bag.Contains("ForeColor"));
        bag.Store("BackColor", int64_t{0x123456});

        ucShape loaded(&container);
        loaded.LoadProperties(bag);
        QCOMPARE(loaded.ForeColor(), OleColor(0xFF0000));
        QCOMPARE(loaded.Rounding(), 12);
        QCOMPARE(loaded.BackColor(), OleFromColor(container.palette().color(QPalette::Window)));

        MemoryPropertyBag empty;
        loaded.LoadProperties(empty);
        QCOMPARE(loaded.ForeColor(), ucShape::kSavedForeColor);
    }

    void followsTheContainersBackColourOnlyWhenToldSo() {
        QWidget container;
        ucShape shape(&container);
        QPalette palette = container.palette();
        palette.setColor(QPalette::Window, QColor(10, 20, 30));
        container.setPalette(palette);
        shape.AmbientChanged("Font");
        QVERIFY(shape.BackColor() != OleRgb(10, 20, 30));
        shape.AmbientChanged("BackColor");
        QCOMPARE(shape.BackColor(), OleRgb(10, 20, 30));
    }
};

QTEST_MAIN(UcShapeTest)
#include "uc_shape_test.moc"
