#pragma once
// The window's side of a file job: progress and lamps through the relay, failures as message
// boxes and the overwrite question with its save dialog, each shown on the window's thread
// while the job waits for the answer.
#include "files/jobs/file_job_observer.h"

class QWidget;

namespace sealwise::gui {

class DesktopServices;
class JobThread;
class ProgressRelay;

class WindowJobObserver : public FileJobObserver {
  public:
    WindowJobObserver(QWidget& window, DesktopServices& services, JobThread& thread,
                      ProgressRelay& relay);

    ProgressSink* ItemProgress() override;
    ProgressSink* RunProgress() override;
    void ShowRunProgress(bool visible) override;
    void SetLamps(const LampState& lamps) override;
    void ReportError(const std::string& item, const SealError& error) override;
    void ReportNotice(const std::string& item, const Message& notice) override;
    // Yes overwrites; No opens the save dialog in the file's directory, where a cancel skips
    // the entry.
    OverwriteAnswer AskOverwrite(const std::string& path) override;

  private:
    QWidget& window_;
    DesktopServices& services_;
    JobThread& thread_;
    ProgressRelay& relay_;
};

}  // namespace sealwise::gui
