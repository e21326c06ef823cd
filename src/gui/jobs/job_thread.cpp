#include "gui/jobs/job_thread.h"

namespace sealwise::gui {

void JobThread::Start(std::function<void()> work, std::function<void()> finished) {
    if (thread_.joinable()) thread_.join();  // the previous job has already ended
    thread_ = std::thread([this, work = std::move(work), finished = std::move(finished)] {
        work();
        Post([this, finished] {
            if (thread_.joinable()) thread_.join();
            running_ = false;
            finished();
        });
    });
    running_ = true;  // only once the thread exists: a failed start leaves nothing running
}

std::stop_token JobThread::NewStopToken() {
    stop_ = std::stop_source();
    return stop_.get_token();
}

void JobThread::Stop(const std::function<void()>& cancel) {
    stopping_ = true;
    stop_.request_stop();
    if (running_ && cancel) cancel();
    if (thread_.joinable()) thread_.join();
    running_ = false;
}

void JobThread::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(
        this,
        [this, task = std::move(task)] {
            if (!stopping_) task();
        },
        Qt::QueuedConnection);
}

}  // namespace sealwise::gui
