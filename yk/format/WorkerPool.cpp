#include "format/WorkerPool.h"

#include <system_error>

namespace yk {

WorkerPool::WorkerPool(unsigned threads) {
    for (unsigned i = 0; i < threads; ++i) {
        try {
            threads_.emplace_back([this] { work(); });
        } catch (const std::system_error &) {
            break;
        }
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> l(m_);
        stop_ = true;
    }
    cv_.notify_all();
    for (std::thread &t : threads_)
        t.join();
}

void WorkerPool::submit(const std::shared_ptr<Job> &job) {
    {
        std::lock_guard<std::mutex> l(m_);
        job->done_ = false;
        queue_.push_back(job);
    }
    cv_.notify_all();
}

void WorkerPool::wait(const Job &job) {
    std::unique_lock<std::mutex> l(m_);
    done_.wait(l, [&job] { return job.done_; });
}

bool WorkerPool::isDone(const Job &job) {
    std::lock_guard<std::mutex> l(m_);
    return job.done_;
}

void WorkerPool::runHere(Job &job) {
    job.run();
    job.done_ = true;
}

void WorkerPool::work() {
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

} // namespace yk
