#include "gui/about/welcome_window.h"

#include <QBoxLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include "app/msg.h"
#include "app/strings.h"
#include "gui/about/welcome_window_names.h"
#include "gui/app/desktop_services.h"
#include "gui/app/language_flags.h"
#include "gui/app/language_switch.h"
#include "gui/app/localizer.h"
#include "gui/art/symbols.h"
#include "gui/widgets/flag_image.h"
#include "gui/widgets/painted_image.h"
#include "gui/widgets/widget_factory.h"
#include "util/secure_random.h"

namespace sealwise::gui {

namespace names = welcome_window_names;

namespace {

constexpr int kWindowWidth = 600;
constexpr int kPictureSide = 64;
constexpr int kNarrowingMargin = 200;  // panel A stacks narrowed texts under its picture

// Sets a label from the table; a text missing in this language leaves the label as it was.
void SetFromTable(QLabel* label, Msg id, const QString& s = {}) {
    try {
        label->setText(QString::fromStdString(GetResText(id, s.toStdString())));
    } catch (const std::exception&) {
    }
}

// A promotional text with its commands kept on one line ("sealwise-cli --help" must not break
// at a hyphen); a text missing in this language leaves the label as it was.
void SetPromoText(QLabel* label, Msg id) {
    try {
        label->setText(KeepCommandsTogether(QString::fromStdString(GetResText(id))));
    } catch (const std::exception&) {
    }
}

}  // namespace

QString KeepCommandsTogether(const QString& text) {
    // A word with inner hyphens, with the options that follow it.
    static const QRegularExpression command(R"([\w.]+(?:-[\w.]+)+(?: --?[\w-]+)*)");
    QString kept = text;
    for (auto it = command.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString joined = match.captured();
        joined.replace('-', QChar(0x2011)).replace(' ', QChar::Nbsp);  // no break inside
        kept.replace(match.capturedStart(), match.capturedLength(), joined);
    }
    return kept;
}

double WelcomeWindow::SecureDraw() {
    constexpr uint32_t kSteps = 1'000'000;
    return static_cast<double>(SecureRandomBelow(kSteps)) / kSteps;
}

WelcomeWindow::WelcomeWindow(DesktopServices& services, std::function<void()> onStart, Draw draw,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services), onStart_(std::move(onStart)) {
    setObjectName(names::kWindow);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Ref(Msg::Welcome));
    setFixedWidth(kWindowWidth);
    Build();
    Load(draw());
    start_->setFocus();  // Enter starts; a flag with the focus frame would look chosen
}

// Enter anywhere in the window starts, as on the default button of a dialog; the flags take
// their own Enter first.
void WelcomeWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        start_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WelcomeWindow::Build() {
    auto* logo = Named(new PaintedImage(QSize(40, 40), PaintLogo, this), names::kLogo);
    SetAccessibleReference(logo, Msg::Logo);
    headline_ = MakeLabel(this, names::kHeadline, {});
    QFont big = headline_->font();
    big.setPixelSize(20);
    big.setBold(true);
    headline_->setFont(big);
    flags_ = CreateLanguageFlags(this);
    description_ = MakeLabel(this, names::kDescription, {}, true);

    auto* rule = Named(new QFrame(this), names::kRule);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    constexpr std::array<ProductPicture, 3> kinds = {
        ProductPicture::CommandLine, ProductPicture::OnlineVersion, ProductPicture::OnlineGuide};
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        const ProductPicture kind = kinds[i];
        pictures_[i] = Named(
            new PaintedImage(
                QSize(kPictureSide, kPictureSide),
                [kind](QPainter& p, const QRectF& r) { PaintProductPicture(p, r, kind); }, this),
            ElementName(names::kProductPicture, static_cast<int>(i)));
        SetAccessibleReference(pictures_[i], Msg::ProductPicture);
    }
    heading_ = MakeLabel(this, names::kHeading, Ref(Msg::DoYouKnow));
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    heading_->setWordWrap(true);
    nameLink_ = MakeLinkButton(this, names::kNameLink, {});
    siteLink_ = MakeLinkButton(this, names::kSiteLink, {});
    promoText1_ = MakeLabel(this, names::kPromoText1, Ref(Msg::CliPromo), true);
    promoText2_ = MakeLabel(this, names::kPromoText2, "#259", true);
    start_ = MakeButton(this, names::kStart, Ref(Msg::Start));
    start_->setDefault(true);
    start_->setMinimumWidth(110);

    auto* header = new QHBoxLayout;
    header->addWidget(logo);
    header->addWidget(headline_, 1);
    for (auto* flag : flags_) header->addWidget(flag, 0, Qt::AlignTop);

    auto* pictureColumn = new QVBoxLayout;
    for (auto* picture : pictures_) pictureColumn->addWidget(picture, 0, Qt::AlignTop);
    pictureColumn->addStretch(1);
    textColumn_ = new QVBoxLayout;
    textColumn_->setSpacing(4);
    textColumn_->addWidget(heading_);
    textColumn_->addWidget(nameLink_, 0, Qt::AlignLeft);
    textColumn_->addWidget(promoText1_);
    textColumn_->addWidget(promoText2_);
    panelLayout_ = new QBoxLayout(QBoxLayout::LeftToRight);
    panelLayout_->setSpacing(14);
    panelLayout_->addLayout(pictureColumn);
    panelLayout_->addLayout(textColumn_, 1);

    bottomRow_ = new QHBoxLayout;
    bottomRow_->addStretch(1);
    bottomRow_->addWidget(start_, 0, Qt::AlignBottom);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(18, 16, 18, 16);
    column->setSpacing(10);
    column->addLayout(header);
    column->addWidget(description_);
    column->addWidget(rule);
    column->addLayout(panelLayout_);
    column->addLayout(bottomRow_);

    for (std::size_t i = 0; i < flags_.size(); ++i) {
        const int offset = kLanguageFlags[i].languageOffset;
        connect(flags_[i], &FlagImage::clicked, this, [this, offset] { SwitchLanguage(offset); });
    }
    connect(nameLink_, &QPushButton::clicked, this, [this] { OpenLink(1); });
    connect(siteLink_, &QPushButton::clicked, this, [this] { OpenLink(5); });
    connect(start_, &QPushButton::clicked, this, &WelcomeWindow::Start);
    connect(&LanguageSwitch::Instance(), &LanguageSwitch::Changed, this,
            &WelcomeWindow::LanguageChanged);
}

