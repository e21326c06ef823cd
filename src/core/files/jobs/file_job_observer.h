#pragma once
// What a file job (encrypting files, decrypting a container) reports to whoever runs it, and
// the questions it asks. The GUI binds these to its working display and dialogs; the CLI to a
// progress line and terminal prompts. Every method is called on the job's thread.
#include <cstdint>
#include <string>

#include "app/lamps.h"
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

class FileJobObserver {
  public:
    virtual ~FileJobObserver() = default;

    // Progress of the current file or entry, and over the files or entries of the run.
    // Null when not shown.
    virtual ProgressSink* ItemProgress() { return nullptr; }
    virtual ProgressSink* RunProgress() { return nullptr; }
    // The run's progress is hidden while a job handles a single file or entry.
    virtual void ShowRunProgress(bool /*visible*/) {}
    virtual void SetLamps(const LampState& /*lamps*/) {}
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
