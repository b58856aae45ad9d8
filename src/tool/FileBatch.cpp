#include "FileBatch.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace lumark::tool {

namespace {

// Beyond a few threads the disk and the memory bus set the pace, not the cores.
constexpr unsigned MostThreads = 8;

class Batch {
  public:
    Batch(std::size_t count, const std::function<FileReport(std::size_t)>& work)
        : work_(work), reports_(count), failures_(count) {}

    // Takes the next file until none is left.
    void Work() {
        for (std::size_t i = next_++; i < reports_.size(); i = next_++) {
            std::optional<FileReport> report;
            std::exception_ptr failure;
            try {
                report = work_(i);
            } catch (...) {
                failure = std::current_exception();
            }
            const std::lock_guard<std::mutex> lock(mutex_);
            reports_[i] = std::move(report);
            failures_[i] = failure;
            done_.notify_all();
        }
    }

    // Waits for file i; rethrows what its work threw.
    FileReport Take(std::size_t i) {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [&] { return reports_[i].has_value() || failures_[i]; });
        if (failures_[i]) {
            std::rethrow_exception(failures_[i]);
        }
        FileReport report = std::move(*reports_[i]);
        reports_[i].reset();
        return report;
    }

    // Lets the threads run out of files, when the printing stopped early.
    void Abandon() { next_ = reports_.size(); }

  private:
    const std::function<FileReport(std::size_t)>& work_;
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;
    std::condition_variable done_;
    std::vector<std::optional<FileReport>> reports_;
    std::vector<std::exception_ptr> failures_;
};

}  // namespace

void ForEachFileInOrder(std::size_t count, const std::function<FileReport(std::size_t)>& work,
                        const std::function<void(FileReport&)>& print) {
    const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), MostThreads));
    const auto threads = static_cast<unsigned>(std::min<std::size_t>(cores, count));
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            FileReport report = work(i);
            print(report);
        }
        return;
    }
    Batch batch(count, work);
    std::vector<std::thread> workers;
    workers.reserve(threads);
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([&batch] { batch.Work(); });
    }
    std::exception_ptr failure;
    try {
        for (std::size_t i = 0; i < count; ++i) {
            FileReport report = batch.Take(i);
            print(report);
        }
    } catch (...) {
        failure = std::current_exception();
        batch.Abandon();
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void PrintReport(const FileReport& report, std::ostream& out, std::ostream& err) {
    out << report.out;
    if (!report.err.empty()) {
        out.flush();
        err << report.err;
        err.flush();
    }
}

}  // namespace lumark::tool
