#pragma once
// What a directory expansion needs from the window: its events processed now and then, so that
// Cancel can be clicked during a long walk, and the busy display while it scans.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

#include "app/progress.h"
#include "models/input_list.h"

namespace sealwise::gui {

// Processes pending events at most every few milliseconds: a walk reports every file.
class ThrottledEventPump : public PumpHook {
  public:
    static constexpr int kIntervalMilliseconds = 15;

    void Pump() override {
        if (clock_.isValid() && clock_.elapsed() < kIntervalMilliseconds) return;
        QCoreApplication::processEvents();
        clock_.start();
    }

  private:
    QElapsedTimer clock_;
};

class ScanBusyState : public InputList::ScanObserver {
  public:
    std::function<void(bool)> onChange;
    void SetScanning(bool scanning) override {
        if (onChange) onChange(scanning);
    }
};

}  // namespace sealwise::gui
