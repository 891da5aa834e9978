#pragma once
// Threads that run the jobs handed to them, in any order; the caller waits for each job it needs.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace yk {

class WorkerPool {
public:
    class Job {
    public:
        virtual ~Job() = default;
        virtual void run() = 0;

    private:
        friend class WorkerPool;
        bool done_ = false; // under the pool's lock once handed to it
    };

    // As many threads as can be had, up to `threads`: none means the caller runs the jobs.
    explicit WorkerPool(unsigned threads) {
        try {
            while (threads_.size() < threads)
                threads_.emplace_back([this] { work(); });
        } catch (const std::system_error &) {
        }
    }
    ~WorkerPool() { // waits for the jobs at work; those not begun are dropped
        {
            std::lock_guard<std::mutex> l(m_);
            stop_ = true;
        }
        cv_.notify_all();
        for (std::thread &t : threads_)
            t.join();
    }
    WorkerPool(const WorkerPool &) = delete;
    WorkerPool &operator=(const WorkerPool &) = delete;
    unsigned size() const { return static_cast<unsigned>(threads_.size()); }

    void submit(const std::shared_ptr<Job> &job) {
        {
            std::lock_guard<std::mutex> l(m_);
            job->done_ = false;
            queue_.push_back(job);
        }
        cv_.notify_all();
    }
    void wait(const Job &job) {
        std::unique_lock<std::mutex> l(m_);
        done_.wait(l, [&job] { return job.done_; });
    }
    bool isDone(const Job &job) {
        std::lock_guard<std::mutex> l(m_);
        return job.done_;
    }
    // Runs `job` on the calling thread; it counts as done at once.
    static void runHere(Job &job) {
        job.run();
        job.done_ = true;
    }

private:
    void work() {
        std::unique_lock<std::mutex> l(m_);
        for (;;) {
            cv_.wait(l, [this] { return stop_ || !queue_.empty(); });
            if (stop_)
                return;
            std::shared_ptr<Job> job = queue_.front();
            queue_.pop_front();
            l.unlock();
            job->run();
            l.lock();
            job->done_ = true;
            done_.notify_all();
        }
    }

    std::mutex m_;
    std::condition_variable cv_, done_;
    std::deque<std::shared_ptr<Job>> queue_;
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

} // namespace yk
