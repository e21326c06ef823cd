#pragma once
// Restores a modern container below an output directory: files, empty directories, symbolic
// links as links, permission bits and modification times. A file gets its final name only
// after all its data authenticated; the first damage ends the run (nothing behind it can be
// trusted) and is reported naming the entry it hit. Files are made and written by a thread of
// their own (restore_writer.h) while this one authenticates what follows.
#include <span>
#include <stop_token>
#include <string>
#include <vector>

#include "files/jobs/file_job_observer.h"
#include "modern/byte_stream.h"

namespace sealwise::modern {

struct ModernRestoreSummary {
    JobOutcome outcome = JobOutcome::kCompleted;
    int entries = 0;       // entry records read
    int restored = 0;      // files, directories and links put in place
    int skipped = 0;       // existing files kept
    int failed = 0;        // entries that could not be restored (each reported)
    bool damaged = false;  // the container is damaged or tampered with (reported)
};

class ModernRestoreJob {
  public:
    explicit ModernRestoreJob(FileJobObserver& observer, std::stop_token stop = {})
        : observer_(observer), stop_(std::move(stop)) {}

    // Throws SealError before anything is written: kModernWrongPassphrase, kModernUnsupported
    // (also for an armoured text), StreamDamaged for a damaged header, 103 when the output
    // directory cannot be opened.
    ModernRestoreSummary Run(ByteSource& source, const std::string& displayName,
                             const std::string& outputDirectory, std::span<const std::string> keys);

  private:
    FileJobObserver& observer_;
    std::stop_token stop_;
};

}  // namespace sealwise::modern
