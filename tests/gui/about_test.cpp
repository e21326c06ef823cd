// The welcome window: the random panel, its languages and links, the flags and Start.
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextLayout>
#include <algorithm>

#include "app/strings.h"
#include "gui/about/welcome_window.h"
#include "gui/about/welcome_window_names.h"
#include "gui/app/language_flags.h"
#include "gui/main/main_window.h"
#include "gui/widgets/flag_image.h"
#include "gui/widgets/widget_factory.h"
#include "gui_testing.h"

using namespace sealwise::gui;
namespace names = sealwise::gui::welcome_window_names;

namespace {
constexpr int kGerman = 0, kEnglish = 900, kSpanish = 1900, kFrench = 2900;

int VisiblePicture(QWidget* window) {
    int shown = -1;
    for (int i = 0; i < 3; ++i) {
        if (!testing::Child<QWidget>(window, ElementName(names::kProductPicture, i))->isHidden()) {
            if (shown != -1) return -2;  // more than one
            shown = i;
        }
    }
    return shown;
}
}  // namespace

class AboutTest : public QObject {
    Q_OBJECT

    testing::ScriptedServices services_;

    std::unique_ptr<WelcomeWindow> Open(
        double draw, std::function<void()> onStart = [] {}) {
        return std::make_unique<WelcomeWindow>(services_, std::move(onStart),
                                               [draw] { return draw; });
    }

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }
    void init() {
        services_ = {};
        sealwise::SetLanguageOffset(kEnglish);
    }

    void drawPicksOneOfThreePanels() {
        QCOMPARE(PanelFromDraw(0.0), PromoPanel::CommandLine);
        QCOMPARE(PanelFromDraw(0.33), PromoPanel::CommandLine);
        QCOMPARE(PanelFromDraw(0.34), PromoPanel::OnlineVersion);
        QCOMPARE(PanelFromDraw(0.66), PromoPanel::OnlineVersion);
        QCOMPARE(PanelFromDraw(0.661), PromoPanel::OnlineGuide);
        for (const auto& [draw, picture] : {std::pair{0.1, 0}, {0.5, 1}, {0.9, 2}}) {
            const auto window = Open(draw);
            QCOMPARE(VisiblePicture(window.get()), picture);
        }
        const double secure = WelcomeWindow::SecureDraw();
        QVERIFY(secure >= 0.0 && secure < 1.0);
    }

    void guidePanelIsOfferedInGermanAndEnglishOnly() {
        for (const int offset : {kSpanish, kFrench}) {
            sealwise::SetLanguageOffset(offset);
            const auto window = Open(0.9);
            QCOMPARE(window->Panel(), PromoPanel::OnlineVersion);
            QCOMPARE(VisiblePicture(window.get()), 1);
        }
        sealwise::SetLanguageOffset(kGerman);
        const auto german = Open(0.9);
        QCOMPARE(german->Panel(), PromoPanel::OnlineGuide);
        QTest::mouseClick(testing::Child<FlagImage>(german.get(), "ImageES"), Qt::LeftButton);
        QCOMPARE(german->Panel(), PromoPanel::OnlineVersion);
    }

    void headingAndCaptionFollowTheLanguage() {
        const auto window = Open(0.1);
        QCOMPARE(window->windowTitle(), QString("Welcome..."));
        QCOMPARE(testing::Child<QLabel>(window.get(), names::kHeading)->text(),
                 QString("Do you already know sealwise-cli?"));
        QCOMPARE(testing::Child<QLabel>(window.get(), names::kHeadline)->text(),
                 QString("Welcome to Sealwise"));
        QTest::mouseClick(testing::Child<FlagImage>(window.get(), "ImageES"), Qt::LeftButton);
        QCOMPARE(window->windowTitle(), QString("Acerca de..."));
        QCOMPARE(testing::Child<QPushButton>(window.get(), names::kStart)->text(),
                 QString::fromStdString(sealwise::GetResText(sealwise::Msg::Start)));
        QCOMPARE(
            testing::Child<QLabel>(window.get(), names::kHeading)->text(),
            QString::fromStdString(sealwise::GetResText(sealwise::Msg::DoYouKnow, "sealwise-cli")));
        QCOMPARE(testing::Child<FlagImage>(window.get(), "ImageES")->IsMarked(), true);
    }

    // Every label keeps the height its text needs after each language switch, and no two
    // overlap: the window is fitted once the new texts are laid out.
    void noTextIsClippedAfterALanguageSwitch_data() {
        QTest::addColumn<double>("draw");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("command line, English to German") << 0.1 << kEnglish << kGerman;
        QTest::newRow("command line, Spanish to French") << 0.1 << kSpanish << kFrench;
        QTest::newRow("command line, French to German") << 0.1 << kFrench << kGerman;
        QTest::newRow("online, German to Spanish") << 0.5 << kGerman << kSpanish;
        QTest::newRow("guide, English to German") << 0.9 << kEnglish << kGerman;
    }
    void noTextIsClippedAfterALanguageSwitch() {
        QFETCH(double, draw);
        QFETCH(int, from);
        QFETCH(int, to);
        sealwise::SetLanguageOffset(from);
        const auto window = Open(draw);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const auto flag = std::find_if(kLanguageFlags.begin(), kLanguageFlags.end(),
                                       [to](const auto& f) { return f.languageOffset == to; });
        QTest::mouseClick(testing::Child<FlagImage>(window.get(), flag->objectName),
                          Qt::LeftButton);
        QApplication::processEvents();
        QList<QLabel*> shown;
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty()) continue;
            QVERIFY2(label->height() >= label->heightForWidth(label->width()),
                     qPrintable(label->objectName() + " is clipped"));
            QVERIFY2(window->rect().contains(label->geometry()),
                     qPrintable(label->objectName() + " leaves the window"));
            for (QLabel* other : shown) {
                QVERIFY2(!other->geometry().intersects(label->geometry()),
                         qPrintable(label->objectName() + " overlaps " + other->objectName()));
            }
            shown << label;
        }
        const QRect start = testing::Child<QWidget>(window.get(), names::kStart)->geometry();
        QVERIFY(window->rect().contains(start));
    }

    // A command in a promotional text never breaks at a hyphen, however narrow the label.
    void commandsStayOnOneLine_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::newRow("English") << "It is installed with Sealwise: type \"sealwise-cli --help\" "
                                    "in a terminal to get started."
                                 << "sealwise-cli --help";
        QTest::newRow("German") << "Es wird mit Sealwise installiert: Geben Sie „sealwise-cli "
                                   "--help“ in einem Terminal ein, um loszulegen."
                                << "sealwise-cli --help";
        QTest::newRow("name only") << "Do you already know sealwise-cli?"
                                   << "sealwise-cli";
    }
    void commandsStayOnOneLine() {
        QFETCH(QString, text);
        QFETCH(QString, command);
        const QString kept = KeepCommandsTogether(text);
        QCOMPARE(kept.size(), text.size());
        const qsizetype start =
            QString(kept).replace(QChar(0x2011), '-').replace(QChar::Nbsp, ' ').indexOf(command);
        QVERIFY(start >= 0);
        QTextLayout layout(kept, QApplication::font());
        for (const int width : {40, 60, 90, 120, 150, 200, 260}) {
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
                line.setLineWidth(width);
            layout.endLayout();
            for (int i = 0; i < layout.lineCount(); ++i) {
                const QTextLine line = layout.lineAt(i);
                const bool holdsStart =
                    line.textStart() <= start && start < line.textStart() + line.textLength();
                if (holdsStart) {
                    QVERIFY2(start + command.size() <= line.textStart() + line.textLength(),
                             qPrintable(QString("broken at width %1").arg(width)));
                }
            }
        }
    }

    // Focus starts on Start (not on a flag, whose focus frame would look like a second chosen
    // language), and Enter starts.
    void enterStartsFromTheFirstFocus() {
        int started = 0;
        QPointer<WelcomeWindow> window = new WelcomeWindow(
            services_, [&] { ++started; }, [] { return 0.5; });
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.data()));
        QCOMPARE(QApplication::focusWidget(),
                 testing::Child<QWidget>(window.data(), names::kStart));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(started, 1);
        QTRY_VERIFY(window.isNull());
    }

    void linksOpenThePagesOfThePanel() {
        const auto online = Open(0.5);
        QTest::mouseClick(testing::Child<QPushButton>(online.get(), names::kNameLink),
                          Qt::LeftButton);
        QTest::mouseClick(testing::Child<QPushButton>(online.get(), names::kSiteLink),
                          Qt::LeftButton);
        QCOMPARE(services_.openedUrls,
                 (std::vector<QUrl>{QUrl("https://sealwise.example/online/about"),
                                    QUrl("https://sealwise.example/online")}));
        services_.openedUrls.clear();
        sealwise::SetLanguageOffset(kGerman);
        const auto guide = Open(0.9);
        QTest::mouseClick(testing::Child<QPushButton>(guide.get(), names::kSiteLink),
                          Qt::LeftButton);
        QCOMPARE(services_.openedUrls.back(), QUrl("https://sealwise.example/de/guide"));
    }

    void startOpensTheMainWindowAndCloses() {
        int started = 0;
        QPointer<WelcomeWindow> window = new WelcomeWindow(
            services_, [&] { ++started; }, [] { return 0.2; });
        window->show();
        QTest::mouseClick(testing::Child<QPushButton>(window.data(), names::kStart),
                          Qt::LeftButton);
        QCOMPARE(started, 1);
        QTRY_VERIFY(window.isNull());
    }

    void welcomeButtonOfTheMainWindowOpensItAgain() {
        MainWindow main(services_, "");
        main.show();
        QTest::mouseClick(testing::Child<QPushButton>(&main, "cmdAbout"), Qt::LeftButton);
        WelcomeWindow* welcome = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* about = qobject_cast<WelcomeWindow*>(top); about && about->isVisible())
                welcome = about;
        }
        QVERIFY(welcome);
        main.hide();
        QTest::mouseClick(testing::Child<QPushButton>(welcome, names::kStart), Qt::LeftButton);
        QVERIFY(main.isVisible());
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
