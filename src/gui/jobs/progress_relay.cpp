#include "gui/jobs/progress_relay.h"

#include <QTimer>

#include "gui/controls/progress_bar.h"
#include "gui/working/working_display.h"

namespace sealwise::gui {

void AtomicProgress::ApplyTo(ProgressBar& bar) {
    if (!changed_.exchange(false, std::memory_order_acquire)) return;
    bar.setMax(max_.load(std::memory_order_relaxed));
    bar.setMin(min_.load(std::memory_order_relaxed));
    bar.setPosition(position_.load(std::memory_order_relaxed));
}

void AtomicProgress::Set(const BarSettings& bar) {
    max_.store(bar.max, std::memory_order_relaxed);
    min_.store(bar.min, std::memory_order_relaxed);
    position_.store(bar.position, std::memory_order_relaxed);
    changed_.store(true, std::memory_order_release);
}

ProgressRelay::ProgressRelay(WorkingDisplay& display, QObject* parent)
    : QObject(parent), display_(display), timer_(new QTimer(this)) {
    timer_->setInterval(kRefreshMilliseconds);
    connect(timer_, &QTimer::timeout, this, &ProgressRelay::Flush);
}

void ProgressRelay::SetLamps(ProgressLamps lamps) {
    lamps_.store((lamps.red ? 1 : 0) | (lamps.yellow ? 2 : 0) | (lamps.green ? 4 : 0),
                 std::memory_order_release);
}

void ProgressRelay::Start() {
    lamps_ = -1;
    timer_->start();
}

void ProgressRelay::Stop() {
    timer_->stop();
    Flush();
}

void ProgressRelay::Flush() {
    item_.ApplyTo(*display_.ItemProgress());
    run_.ApplyTo(*display_.RunProgress());
    const int lamps = lamps_.exchange(-1, std::memory_order_acquire);
    if (lamps >= 0) display_.SetLamps({(lamps & 1) != 0, (lamps & 2) != 0, (lamps & 4) != 0});
}

}  // namespace sealwise::gui
