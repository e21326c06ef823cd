#include "gui/working/progress_rule.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sealwise::gui {

namespace {

int32_t Clamped(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, INT32_MAX));
}

}  // namespace

void ProgressRule::RunStarted(int64_t items) {
    items_ = items;
    lamps_ = kLampsAtStart;
    run_ = {Clamped(items), 0, 0};
    runVisible_ = !SingleItem();
}

void ProgressRule::ItemProgress(int64_t done, int64_t total) {
    if (kind_ == RunKind::kEncryptFiles) {
        // One step per chunk on a bar one step longer: after the first chunk of four it shows 2
        // of 5.
        item_ = {Clamped(total + 1), 0, done == 0 ? 0 : Clamped(done + 1)};
    } else {
        const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0;
        item_ = {1000, 0, static_cast<int32_t>(std::lround(1000.0 * share))};
    }
    // Lamps follow progress made, and only that of a run's single item.
    if (SingleItem() && done > 0) lamps_ = UpdateLamps(lamps_, done, total);
}

void ProgressRule::ItemFinished(int64_t number) {
    if (SingleItem()) {
        // The encrypting run never moved its hidden bar.
        if (kind_ == RunKind::kDecryptContainer) run_.position = Clamped(number + 1);
        return;
    }
    run_.position = Clamped(number + 1);
    const int64_t t = kind_ == RunKind::kEncryptFiles ? items_ : items_ - 1;
    lamps_ = UpdateLamps(lamps_, number, t);
}

void ProgressRule::RunFinished(bool completed) {
    runVisible_ = true;
    if (!completed) return;
    lamps_ = kLampsAtEnd;
    // Records that hold no file count as done too.
    if (kind_ == RunKind::kDecryptContainer) run_.position = Clamped(items_);
}

}  // namespace sealwise::gui
