#include "app/cli/Worker.h"

namespace qv::app::cli {

Worker::Worker() : thread_([this] { loop(); }) {}

Worker::~Worker() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

std::future<bool> Worker::run(std::function<bool()> job) {
    std::packaged_task<bool()> task(std::move(job));
    std::future<bool> result = task.get_future();
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(task));
    }
    wake_.notify_one();
    return result;
}

void Worker::loop() {
    for (;;) {
        std::packaged_task<bool()> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
            if (jobs_.empty())
                return;
            task = std::move(jobs_.front());
            jobs_.pop_front();
        }
        task();
    }
}

} // namespace qv::app::cli
