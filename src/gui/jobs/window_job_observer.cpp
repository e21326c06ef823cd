#include "gui/jobs/window_job_observer.h"

#include <QWidget>

#include "app/msg.h"
#include "app/strings.h"
#include "gui/app/desktop_services.h"
#include "gui/app/localizer.h"
#include "gui/controls/progress_bar.h"
#include "gui/jobs/job_thread.h"
#include "gui/jobs/progress_relay.h"
#include "gui/working/working_display.h"
#include "models/file_page_paths.h"

namespace sealwise::gui {

WindowJobObserver::WindowJobObserver(QWidget& window, DesktopServices& services, JobThread& thread,
                                     ProgressRelay& relay, RunKind kind)
    : window_(window), services_(services), thread_(thread), relay_(relay), rule_(kind) {}

void WindowJobObserver::RunStarted(int64_t items) {
    rule_.RunStarted(items);
    relay_.Run().Set(rule_.run());
    ShowLampsAndRunBar();
}

void WindowJobObserver::ItemProgress(int64_t done, int64_t total) {
    rule_.ItemProgress(done, total);
    relay_.Item().Set(rule_.item());
    ShowLampsAndRunBar();
}

void WindowJobObserver::ItemFinished(const ItemResult& result) {
    rule_.ItemFinished(result.number);
    relay_.Run().Set(rule_.run());
    ShowLampsAndRunBar();
}

void WindowJobObserver::RunFinished(JobOutcome outcome) {
    rule_.RunFinished(outcome == JobOutcome::kCompleted);
    relay_.Run().Set(rule_.run());
    ShowLampsAndRunBar();
}

void WindowJobObserver::ShowLampsAndRunBar() {
    relay_.SetLamps(rule_.lamps());
    if (rule_.runVisible() == runShown_) return;
    runShown_ = rule_.runVisible();
    // Posted rather than polled: a single-file run hides the bar and shows it again quickly.
    thread_.Post([this, visible = runShown_] {
        if (auto* display = window_.findChild<WorkingDisplay*>()) {
            display->RunProgress()->setVisible(visible);
        }
    });
}

void WindowJobObserver::ReportError(const std::string& /*item*/, const SealError& error) {
    ShowAndWait(MessageText(error), MessageIcon::Error);
}

void WindowJobObserver::ReportNotice(const std::string& /*item*/, const Message& notice) {
    ShowAndWait(MessageText(notice), MessageIcon::Information);
}

void WindowJobObserver::ShowAndWait(const std::string& message, MessageIcon icon) {
    const QString text = QString::fromStdString(message);
    thread_.Ask<bool>(
        [this, text, icon] {
            services_.ShowMessage(&window_, text, MessageButtons::Ok, icon, kProductName);
            return true;
        },
        true);
}

OverwriteAnswer WindowJobObserver::AskOverwrite(const std::string& path) {
    const QString question =
        QString::fromStdString(MessageText(Message{Msg::OverwriteQuestion, path}));
    const QString directory = QString::fromStdString(DirectoryWithSlash(path));
    return thread_.Ask<OverwriteAnswer>(
        [this, question, directory] {
            OverwriteAnswer answer;
            if (services_.ShowMessage(&window_, question, MessageButtons::YesNo,
                                      MessageIcon::Question, kProductName) == MessageAnswer::Yes) {
                answer.choice = OverwriteChoice::kOverwrite;
                return answer;
            }
            const QString chosen = services_.SaveFile(&window_, ResText(Msg::AllFilesFilter),
                                                      ResText(Msg::SaveContentTitle), directory);
            if (!chosen.isEmpty()) {
                answer.choice = OverwriteChoice::kRename;
                answer.newPath = chosen.toStdString();
            }
            return answer;
        },
        OverwriteAnswer{});
}

}  // namespace sealwise::gui
