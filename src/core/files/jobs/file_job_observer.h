#pragma once
// What a file job (encrypting files, decrypting a container, writing or restoring the modern
// format) reports to whoever runs it, and the questions it asks. The reports say what happened;
// how that shows (progress bars and lamps in the window, a progress line in the terminal) is
// the caller's business. Every method is called on the job's thread.
#include <cstdint>
#include <string>

#include "app/message.h"
#include "app/progress.h"
#include "util/errors.h"

namespace sealwise {

enum class JobOutcome { kCompleted, kCancelled };

enum class OverwriteChoice {
    kOverwrite,  // replace the existing file (only once the new one is complete)
    kRename,     // write to newPath instead
    kSkip,       // restore nothing for this entry
};

struct OverwriteAnswer {
    OverwriteChoice choice = OverwriteChoice::kSkip;
    std::string newPath;  // for kRename: the full path chosen
};

enum class ItemOutcome {
    kDone,       // its data went through (a restored file is reported by ItemRestored once placed)
    kFailed,     // reported through ReportError
    kSkipped,    // an existing file kept at the user's answer
    kLeftOut,    // an input that is the container itself
    kCancelled,  // the run was cancelled while the item was handled
};

struct ItemResult {
    int64_t number = 0;  // the item's place in the run, from 0
    ItemOutcome outcome = ItemOutcome::kDone;
    friend bool operator==(const ItemResult&, const ItemResult&) = default;
};

class FileJobObserver {
  public:
    virtual ~FileJobObserver() = default;

    // The run goes over this many items (files to encrypt, records of a container).
    virtual void RunStarted(int64_t /*items*/) {}
    // The current item is done of total (chunks of a file being encrypted, bytes of an entry
    // being restored); done is 0 when the item begins.
    virtual void ItemProgress(int64_t /*done*/, int64_t /*total*/) {}
    // The job is through with one item of the run.
    virtual void ItemFinished(const ItemResult& /*result*/) {}
    // The run ended as outcome; not called when the run fails as a whole (it throws).
    virtual void RunFinished(JobOutcome /*outcome*/) {}
    // Lets a user interface run its events from inside the job; null when not needed.
    virtual PumpHook* Pump() { return nullptr; }

    // An item (a file being encrypted, an entry being restored) begins; bytes is its size on
    // disk when known (encrypting), else -1.
    virtual void ItemStarted(const std::string& /*name*/, int64_t /*bytes*/) {}
    // Another bytes of file data went through the job (for throughput displays).
    virtual void BytesDone(int64_t /*bytes*/) {}
    // A restored file is complete at path.
    virtual void ItemRestored(const std::string& /*path*/, int64_t /*bytes*/) {}

    // A failure that concerns one item only; the run goes on with the next.
    virtual void ReportError(const std::string& item, const SealError& error) = 0;
    // Something the user should know that is no failure (the run's outcome does not change).
    virtual void ReportNotice(const std::string& /*item*/, const Message& /*notice*/) {}

    // The file that an entry would be restored to exists.
    virtual OverwriteAnswer AskOverwrite(const std::string& /*path*/) { return {}; }
};

}  // namespace sealwise
