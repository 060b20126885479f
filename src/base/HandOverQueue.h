#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

// Steps passed from one thread to another in batches, in order. The giving
// side waits while a few batches wait to be taken, so that little is held
// between the two.
template <typename Step>
class HandOverQueue {
public:
    static constexpr size_t BatchSize = 256;
    // Batches that may wait; the giving side waits for room beyond them.
    static constexpr size_t MostWaiting = 4;

    // On the giving thread: a new step, filled in where it lies before the next.
    Step& add()
    {
        if (m_filling.size() == BatchSize)
            handOver(false);
        if (m_filling.empty())
            m_filling.reserve(BatchSize);
        return m_filling.emplace_back();
    }
    // The last steps; after them take gives an empty batch.
    void finish() { handOver(true); }
    // On the taking thread: the next steps, waiting for them; empty at the end.
    std::vector<Step> take()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_waiting.empty() || m_finished; });
        if (m_waiting.empty())
            return {};
        std::vector<Step> batch = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_changed.notify_all();
        return batch;
    }

    // On the taking thread: a batch it is done with, let go on the giving
    // thread, which made what the steps hold. Memory freed by the thread
    // that allocated it never waits on the other thread's allocations.
    void giveBack(std::vector<Step> batch)
    {
        const std::lock_guard lock(m_mutex);
        m_givenBack.push_back(std::move(batch));
    }

private:
    void handOver(bool last)
    {
        // Let go when this returns, outside the lock the taking thread needs.
        std::deque<std::vector<Step>> givenBack;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_waiting.size() < MostWaiting; });
            if (!m_filling.empty())
                m_waiting.push_back(std::exchange(m_filling, {}));
            m_finished = last;
            givenBack.swap(m_givenBack);
            m_changed.notify_all();
        }
    }

    std::vector<Step> m_filling;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<Step>> m_waiting;
    std::deque<std::vector<Step>> m_givenBack;
    bool m_finished = false;
};
