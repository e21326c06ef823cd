// The welcome window: the random panel, its languages and links, the flags and Start.
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "app/strings.h"
#include "gui/about/frm_about.h"
#include "gui/main/fcrypt.h"
#include "gui/widgets/flag_image.h"
#include "gui_testing.h"

using namespace sealwise::gui;

namespace {
constexpr int kGerman = 0, kEnglish = 900, kSpanish = 1900, kFrench = 2900;

int VisiblePicture(QWidget* window) {
    int shown = -1;
    for (int i = 0; i < 3; ++i) {
        if (!testing::Child<QWidget>(window, QString("ImgProd_%1").arg(i))->isHidden()) {
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

    std::unique_ptr<FrmAbout> Open(
        double draw, std::function<void()> onStart = [] {}) {
        return std::make_unique<FrmAbout>(services_, std::move(onStart), [draw] { return draw; });
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
        const double secure = FrmAbout::SecureDraw();
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
        QCOMPARE(testing::Child<QLabel>(window.get(), "Label5")->text(),
                 QString("Do you already know sealwise-cli?"));
        QCOMPARE(testing::Child<QLabel>(window.get(), "Label1")->text(),
                 QString("Welcome to Sealwise"));
        QTest::mouseClick(testing::Child<FlagImage>(window.get(), "ImageES"), Qt::LeftButton);
        QCOMPARE(window->windowTitle(), QString("Acerca de..."));
        QCOMPARE(testing::Child<QPushButton>(window.get(), "Command1")->text(),
                 QString::fromStdString(sealwise::GetResText(152)));
        QCOMPARE(testing::Child<QLabel>(window.get(), "Label5")->text(),
                 QString::fromStdString(sealwise::GetResText(201, "sealwise-cli")));
        QCOMPARE(testing::Child<FlagImage>(window.get(), "ImageES")->BorderStyle(), 1);
    }

    // The flags re-localise only the welcome window; the main window keeps its captions.
    void flagsLeaveAnOpenMainWindowAlone() {
        FCrypt main(services_, "");
        auto* encryptFiles = testing::Child<QPushButton>(&main, "Command4");
        QCOMPARE(encryptFiles->text(), QString("Encrypt files"));
        const auto window = Open(0.5);
        QTest::mouseClick(testing::Child<FlagImage>(window.get(), "ImageDE"), Qt::LeftButton);
        QCOMPARE(sealwise::LanguageOffset(), kGerman);
        QCOMPARE(testing::Child<QLabel>(window.get(), "Label1")->text(),
                 QString("Willkommen bei Sealwise"));
        QCOMPARE(encryptFiles->text(), QString("Encrypt files"));
    }

    void linksOpenThePagesOfThePanel() {
        const auto online = Open(0.5);
        QTest::mouseClick(testing::Child<QPushButton>(online.get(), "Label2_1"), Qt::LeftButton);
        QTest::mouseClick(testing::Child<QPushButton>(online.get(), "Label2_5"), Qt::LeftButton);
        QCOMPARE(services_.openedUrls,
                 (std::vector<QUrl>{QUrl("https://sealwise.example/online/about"),
                                    QUrl("https://sealwise.example/online")}));
        services_.openedUrls.clear();
        sealwise::SetLanguageOffset(kGerman);
        const auto guide = Open(0.9);
        QTest::mouseClick(testing::Child<QPushButton>(guide.get(), "Label2_5"), Qt::LeftButton);
        QCOMPARE(services_.openedUrls.back(), QUrl("https://sealwise.example/de/guide"));
    }

    void startOpensTheMainWindowAndCloses() {
        int started = 0;
        QPointer<FrmAbout> window = new FrmAbout(
            services_, [&] { ++started; }, [] { return 0.2; });
        window->show();
        QTest::mouseClick(testing::Child<QPushButton>(window.data(), "Command1"), Qt::LeftButton);
        QCOMPARE(started, 1);
        QTRY_VERIFY(window.isNull());
    }

    void welcomeButtonOfTheMainWindowOpensItAgain() {
        FCrypt main(services_, "");
        main.show();
        QTest::mouseClick(testing::Child<QPushButton>(&main, "cmdAbout"), Qt::LeftButton);
        FrmAbout* welcome = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* about = qobject_cast<FrmAbout*>(top); about && about->isVisible())
                welcome = about;
        }
        QVERIFY(welcome);
        main.hide();
        QTest::mouseClick(testing::Child<QPushButton>(welcome, "Command1"), Qt::LeftButton);
        QVERIFY(main.isVisible());
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
