#pragma once
// What a file page's run shares between the window thread, which fills it in and shows the
// outcome, and the job thread, which runs it: the observer that reports to the window, the
// classic job, the container, the secrets of the modern format and the outcome.
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "gui/jobs/job_thread.h"
#include "gui/jobs/window_job_observer.h"
#include "gui/main/stored_format.h"
#include "util/errors.h"

namespace sealwise::gui {

template <class Job, class Summary>
struct FileJobRun {
    FileJobRun(QWidget& window, DesktopServices& services, JobThread& thread, ProgressRelay& relay,
               RunKind kind)
        : observer(window, services, thread, relay, kind),
          stop(thread.NewStopToken()),
          job(observer, stop) {}

    WindowJobObserver observer;
    std::stop_token stop;  // the classic job's and the modern format's
    Job job;               // ends early only when the job thread requests stop
    std::string container;
    StoredFormat format = StoredFormat::kClassic;
    std::vector<std::string> secrets;  // the modern format: passphrase or shared keys
    Summary summary;
    std::optional<SealError> failure;
};

}  // namespace sealwise::gui
