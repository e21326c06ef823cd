// ProgressBar: what a new bar shows, stepping and its wrap, positions outside the range, the
// three borders, colours, and that smooth and orientation changes keep what is shown.
#include "gui/controls/progress_bar.h"

#include <QProgressBar>
#include <QTest>

#include "gui_testing.h"

using namespace sealwise::gui;
using Border = ProgressBar::Border;

namespace {

// The colour in the middle of the indicator as it is drawn.
QColor MiddleColour(ProgressBar& bar) {
    const QImage image = bar.Indicator()->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// Whether the back colour shows between the bar's blocks along its middle line (the line's
// first and last few pixels are the ends of the bar, left out).
bool ShowsGapsAlong(ProgressBar& bar, Qt::Orientation along) {
    const QImage image = bar.Indicator()->grab().toImage();
    const bool across = along == Qt::Horizontal;
    const int length = across ? image.width() : image.height();
    for (int i = 4; i < length - 4; ++i) {
        const QColor pixel = across ? image.pixelColor(i, image.height() / 2)
                                    : image.pixelColor(image.width() / 2, i);
        if (pixel == bar.BackColor()) return true;
    }
    return false;
}

}  // namespace

class ProgressBarTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }

    void newBarShowsRangeOneToHundredAtItsStart() {
        ProgressBar bar;
        QCOMPARE(bar.Indicator()->objectName(), QString("ProgressIndicator"));
        QCOMPARE(bar.Min(), 1);
        QCOMPARE(bar.Max(), 100);
        QCOMPARE(bar.Position(), 0);
        QCOMPARE(bar.Step(), 1);
        QCOMPARE(bar.Indicator()->minimum(), 1);
        QCOMPARE(bar.Indicator()->maximum(), 100);
        QCOMPARE(bar.Indicator()->value(), 1);  // held inside the range: empty
        QCOMPARE(bar.BorderStyle(), Border::Thin);
        QVERIFY(!bar.Smooth());
        QCOMPARE(bar.Orientation(), Qt::Horizontal);
    }

    void stepItAdvancesAndStartsOverPastTheEnds_data() {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("expected");
        QTest::newRow("adds the step") << 0 << 100 << 5 << 0 << 3 << 15;
        QTest::newRow("reaches the maximum exactly") << 0 << 100 << 50 << 50 << 1 << 100;
        QTest::newRow("wraps past the maximum") << 0 << 70000 << 10000 << 65000 << 1 << 5000;
        QTest::newRow("wraps below the minimum") << 0 << 10 << -4 << 2 << 1 << 8;
        QTest::newRow("single-value range stays") << 5 << 5 << 3 << 5 << 2 << 5;
    }
    void stepItAdvancesAndStartsOverPastTheEnds() {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, step);
        QFETCH(int, start);
        QFETCH(int, steps);
        QFETCH(int, expected);
        ProgressBar bar;
        bar.setMin(minimum);
        bar.setMax(maximum);
        bar.setStep(step);
        bar.setPosition(start);
        for (int i = 0; i < steps; ++i) bar.StepIt();
        QCOMPARE(bar.Indicator()->value(), expected);
        QCOMPARE(bar.Position(), expected);
    }

    // The relay sets maximum, minimum and position one after the other: a position set before
    // its range shows as soon as the range holds it.
    void positionOutsideTheRangeShowsHeldAndLaterInFull() {
        ProgressBar bar;
        bar.setMin(0);
        bar.setPosition(150);
        QCOMPARE(bar.Indicator()->value(), 100);
        QCOMPARE(bar.Position(), 150);
        bar.setMax(200);
        QCOMPARE(bar.Indicator()->value(), 150);
        bar.setMax(5);
        bar.setPosition(-3);
        QCOMPARE(bar.Indicator()->value(), 0);
    }

    void bordersFrameTheIndicator_data() {
        QTest::addColumn<Border>("border");
        QTest::addColumn<int>("frameStyle");
        QTest::addColumn<int>("lineWidth");
        QTest::newRow("none") << Border::None << int(QFrame::NoFrame) << 0;
        QTest::newRow("thin") << Border::Thin << int(QFrame::Box | QFrame::Plain) << 1;
        QTest::newRow("sunken") << Border::Sunken << int(QFrame::Panel | QFrame::Sunken) << 2;
    }
    void bordersFrameTheIndicator() {
        QFETCH(Border, border);
        QFETCH(int, frameStyle);
        QFETCH(int, lineWidth);
        ProgressBar bar;
        bar.resize(200, 16);
        bar.setBorderStyle(border);
        QCOMPARE(bar.frameStyle(), frameStyle);
        QCOMPARE(bar.frameWidth(), lineWidth);
        QCOMPARE(bar.Indicator()->geometry(), bar.contentsRect());
        bar.show();
        bar.resize(300, 20);  // the indicator keeps filling the control
        QCOMPARE(bar.Indicator()->geometry(), bar.contentsRect());
    }

    void coloursShowAndDefaultToThePalette() {
        ProgressBar bar;
        bar.resize(200, 16);
        bar.setSmooth(true);
        bar.setMin(0);
        bar.setPosition(0);
        QCOMPARE(MiddleColour(bar), bar.palette().color(QPalette::Active, QPalette::Button));
        bar.setBackColor(QColor(0, 255, 0));
        QCOMPARE(MiddleColour(bar), QColor(0, 255, 0));
        bar.setPosition(100);
        QCOMPARE(MiddleColour(bar), bar.palette().color(QPalette::Active, QPalette::Highlight));
        bar.setBarColor(QColor(255, 0, 0));
        QCOMPARE(MiddleColour(bar), QColor(255, 0, 0));
    }

    void smoothAndOrientationChangesKeepWhatIsShown() {
        ProgressBar bar;
        bar.resize(200, 16);
        bar.setMin(0);
        bar.setMax(100);
        bar.setPosition(100);
        bar.setBorderStyle(Border::Sunken);
        bar.setBackColor(QColor(0, 255, 0));
        bar.setBarColor(QColor(255, 0, 0));
        bar.setStep(7);
        QVERIFY(ShowsGapsAlong(bar, Qt::Horizontal));  // a new bar is segmented
        bar.setSmooth(true);
        QVERIFY(!ShowsGapsAlong(bar, Qt::Horizontal));
        bar.setOrientation(Qt::Vertical);
        bar.resize(16, 200);
        QVERIFY(!ShowsGapsAlong(bar, Qt::Vertical));
        bar.setSmooth(false);
        QVERIFY(ShowsGapsAlong(bar, Qt::Vertical));  // segments run upwards
        QCOMPARE(bar.Indicator()->orientation(), Qt::Vertical);
        QCOMPARE(bar.Indicator()->value(), 100);
        QCOMPARE(bar.frameStyle(), int(QFrame::Panel | QFrame::Sunken));
        QCOMPARE(bar.Step(), 7);
    }
};

QTEST_MAIN(ProgressBarTest)
#include "progress_bar_test.moc"
