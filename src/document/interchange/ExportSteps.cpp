#include "document/interchange/ExportSteps.h"

ExportStep& ExportStepQueue::add(ExportStep::Kind kind)
{
    if (m_filling.size() == BatchSize)
        handOver(false);
    // Filled in where it lies: a step is never moved.
    if (m_filling.empty())
        m_filling.reserve(BatchSize);
    ExportStep& step = m_filling.emplace_back();
    step.kind = kind;
    return step;
}

void ExportStepQueue::finish()
{
    handOver(true);
}

void ExportStepQueue::handOver(bool last)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_waiting.size() < MostWaiting; });
    if (!m_filling.empty())
        m_waiting.push_back(std::exchange(m_filling, {}));
    m_finished = last;
    m_changed.notify_all();
}

std::vector<ExportStep> ExportStepQueue::take()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_waiting.empty() || m_finished; });
    if (m_waiting.empty())
        return {};
    std::vector<ExportStep> batch = std::move(m_waiting.front());
    m_waiting.pop_front();
    m_changed.notify_all();
    return batch;
}
