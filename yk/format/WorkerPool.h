#pragma once
// Threads that run the jobs handed to them, in any order; the caller waits for each job it needs.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
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
    explicit WorkerPool(unsigned threads);
    ~WorkerPool(); // waits for the jobs at work; those not begun are dropped
    WorkerPool(const WorkerPool &) = delete;
    WorkerPool &operator=(const WorkerPool &) = delete;
    unsigned size() const { return static_cast<unsigned>(threads_.size()); }

    void submit(const std::shared_ptr<Job> &job);
    void wait(const Job &job);
    bool isDone(const Job &job);
    // Runs `job` on the calling thread; it counts as done at once.
    static void runHere(Job &job);

private:
    void work();

    std::mutex m_;
    std::condition_variable cv_, done_;
    std::deque<std::shared_ptr<Job>> queue_;
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

} // namespace yk
