#pragma once
// The window's side of a file job: the job's reports become progress bars and lamps (by the
// rule of the working display, through the relay), failures become message boxes and the
// overwrite question opens its save dialog, each shown on the window's thread while the job
// waits for the answer.
#include "files/jobs/file_job_observer.h"
#include "gui/app/desktop_services.h"
#include "gui/working/progress_rule.h"

class QWidget;

namespace sealwise::gui {

class JobThread;
class ProgressRelay;

class WindowJobObserver : public FileJobObserver {
  public:
    WindowJobObserver(QWidget& window, DesktopServices& services, JobThread& thread,
                      ProgressRelay& relay, RunKind kind);

    void RunStarted(int64_t items) override;
    void ItemProgress(int64_t done, int64_t total) override;
    void ItemFinished(const ItemResult& result) override;
    void RunFinished(JobOutcome outcome) override;
    void ReportError(const std::string& item, const SealError& error) override;
    void ReportNotice(const std::string& item, const Message& notice) override;
    // Yes overwrites; No opens the save dialog in the file's directory, where a cancel skips
    // the entry.
    OverwriteAnswer AskOverwrite(const std::string& path) override;

  private:
    void ShowLampsAndRunBar();
    // Shows the message on the window thread; the job waits until it is closed.
    void ShowAndWait(const std::string& message, MessageIcon icon);

    QWidget& window_;
    DesktopServices& services_;
    JobThread& thread_;
    ProgressRelay& relay_;
    ProgressRule rule_;
    bool runShown_ = true;
};

}  // namespace sealwise::gui