void WelcomeWindow::Load(double draw) {
    panel_ = PanelFromDraw(draw);
    MarkLanguageFlag(this);
    siteLink_->setCursor(nameLink_->cursor());
    // The references first, then the texts of the panel: a heading holds its name and a
    // promotional label the panel's text, not the bare text of its reference.
    Localize();
    FillTexts();
}

void WelcomeWindow::Localize() {
    LocalizeForm(this);
    setWindowTitle(ResText(Msg::Welcome, windowTitle()));
}

void WelcomeWindow::SwitchLanguage(int languageOffset) {
    LanguageSwitch::Instance().Switch(languageOffset);
}

void WelcomeWindow::LanguageChanged() {
    MarkLanguageFlag(this);
    Localize();
    FillTexts();
}

void WelcomeWindow::FillTexts() {
    panel_ = PanelForLanguage(panel_, LanguageOffset());
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        pictures_[i]->setVisible(static_cast<int>(i) == static_cast<int>(panel_));
    }
    const PanelContent content = ContentOf(panel_);
    const QString name = QString::fromStdString(content.name);
    SetFromTable(heading_, Msg::DoYouKnow, name);
    siteLink_->setText(QString::fromStdString(content.site));
    nameLink_->setText(name);
    SetFromTable(headline_, Msg::WelcomeHeadline);
    SetFromTable(description_, Msg::WelcomeDescription);
    SetPromoText(promoText1_, content.text1Id);
    SetPromoText(promoText2_, content.text2Id);
    ArrangePanel();
}

// The command-line panel stacks its texts under the picture and puts its site link beside the
// Start button; the others show the texts beside the picture with the link below them.
void WelcomeWindow::ArrangePanel() {
    const bool stacked = panel_ == PromoPanel::CommandLine;
    panelLayout_->setDirection(stacked ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    textColumn_->setContentsMargins(0, 0, stacked ? kNarrowingMargin : 0, 0);
    textColumn_->removeWidget(siteLink_);
    bottomRow_->removeWidget(siteLink_);
    if (stacked) {
        bottomRow_->insertWidget(0, siteLink_, 0, Qt::AlignBottom);
    } else {
        textColumn_->addWidget(siteLink_, 0, Qt::AlignLeft);
    }
    // The labels have new texts: lay everything out again (activate also drops the cached
    // heights of the inner layouts) before the window's height is fitted to it.
    layout()->invalidate();
    layout()->activate();
    setFixedHeight(layout()->totalHeightForWidth(width()));
    layout()->activate();
}

void WelcomeWindow::OpenLink(int element) {
    services_.OpenUrl(QUrl(QString::fromStdString(PanelLink(panel_, LanguageOffset(), element))));
}

void WelcomeWindow::Start() {
    if (onStart_) onStart_();
    close();
}

}  // namespace sealwise::gui
