#include "gui/working/working_display.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/msg.h"
#include "gui/app/localizer.h"
#include "gui/controls/progress_bar.h"
#include "gui/controls/rounded_panel.h"
#include "gui/widgets/digit_image.h"
#include "gui/widgets/lamp_image.h"
#include "gui/widgets/widget_factory.h"
#include "gui/working/working_display_names.h"

namespace sealwise::gui {

namespace names = working_display_names;

namespace {

constexpr int kLampDiameter = 16;

// Which lamp image shows which lamp: AmpelL(5) red, (4) yellow, (3) green.
constexpr std::array<int, 3> kLampIndexes = {5, 4, 3};

}  // namespace

WorkingDisplay::WorkingDisplay(QWidget* parent) : QFrame(parent), timer_(new QTimer(this)) {
    setObjectName(names::kFrame);
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);

    message_ = new QLabel(Ref(Msg::PleaseWait), this);
    message_->setObjectName(names::kMessage);
    message_->setWordWrap(true);

    cancel_ = new QPushButton(Ref(Msg::Cancel), this);
    cancel_->setObjectName(names::kCancel);
    connect(cancel_, &QPushButton::clicked, this, &WorkingDisplay::CancelClicked);

    const std::array<Msg, 2> progressNames = {Msg::ProgressOfItem, Msg::ProgressOfRun};
    for (std::size_t i = 0; i < progress_.size(); ++i) {
        progress_[i] = new ProgressBar(this);
        progress_[i]->setObjectName(QString(names::kProgress).arg(i + 1));
        progress_[i]->setFixedHeight(14);
        SetAccessibleReference(progress_[i], progressNames[i]);
    }

    lampPanel_ = MakeLampHousing(this, 14);
    lampPanel_->setObjectName(names::kLampPanel);
    SetAccessibleReference(lampPanel_, Msg::ProgressLight);
    auto* lampRow = new QHBoxLayout(lampPanel_);
    lampRow->setContentsMargins(8, 6, 8, 6);
    lampRow->setSpacing(4);
    const std::array<QColor, 3> colours = {QColor(255, 0, 0), QColor(255, 255, 0),
                                           QColor(0, 255, 0)};
    const std::array<Msg, 3> lampNames = {Msg::RedLamp, Msg::YellowLamp, Msg::GreenLamp};
    for (std::size_t i = 0; i < lamps_.size(); ++i) {
        lamps_[i] = new LampImage(colours[i], kLampDiameter, lampPanel_);
        lamps_[i]->setObjectName(QString(names::kLamp).arg(kLampIndexes[i]));
        SetAccessibleReference(lamps_[i], lampNames[i]);
        lampRow->addWidget(lamps_[i]);
    }
    lampPanel_->hide();

    counterPanel_ = new QWidget(this);
    counterPanel_->setObjectName(names::kCounterPanel);
    SetAccessibleReference(counterPanel_, Msg::ElapsedTime);
    auto* counterRow = new QHBoxLayout(counterPanel_);
    counterRow->setContentsMargins(0, 0, 0, 0);
    counterRow->setSpacing(0);
    for (std::size_t i = 0; i < counterImages_.size(); ++i) {
        counterImages_[i] = new DigitImage(i == 2 ? kSeparatorGlyph : 0, counterPanel_);
        counterImages_[i]->setObjectName(QString(names::kCounterDigit).arg(i));
        SetAccessibleReference(counterImages_[i], Msg::ElapsedTime);
        counterRow->addWidget(counterImages_[i]);
    }

    timer_->setObjectName(names::kCounterTimer);
    timer_->setInterval(kTickMilliseconds);
    connect(timer_, &QTimer::timeout, this, &WorkingDisplay::TickCounter);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 8, 10, 8);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(6);
    // Content in the middle of whatever height the window gives the display.
    grid->setRowStretch(0, 1);
    grid->addWidget(message_, 1, 0, 1, 3);
    grid->addWidget(cancel_, 1, 3, Qt::AlignRight);
    grid->addWidget(progress_[0], 2, 0);
    grid->addWidget(progress_[1], 3, 0);
    grid->addWidget(lampPanel_, 2, 1, 2, 1, Qt::AlignCenter);
    grid->addWidget(counterPanel_, 2, 2, 2, 2, Qt::AlignRight | Qt::AlignVCenter);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(0, 1);
}

void WorkingDisplay::SetClock(ElapsedCounter::Clock clock) {
    counter_ = ElapsedCounter(std::move(clock));
}

void WorkingDisplay::TickCounter() {
    counter_.Tick(timer_->isActive());
    const auto& digits = counter_.Digits();
    counterImages_[0]->SetDigit(digits[0]);
    counterImages_[1]->SetDigit(digits[1]);
    counterImages_[3]->SetDigit(digits[2]);
    counterImages_[4]->SetDigit(digits[3]);
}

std::array<int, 4> WorkingDisplay::ShownDigits() const {
    return {counterImages_[0]->Digit(), counterImages_[1]->Digit(), counterImages_[3]->Digit(),
            counterImages_[4]->Digit()};
}

ProgressLamps WorkingDisplay::Lamps() const {
    return {lamps_[0]->Lit(), lamps_[1]->Lit(), lamps_[2]->Lit()};
}

void WorkingDisplay::SetLamps(ProgressLamps lamps) {
    lamps_[0]->SetLit(lamps.red);
    lamps_[1]->SetLit(lamps.yellow);
    lamps_[2]->SetLit(lamps.green);
}

void WorkingDisplay::UpdateLamps(int64_t p, int64_t t) {
    SetLamps(sealwise::gui::UpdateLamps(Lamps(), p, t));
}

void WorkingDisplay::SetLampPanelVisible(bool visible) { lampPanel_->setVisible(visible); }

void WorkingDisplay::SetProgressVisible(bool visible) {
    progress_[0]->setVisible(visible);
    progress_[1]->setVisible(visible);
    for (auto* image : counterImages_) image->setVisible(visible);
}

}  // namespace sealwise::gui
