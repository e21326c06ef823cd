#pragma once
// Runs one job at a time on a thread of its own, so that the window stays responsive, and
// carries the job's reports and questions over to the window's thread.
#include <QObject>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace sealwise::gui {

class JobThread : public QObject {
    Q_OBJECT

  public:
    explicit JobThread(QObject* parent = nullptr) : QObject(parent) {}
    ~JobThread() override { Stop({}); }
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;

    bool Running() const { return running_; }

    // The stop request of the next job, a fresh one at every call: give it to the job when
    // making it, before Start.
    std::stop_token NewStopToken();
    // Asks the running job to stop; it notices at its next check.
    void RequestStop() noexcept { stop_.request_stop(); }

    // Runs `work` on a new thread; afterwards `finished` runs on this object's thread (unless
    // the object was stopped first). `work` must not throw.
    void Start(std::function<void()> work, std::function<void()> finished);

    // For the owner's destruction: asks the job to stop (RequestStop, then `cancel`), answers
    // every further question with its fallback and waits for the thread. `finished` does not
    // run.
    void Stop(const std::function<void()>& cancel);

    // From the job's thread: runs `task` on this object's thread without waiting.
    void Post(std::function<void()> task);

    // From the job's thread: runs `question` on this object's thread and waits for its answer;
    // `fallback` when the object is being stopped.
    template <typename T>
    T Ask(std::function<T()> question, T fallback);

  private:
    std::thread thread_;
    std::stop_source stop_;
    std::atomic<bool> stopping_{false};
    bool running_ = false;
};

template <typename T>
T JobThread::Ask(std::function<T()> question, T fallback) {
    struct Pending {
        std::mutex mutex;
        std::condition_variable answered;
        std::optional<T> answer;
    };
    auto pending = std::make_shared<Pending>();
    Post([pending, question = std::move(question), fallback] {
        T answer = fallback;
        try {
            answer = question();
        } catch (...) {
            // a failing dialog counts as the cautious answer
        }
        std::lock_guard lock(pending->mutex);
        pending->answer = std::move(answer);
        pending->answered.notify_all();
    });
    std::unique_lock lock(pending->mutex);
    // Waits in slices so that a stop of the owner, whose thread no longer answers, is noticed.
    while (!pending->answer) {
        if (stopping_) return fallback;
        pending->answered.wait_for(lock, std::chrono::milliseconds(20));
    }
    return std::move(*pending->answer);
}

}  // namespace sealwise::gui
