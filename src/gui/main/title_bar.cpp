#include "gui/main/title_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "app/msg.h"
#include "gui/app/language_flags.h"
#include "gui/app/localizer.h"
#include "gui/art/symbols.h"
#include "gui/main/main_window_names.h"
#include "gui/widgets/caption_buttons.h"
#include "gui/widgets/flag_image.h"
#include "gui/widgets/widget_factory.h"

namespace sealwise::gui {

namespace {

constexpr int kLogoSide = 24;

QPixmap LogoPixmap(qreal devicePixelRatio) {
    QPixmap pixmap(QSize(kLogoSide, kLogoSide) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    PaintLogo(painter, QRectF(0, 0, kLogoSide, kLogoSide));
    return pixmap;
}

}  // namespace

TitleBar BuildTitleBar(QWidget* parent) {
    TitleBar parts;
    parts.bar = Named(new QWidget(parent), main_names::kTitleBar);
    auto* row = new QHBoxLayout(parts.bar);
    row->setContentsMargins(12, 8, 10, 4);
    row->setSpacing(6);

    for (std::size_t i = 0; i < parts.logo.size(); ++i) {
        parts.logo[i] = MakeLabel(parts.bar, QString(main_names::kLogo).arg(i), {});
        parts.logo[i]->setFixedSize(kLogoSide, kLogoSide);
        SetAccessibleReference(parts.logo[i], Msg::Logo);
    }
    parts.logo[1]->setPixmap(LogoPixmap(parent->devicePixelRatioF()));
    parts.logo[1]->hide();  // holds the picture that the load step shows in element 0

    parts.title = MakeLabel(parts.bar, main_names::kTitle, "Sealwise");
    QFont titleFont = parts.title->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(16);
    parts.title->setFont(titleFont);

    parts.flags = CreateLanguageFlags(parts.bar);
    parts.about = MakeButton(parts.bar, main_names::kAbout, Ref(Msg::Welcome));
    parts.controlBox = Named(new CaptionButtons(parts.bar), main_names::kControlBox);
    SetAccessibleReference(parts.controlBox, Msg::CaptionButtons);
    SetToolTipReference(parts.controlBox, Msg::CaptionButtons);

    row->addWidget(parts.logo[0]);
    row->addWidget(parts.logo[1]);
    row->addWidget(parts.title);
    row->addStretch(1);
    for (auto* flag : parts.flags) row->addWidget(flag);
    row->addSpacing(6);
    row->addWidget(parts.about);
    row->addSpacing(6);
    row->addWidget(parts.controlBox, 0, Qt::AlignTop);
    return parts;
}

}  // namespace sealwise::gui
