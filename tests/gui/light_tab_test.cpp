// LightTab: keyboard and mouse selection, title replacement, tab count, colours.
#include "gui/controls/light_tab.h"

#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include "gui/controls/light_tab_geometry.h"
#include "gui/controls/tab_captions.h"
#include "gui/controls/tab_colours.h"
#include "gui_testing.h"

using namespace sealwise::gui;

class LightTabTest : public QObject {
    Q_OBJECT

    std::unique_ptr<LightTab> MakeStrip(int active) {
        auto strip = std::make_unique<LightTab>();
        strip->setNumberOfTabs(3);
        strip->setCaption("Alpha|Beta|Gamma|");
        strip->setActiveTab(active);
        strip->resize(320, 120);
        strip->show();
        return strip;
    }

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }

    void arrowsStopAtTheEndsWithoutEvent() {
        auto strip = MakeStrip(2);
        QSignalSpy changes(strip.get(), &LightTab::AfterTabChange);
        QTest::keyClick(strip.get(), Qt::Key_Right);
        QCOMPARE(strip->ActiveTab(), 2);
        strip->setActiveTab(0);
        changes.clear();
        QTest::keyClick(strip.get(), Qt::Key_Left);
        QCOMPARE(strip->ActiveTab(), 0);
        QCOMPARE(changes.count(), 0);
    }

    void arrowsAndOtherKeysRaiseOneEvent() {
        auto strip = MakeStrip(0);
        QSignalSpy changes(strip.get(), &LightTab::AfterTabChange);
        QTest::keyClick(strip.get(), Qt::Key_Right);
        QTest::keyClick(strip.get(), Qt::Key_Right);
        QTest::keyClick(strip.get(), Qt::Key_Left);
        QTest::keyClick(strip.get(), Qt::Key_A);  // any other key repeats the current tab
        QCOMPARE(changes.count(), 4);
        const QList<int> indexes = {changes[0][0].toInt(), changes[1][0].toInt(),
                                    changes[2][0].toInt(), changes[3][0].toInt()};
        QCOMPARE(indexes, (QList<int>{1, 2, 1, 1}));
    }

    void clicksSelectOnlyInactiveTabsInsideTheStrip() {
        auto strip = MakeStrip(0);
        QSignalSpy changes(strip.get(), &LightTab::AfterTabChange);
        const QRect active = strip->TabRect(0);
        const QRect last = strip->TabRect(2);
        QTest::mouseClick(strip.get(), Qt::LeftButton, {}, active.center());
        QTest::mouseClick(strip.get(), Qt::LeftButton, {}, QPoint(kStripLeft + 1, 8));
        QTest::mouseClick(strip.get(), Qt::LeftButton, {}, QPoint(last.right() + 3, 8));
        QTest::mouseClick(strip.get(), Qt::LeftButton, {}, QPoint(last.center().x(), 60));
        QCOMPARE(changes.count(), 0);
        QTest::mouseClick(strip.get(), Qt::LeftButton, {}, last.center());
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes[0][0].toInt(), 2);
        QCOMPARE(strip->ActiveTab(), 2);
    }

    void writingTheActiveTabAlwaysRaisesTheEvent() {
        auto strip = MakeStrip(1);
        QSignalSpy changes(strip.get(), &LightTab::AfterTabChange);
        strip->setActiveTab(1);
        QCOMPARE(changes.count(), 1);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, strip->setActiveTab(3));
    }

    void fewerTabsThanTheActiveOneSelectTabZero() {
        auto strip = MakeStrip(2);
        strip->setNumberOfTabs(2);  // tab 2 no longer exists
        QCOMPARE(strip->ActiveTab(), 0);
        strip->setActiveTab(1);
        strip->setNumberOfTabs(1);
        QCOMPARE(strip->ActiveTab(), 0);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, strip->setNumberOfTabs(11));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, strip->setNumberOfTabs(0));
    }

    void replacingATitleKeepsTheSeparators() {
        QCOMPARE(ReplaceTabCaptionElement("A|B|C|", 1, "X"), std::string("A|X|C|"));
        QCOMPARE(ReplaceTabCaptionElement("A|B|C", 2, "Z"), std::string("A|B|Z"));
        QCOMPARE(ReplaceTabCaptionElement("A|B|C|", 3, "D"), std::string("A|B|C|D"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, ReplaceTabCaptionElement("A|B|", 3, "X"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ReplaceTabCaptionElement("A|", 0, "X|Y"));

        auto strip = MakeStrip(0);
        strip->setCaption(1, "Xi");
        QCOMPARE(strip->Caption(), QString("Alpha|Xi|Gamma|"));
        QCOMPARE(strip->Caption(3), QString());
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, strip->Caption(4));
    }

    void tabsAreLaidOutFromTheirTitleWidths() {
        const auto tabs = LayOutTabs({10.4, 20.5, 21.5});
        QCOMPARE(tabs.size(), std::size_t(3));
        QCOMPARE(tabs[0].left, 2);
        QCOMPARE(tabs[0].width, 25);
        QCOMPARE(tabs[1].left, 27);
        QCOMPARE(tabs[1].width, 36);  // 35.5 rounds to even
        QCOMPARE(tabs[2].left, 63);
        QCOMPARE(tabs[2].width, 36);  // 36.5 rounds to even
        QCOMPARE(TabAtStripX(tabs, 2), -1);
        QCOMPARE(TabAtStripX(tabs, 3), 0);
        QCOMPARE(TabAtStripX(tabs, 27), 0);
        QCOMPARE(TabAtStripX(tabs, 28), 1);
        QCOMPARE(TabAtStripX(tabs, 99), 2);
        QCOMPARE(TabAtStripX(tabs, 100), -1);
        const PixelRect box = HighlightBox(tabs[1]);
        QCOMPARE(QRect(box.left, box.top, box.width, box.height), QRect(26, 0, 42, 21));
    }

    // With the first tab active the raised box's outline runs down to its bottom edge.
    void firstActiveTabOutlineReachesTheBottom() {
        auto strip = MakeStrip(0);
        const QRect box0 = strip->ActiveBoxRect();
        QImage image = strip->grab().toImage();
        const QColor outline = TabStripColours(strip->palette()).lines[0];
        QCOMPARE(image.pixelColor(box0.left(), box0.bottom()).rgb(), outline.rgb());
        strip->setActiveTab(1);
        const QRect box1 = strip->ActiveBoxRect();
        image = strip->grab().toImage();
        QVERIFY(image.pixelColor(box1.left(), box1.bottom()).rgb() != outline.rgb());
    }

    // The outlines stand out from the surface on light and dark palettes alike, and the
    // inactive tabs differ from the active one.
    void outlinesContrastWithTheSurface_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("Fusion") << QStyleFactory::create("Fusion")->standardPalette();
        QPalette dark(QColor(53, 53, 53), QColor(40, 40, 40));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        QTest::newRow("dark") << dark;
        QPalette white(QColor(255, 255, 255));
        QTest::newRow("white window") << white;
    }
    void outlinesContrastWithTheSurface() {
        QFETCH(QPalette, palette);
        const TabColours colours = TabStripColours(palette);
        QVERIFY(ContrastRatio(colours.lines[0], colours.surface) >= kOutlineContrast);
        QVERIFY(ContrastRatio(colours.lines[2], colours.surface) >= kOutlineContrast);
        QVERIFY(ContrastRatio(colours.lines[0], colours.inactiveTab) >= 1.5);
        QVERIFY(colours.inactiveTab != colours.surface);
    }
};

QTEST_MAIN(LightTabTest)
#include "light_tab_test.moc"
