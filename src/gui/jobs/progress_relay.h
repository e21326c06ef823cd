#pragma once
// Progress and lamps reported by a job's thread reach the working display through atomics that
// a timer on the window's thread reads: a job may report after every cipher block, far more
// often than a display can be drawn, and never has to wait for the window.
#include <QObject>
#include <atomic>
#include <cstdint>

#include "app/progress.h"
#include "gui/working/progress_rule.h"

class QTimer;

namespace sealwise::gui {

class ProgressBar;
class WorkingDisplay;

// The latest Max / Min / Position written by a job.
class AtomicProgress : public ProgressSink {
  public:
    void SetMax(int32_t value) override { Store(max_, value); }
    void SetMin(int32_t value) override { Store(min_, value); }
    void SetPosition(int32_t value) override { Store(position_, value); }
    void Set(const BarSettings& bar);

    // Writes what changed since the last call into the bar.
    void ApplyTo(ProgressBar& bar);

  private:
    void Store(std::atomic<int32_t>& field, int32_t value) {
        field.store(value, std::memory_order_relaxed);
        changed_.store(true, std::memory_order_release);
    }

    std::atomic<int32_t> max_{100}, min_{0}, position_{0};
    std::atomic<bool> changed_{false};
};

class ProgressRelay : public QObject {
    Q_OBJECT

  public:
    static constexpr int kRefreshMilliseconds = 40;

    explicit ProgressRelay(WorkingDisplay& display, QObject* parent = nullptr);

    AtomicProgress& Item() { return item_; }  // ProgressBar1
    AtomicProgress& Run() { return run_; }    // ProgressBar2
    // From the job's thread.
    void SetLamps(ProgressLamps lamps);

    void Start();
    // Stops the refresh after showing the last values.
    void Stop();
    void Flush();

  private:
    WorkingDisplay& display_;
    QTimer* timer_;
    AtomicProgress item_, run_;
    std::atomic<int> lamps_{-1};  // bits red 1, yellow 2, green 4; -1 when unchanged
};

}  // namespace sealwise::gui
