#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

// Hands batches of work from the thread that fills them to one worker thread
// that takes them in order, so that parsing a large file and checking what
// was parsed run side by side. At most `depth` batches wait; spent batches
// come back to be filled again, keeping what they had allocated.
//
// Batch needs clear() (called before a batch is filled again). The work
// returns false to stop; the filler sees that through stopped() and the
// worker takes no further batch.
template <typename Batch>
class BatchPipeline {
public:
    explicit BatchPipeline(std::function<bool(Batch&)> work, std::size_t depth = 4)
        : work_(std::move(work)), depth_(depth), worker_([this] { run(); })
    {
    }
    // Without finish(), batches still waiting are dropped.
    ~BatchPipeline()
    {
        if (!worker_.joinable()) return;
        {
            std::lock_guard lock(mutex_);
            waiting_.clear();
            closed_ = true;
        }
        workArrived_.notify_one();
        worker_.join();
    }
    BatchPipeline(const BatchPipeline&) = delete;
    BatchPipeline& operator=(const BatchPipeline&) = delete;

    // The batch being filled.
    Batch& current() { return current_; }

    // Hands the current batch over and starts a new one; waits while the
    // worker is `depth` batches behind.
    void submit()
    {
        std::unique_lock lock(mutex_);
        roomLeft_.wait(lock, [this] { return waiting_.size() < depth_ || stopped_; });
        if (stopped_) {
            current_.clear();
            return;
        }
        waiting_.push_back(std::move(current_));
        if (spent_.empty()) {
            current_ = Batch{};
        } else {
            current_ = std::move(spent_.front());
            spent_.pop_front();
        }
        current_.clear();
        workArrived_.notify_one();
    }

    // True once the work has returned false or thrown.
    bool stopped() const
    {
        std::lock_guard lock(mutex_);
        return stopped_;
    }

    // Hands the current batch over, waits until the worker has taken every
    // batch, and rethrows what the work threw.
    void finish()
    {
        if (!worker_.joinable()) return;
        submit();
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
        }
        workArrived_.notify_one();
        worker_.join();
        if (thrown_) std::rethrow_exception(std::exchange(thrown_, nullptr));
    }

private:
    void run()
    {
        for (;;) {
            Batch batch;
            {
                std::unique_lock lock(mutex_);
                workArrived_.wait(lock, [this] { return !waiting_.empty() || closed_; });
                if (waiting_.empty()) return;
                batch = std::move(waiting_.front());
                waiting_.pop_front();
            }
            bool goOn = false;
            try {
                goOn = work_(batch);
            } catch (...) {
                thrown_ = std::current_exception();
            }
            std::lock_guard lock(mutex_);
            spent_.push_back(std::move(batch));
            if (!goOn) {
                stopped_ = true;
                waiting_.clear();
            }
            roomLeft_.notify_one();
            if (stopped_) return;
        }
    }

    std::function<bool(Batch&)> work_;
    std::size_t depth_;
    Batch current_;
    mutable std::mutex mutex_;
    std::condition_variable workArrived_;
    std::condition_variable roomLeft_;
    std::deque<Batch> waiting_;
    std::deque<Batch> spent_;
    bool closed_ = false;
    bool stopped_ = false;
    std::exception_ptr thrown_;
    std::thread worker_; // last: starts once everything above is ready
};
