#pragma once
// The working display FrameW shown while a job runs: waiting message, Cancel button, progress
// of the current item and of the run, the three-lamp indicator and the elapsed-time counter,
// which ticks every 800 ms while its timer runs.
#include <QFrame>
#include <array>

#include "gui/working/elapsed_counter.h"
#include "gui/working/lamp_rule.h"

class QLabel;
class QPushButton;
class QTimer;

namespace sealwise::gui {

class DigitImage;
class LampImage;
class ProgressBar;

class WorkingDisplay : public QFrame {
    Q_OBJECT

  public:
    static constexpr int kTickMilliseconds = 800;

    explicit WorkingDisplay(QWidget* parent = nullptr);

    ProgressBar* ItemProgress() const { return progress_[0]; }
    ProgressBar* RunProgress() const { return progress_[1]; }
    QTimer* CounterTimer() const { return timer_; }

    // Replaces the time source of the counter (tests).
    void SetClock(ElapsedCounter::Clock clock);
    // One tick: a reset while the timer is stopped, else the time since the reset.
    void TickCounter();
    // The four digits shown (tens of minutes, minutes, tens of seconds, seconds).
    std::array<int, 4> ShownDigits() const;

    ProgressLamps Lamps() const;
    void SetLamps(ProgressLamps lamps);
    // The lamps for progress p of t.
    void UpdateLamps(int64_t p, int64_t t);
    void SetLampPanelVisible(bool visible);
    // Progress bars and counter images (hidden while a directory is scanned).
    void SetProgressVisible(bool visible);

  Q_SIGNALS:
    void CancelClicked();

  private:
    QLabel* message_;
    QPushButton* cancel_;
    std::array<ProgressBar*, 2> progress_{};
    QWidget* lampPanel_;
    std::array<LampImage*, 3> lamps_{};  // red, yellow, green
    QWidget* counterPanel_;
    std::array<DigitImage*, 5> counterImages_{};
    QTimer* timer_;
    ElapsedCounter counter_;
};

}  // namespace sealwise::gui
