#pragma once
// The terminal side of a file job: a progress line on stderr (files, bytes, MB/s), error
// messages, and the overwrite question.
#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "cli/commands.h"
#include "files/jobs/file_job_observer.h"

namespace sealwise::cli {

enum class OverwritePolicy {
    kAsk,        // ask on the terminal: yes / no / rename
    kOverwrite,  // --overwrite
    kKeep,       // --no-overwrite, or no terminal to ask on
};

class JobReporter : public FileJobObserver {
  public:
    JobReporter(Io& io, bool showProgress, OverwritePolicy policy = OverwritePolicy::kKeep);

    // Totals for the progress line, when known before the run.
    void SetTotals(int64_t files, int64_t bytes);
    // Totals of a container to be restored, from its listing (which reads little of it); left
    // unknown when the progress line is off or the listing fails (the run reports why).
    void SetTotalsFromContainer(const std::string& container, std::span<const uint8_t> key);
    // The progress line for the given state, as Draw shows it.
    static std::string ProgressLine(int64_t files, int64_t totalFiles, int64_t bytes,
                                    int64_t totalBytes, double seconds);
    // Clears the progress line; call before printing anything else after the run.
    void Finish();

    void ItemStarted(const std::string& name, int64_t bytes) override;
    void BytesDone(int64_t bytes) override;
    void ReportError(const std::string& item, const SealError& error) override;
    void ReportNotice(const std::string& item, const Message& notice) override;
    OverwriteAnswer AskOverwrite(const std::string& path) override;

    int errors() const noexcept { return errors_; }
    int notOverwritten() const noexcept { return notOverwritten_; }

  private:
    void Draw(bool force);
    void ClearLine();
    char Ask(const std::string& path);

    Io& io_;
    bool showProgress_;
    OverwritePolicy policy_;
    int64_t totalFiles_ = 0, totalBytes_ = 0;
    int64_t files_ = 0, bytes_ = 0;
    std::size_t lineWidth_ = 0;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDraw_{};
    int errors_ = 0;
    int notOverwritten_ = 0;
};

}  // namespace sealwise::cli
