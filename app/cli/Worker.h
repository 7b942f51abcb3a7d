#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace qv::app::cli {

/// One thread that runs jobs in turn for as long as it lives. What a job leaves behind on its
/// thread stays for the next one: Qt keeps fonts loaded per thread, so the pictures of a batch
/// load them once, not once per file.
class Worker {
  public:
    Worker();
    ~Worker();
    Worker(const Worker &) = delete;
    Worker &operator=(const Worker &) = delete;

    /// Runs job on the worker's thread after those given before it; its result.
    [[nodiscard]] std::future<bool> run(std::function<bool()> job);

  private:
    void loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<bool()>> jobs_;
    bool ending_ = false;
    std::thread thread_;
};

} // namespace qv::app::cli
