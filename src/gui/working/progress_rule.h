#pragma once
// How a file job's reports show on the working display: the settings of the two progress bars
// (ProgressBar1 follows the current item, ProgressBar2 the items of the run) and the three
// lamps. Plain state, fed on the job's thread; the window draws what it holds.
#include <cstdint>

#include "gui/working/lamp_rule.h"

namespace sealwise::gui {

struct BarSettings {
    int32_t max = 100;
    int32_t min = 0;
    int32_t position = 0;
    bool operator==(const BarSettings&) const = default;
};

// The two jobs were drawn differently from the start, and their displays stay as they were.
enum class RunKind {
    kEncryptFiles,      // item bar in chunks (+1); lamps over the files as p = i of t = n
    kDecryptContainer,  // item bar in thousandths; lamps over the entries as p = e of t = n - 1
};

class ProgressRule {
  public:
    explicit ProgressRule(RunKind kind) : kind_(kind) {}

    // Red lamp; the run bar counts the items, and is hidden when there is a single one (the
    // lamps then follow that item instead).
    void RunStarted(int64_t items);
    void ItemProgress(int64_t done, int64_t total);
    void ItemFinished(int64_t number);
    // Green lamp alone when completed; the run bar shows again.
    void RunFinished(bool completed);

    const BarSettings& item() const { return item_; }
    const BarSettings& run() const { return run_; }
    bool runVisible() const { return runVisible_; }
    ProgressLamps lamps() const { return lamps_; }

  private:
    bool SingleItem() const { return items_ == 1; }

    RunKind kind_;
    int64_t items_ = 0;
    BarSettings item_, run_;
    bool runVisible_ = true;
    ProgressLamps lamps_ = kLampsAtStart;
};

}  // namespace sealwise::gui
