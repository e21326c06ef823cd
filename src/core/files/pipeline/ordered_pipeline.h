#pragma once
// Work that is read in order on the job's thread, done by worker threads in any order, and
// consumed again in the order it was read. The job's thread reads only while fewer than a few
// units per worker are under way, so memory stays bounded whatever the input size. While it
// waits for a worker it calls the pump hook and checks for cancel every few milliseconds.
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/progress.h"
#include "files/pipeline/reorder_buffer.h"
#include "files/pipeline/worker_pool.h"

namespace sealwise {

template <class Unit>
class OrderedPipeline {
  public:
    struct Steps {
        // Fills the unit with the next piece of work (job's thread); false when none is left.
        std::function<bool(Unit&)> read;
        // The heavy part (a worker thread); worker indexes per-worker state.
        std::function<void(Unit&, int worker)> work;
        // Safe from any thread.
        std::function<bool()> cancelled;
        PumpHook* pump = nullptr;
    };

    // unitsPerWorker: units under way per worker besides the one being consumed. More of them
    // keep a worker busy behind a slow unit that holds up the consumer; each costs memory.
    OrderedPipeline(int threads, int unitsPerWorker, Steps steps)
        : steps_(std::move(steps)), pool_(threads) {
        const std::size_t slots =
            pool_.runsInline() ? 1 : static_cast<std::size_t>(unitsPerWorker * pool_.workers() + 1);
        for (std::size_t i = 0; i < slots; ++i) {
            slots_.push_back(std::make_unique<Slot>());
            free_.push_back(slots_.back().get());
        }
    }

    int workers() const noexcept { return pool_.workers(); }

    // The next unit in reading order, or null when all are consumed or the job is cancelled.
    // Rethrows what the work step threw. The unit stays valid until the next call.
    Unit* Next() {
        if (current_) free_.push_back(std::exchange(current_, nullptr));
        Fill();
        if (inFlight_ == 0) return nullptr;
        for (;;) {
            if (steps_.cancelled()) return nullptr;
            if (auto done = ready_.TakeNext(std::chrono::milliseconds(20))) {
                --inFlight_;
                current_ = *done;
                if (steps_.cancelled()) return nullptr;
                if (current_->failure) std::rethrow_exception(current_->failure);
                return &current_->unit;
            }
            if (steps_.pump) steps_.pump->Pump();
        }
    }

  private:
    struct Slot {
        Unit unit;
        std::exception_ptr failure;
    };

    void Fill() {
        while (!readerDone_ && !free_.empty()) {
            Slot* slot = free_.back();
            slot->failure = nullptr;
            if (!steps_.read(slot->unit)) {
                readerDone_ = true;
                return;
            }
            free_.pop_back();
            const uint64_t sequence = sequence_++;
            ++inFlight_;
            pool_.Submit([this, slot, sequence](int worker) {
                if (!steps_.cancelled()) {
                    try {
                        steps_.work(slot->unit, worker);
                    } catch (...) {
                        slot->failure = std::current_exception();
                    }
                }
                ready_.Put(sequence, slot);
            });
        }
    }

    Steps steps_;
    std::vector<std::unique_ptr<Slot>> slots_;  // every unit; the others only point into it
    std::vector<Slot*> free_;
    Slot* current_ = nullptr;
    ReorderBuffer<Slot*> ready_;
    uint64_t sequence_ = 0;
    std::size_t inFlight_ = 0;
    bool readerDone_ = false;
    WorkerPool pool_;  // last: stopped and joined before anything its tasks use goes away
};

}  // namespace sealwise
