#include "gui/main/passphrase_panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/msg.h"
#include "gui/app/localizer.h"
#include "gui/art/symbols.h"
#include "gui/controls/rounded_panel.h"
#include "gui/main/main_window_names.h"
#include "gui/widgets/lamp_image.h"
#include "gui/widgets/painted_image.h"
#include "gui/widgets/star_rating.h"
#include "gui/widgets/widget_factory.h"

namespace sealwise::gui {

namespace {

constexpr int kLampDiameter = 16;
constexpr int kRowHeight = 30;  // rows keep their height when the tab hides their controls

QWidget* BuildQualityDisplay(QWidget* parent, PassphrasePanel& panel) {
    auto* quality = Named(new QWidget(parent), main_names::kQuality);
    auto* caption = MakeLabel(quality, main_names::kQualityCaption, Ref(Msg::PassphraseQuality));
    panel.verdict = MakeLabel(quality, main_names::kVerdict, {}, true);
    panel.verdict->setMinimumHeight(2 * panel.verdict->fontMetrics().height());
    panel.verdict->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* starRow = Named(new StarRating(quality), main_names::kStarRow);
    SetAccessibleReference(starRow, Msg::PassphraseQuality);
    for (int i = 0; i < StarRating::kStarCount; ++i) {
        SetAccessibleReference(starRow->Star(i), Msg::Star);
        SetAccessibleReference(starRow->Place(i), Msg::EmptyStar);
    }
    panel.rating = starRow;

    auto* grid = new QGridLayout(quality);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->addWidget(caption, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(starRow, 1, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(panel.verdict, 0, 1, 2, 1);
    grid->setColumnStretch(1, 1);
    return quality;
}

// Three lamps stacked in a grey rounded housing; at the start only the red one is lit.
QWidget* BuildTrafficLight(QWidget* parent, PassphrasePanel& panel) {
    auto* light = Named(new QWidget(parent), main_names::kLampPanel);
    light->setFixedSize(32, 3 * kLampDiameter + 2 * 4 + 2 * 8);
    // Hidden while a job runs; its place stays, so that nothing beside it moves.
    QSizePolicy keepPlace = light->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    light->setSizePolicy(keepPlace);
    SetAccessibleReference(light, Msg::QualityLight);
    auto* housing = Named(MakeLampHousing(light, 16), main_names::kLampHousing);
    housing->setGeometry(light->rect());
    auto* column = new QVBoxLayout(light);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(4);
    const std::array<QColor, 3> colours = {QColor(255, 0, 0), QColor(255, 255, 0),
                                           QColor(0, 255, 0)};
    const std::array<Msg, 3> names = {Msg::RedLamp, Msg::YellowLamp, Msg::GreenLamp};
    for (std::size_t i = 0; i < panel.lamps.size(); ++i) {
        panel.lamps[i] = Named(new LampImage(colours[i], kLampDiameter, light),
                               QString(main_names::kLamp).arg(i));
        SetAccessibleReference(panel.lamps[i], names[i]);
        column->addWidget(panel.lamps[i], 0, Qt::AlignHCenter);
    }
    panel.lamps[0]->SetLit(true);
    return light;
}

QWidget* BuildModeRow(QWidget* parent, PassphrasePanel& panel) {
    auto* row = Named(new QWidget(parent), main_names::kModeRow);
    row->setMinimumHeight(kRowHeight);
    panel.modes[0] =
        Named(new QRadioButton(Ref(Msg::SinglePassphrase), row), main_names::kOnePassphrase);
    panel.modes[1] =
        Named(new QRadioButton(Ref(Msg::SharedSecurity), row), main_names::kSharedSecurity);
    panel.modes[0]->setChecked(true);
    auto* group = new QButtonGroup(row);
    group->addButton(panel.modes[0], 0);
    group->addButton(panel.modes[1], 1);

    panel.keyCountPanel = Named(new QWidget(row), main_names::kKeyCountPanel);
    auto* countLabel = MakeLabel(panel.keyCountPanel, main_names::kKeyCountLabel, Ref(Msg::Keys));
    panel.keyCount = Named(new QLineEdit("3", panel.keyCountPanel), main_names::kKeyCount);
    panel.keyCount->setFixedWidth(36);
    panel.keyCount->setAlignment(Qt::AlignCenter);
    SetAccessibleReference(panel.keyCount, Msg::Keys);
    countLabel->setBuddy(panel.keyCount);
    auto* countRow = new QHBoxLayout(panel.keyCountPanel);
    countRow->setContentsMargins(0, 0, 0, 0);
    countRow->addWidget(countLabel);
    countRow->addWidget(panel.keyCount);

    panel.keyArrows[1] = Named(new QToolButton(row), main_names::kPreviousKey);
    panel.keyArrows[1]->setText("<");
    SetToolTipReference(panel.keyArrows[1], Msg::PreviousKey);
    SetAccessibleReference(panel.keyArrows[1], Msg::PreviousKey);
    // Created in the order they appear, which is the order the Tab key visits them.
    panel.keyScroll = Named(new QScrollBar(Qt::Horizontal, row), main_names::kKeyScroll);
    panel.keyScroll->setRange(1, 3);
    panel.keyScroll->setPageStep(1);
    panel.keyScroll->setFixedWidth(90);
    panel.keyScroll->setFocusPolicy(Qt::StrongFocus);
    SetAccessibleReference(panel.keyScroll, Msg::KeyShown);
    panel.keyArrows[0] = Named(new QToolButton(row), main_names::kNextKey);
    panel.keyArrows[0]->setText(">");
    SetToolTipReference(panel.keyArrows[0], Msg::NextKey);
    SetAccessibleReference(panel.keyArrows[0], Msg::NextKey);
    for (auto* arrow : panel.keyArrows) arrow->setAutoRaise(true);
    panel.keyOf = MakeLabel(row, main_names::kKeyOf, "1/3");
    panel.keyOf->setMinimumWidth(40);
    // The text tab shows no mode: its link has this row to itself and the action row keeps
    // room for the long captions of Spanish and French.
    panel.onlineLink = MakeLinkButton(row, main_names::kOnlineLink, Ref(Msg::OnlineVersion));

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel.modes[0]);
    layout->addWidget(panel.modes[1]);
    layout->addSpacing(8);
    layout->addWidget(panel.keyCountPanel);
    layout->addStretch(1);
    layout->addWidget(panel.keyArrows[1]);
    layout->addWidget(panel.keyScroll);
    layout->addWidget(panel.keyArrows[0]);
    layout->addWidget(panel.keyOf);
    layout->addWidget(panel.onlineLink);
    for (QWidget* hidden :
         {static_cast<QWidget*>(panel.modes[0]), static_cast<QWidget*>(panel.modes[1]),
          panel.keyCountPanel, static_cast<QWidget*>(panel.keyArrows[0]),
          static_cast<QWidget*>(panel.keyArrows[1]), static_cast<QWidget*>(panel.keyScroll),
          static_cast<QWidget*>(panel.keyOf), static_cast<QWidget*>(panel.onlineLink)}) {
        hidden->hide();
    }
    return row;
}

QWidget* BuildActionRow(QWidget* parent, PassphrasePanel& panel) {
    auto* row = Named(new QWidget(parent), main_names::kActionRow);
    row->setMinimumHeight(kRowHeight + 4);
    panel.encryptText = MakeButton(row, main_names::kEncryptText, Ref(Msg::EncryptText));
    panel.decryptText = MakeButton(row, main_names::kDecryptText, Ref(Msg::DecryptText));
    panel.mail = MakeButton(row, main_names::kMail, Ref(Msg::SendViaEmail));
    panel.mail->setEnabled(false);  // until a text has been encrypted
    panel.encryptFiles = MakeButton(row, main_names::kEncryptFiles, Ref(Msg::EncryptFiles));
    panel.decryptFiles = MakeButton(row, main_names::kDecryptFiles, Ref(Msg::DecryptFiles));
    panel.resultNote = MakeLabel(row, main_names::kResultNote, Ref(Msg::FileDecrypted));
    QFont bold = panel.resultNote->font();
    bold.setBold(true);
    panel.resultNote->setFont(bold);
    panel.resultNote->setForegroundRole(QPalette::Link);
    panel.resultNote->hide();
    for (auto* main :
         {panel.encryptText, panel.decryptText, panel.encryptFiles, panel.decryptFiles}) {
        main->setMinimumWidth(130);
    }

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel.encryptFiles);
    layout->addWidget(panel.decryptFiles);
    layout->addWidget(panel.encryptText);
    layout->addWidget(panel.decryptText);
    layout->addWidget(panel.mail);
    layout->addSpacing(8);
    layout->addWidget(panel.resultNote);
    layout->addStretch(1);
    for (auto* hidden : {panel.encryptText, panel.decryptText, panel.mail, panel.decryptFiles}) {
        hidden->hide();
    }
    return row;
}

}  // namespace

PassphrasePanel BuildPassphrasePanel(QWidget* parent) {
    PassphrasePanel panel;
    auto* frame = Named(new QFrame(parent), main_names::kPassphraseFrame);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel.frame = frame;

    auto* hint = MakeLabel(frame, main_names::kPassphraseHint, Ref(Msg::PassphraseHint), true);
    panel.passphrase = Named(new QLineEdit(frame), main_names::kPassphrase);
    panel.passphrase->setEchoMode(QLineEdit::Password);
    SetAccessibleReference(panel.passphrase, Msg::PassphraseName);
    panel.hide = Named(new QCheckBox(Ref(Msg::HidePassphrase), frame), main_names::kHidePassphrase);
    panel.hide->setChecked(true);
    panel.generate = MakeButton(frame, main_names::kGenerate, Ref(Msg::CreateRandom));
    panel.keyboard = MakeButton(frame, main_names::kKeyboard, Ref(Msg::ScreenKeyboard));

    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(panel.passphrase, 1);
    entryRow->addWidget(panel.hide);
    auto* toolRow = new QHBoxLayout;
    toolRow->addWidget(panel.generate);
    toolRow->addWidget(panel.keyboard);
    toolRow->addStretch(1);

    auto* qualityRow = new QHBoxLayout;
    panel.quality = BuildQualityDisplay(frame, panel);
    qualityRow->addWidget(panel.quality, 1);
    panel.lampPanel = BuildTrafficLight(frame, panel);
    qualityRow->addWidget(panel.lampPanel, 0, Qt::AlignTop);

    panel.lowerRows = Named(new QWidget(frame), main_names::kLowerRows);
    auto* lower = new QVBoxLayout(panel.lowerRows);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(4);
    lower->addWidget(BuildModeRow(panel.lowerRows, panel));
    lower->addWidget(BuildActionRow(panel.lowerRows, panel));

    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(12, 10, 12, 10);
    column->setSpacing(6);
    column->addWidget(hint);
    column->addLayout(entryRow);
    column->addLayout(toolRow);
    column->addLayout(qualityRow);
    column->addWidget(panel.lowerRows);
    return panel;
}

}  // namespace sealwise::gui
