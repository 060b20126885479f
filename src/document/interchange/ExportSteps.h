#pragma once

#include "document/interchange/DocumentEntry.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

// What an export's walk meets, in order: a group begun, a record made an
// entry, the group ended.
struct ExportStep {
    enum class Kind { BeginGroup, Entry, EndGroup };

    Kind kind;
    QString groupName;
    DocumentEntry entry;
};

// Steps passed from the thread that walks a document to the one that writes
// them, in batches, in order. The walking side waits while a few batches
// wait to be written, so an export holds little outside its document.
class ExportStepQueue {
public:
    static constexpr size_t BatchSize = 256;
    // Batches that may wait; the walking side waits for room beyond them.
    static constexpr size_t MostWaiting = 4;

    // On the walking thread: a new step of kind, to be filled in before the next.
    ExportStep& add(ExportStep::Kind kind);
    // The last steps; after them take gives an empty batch.
    void finish();
    // On the writing thread: the next steps, waiting for them; empty at the end.
    std::vector<ExportStep> take();

private:
    void handOver(bool last);

    std::vector<ExportStep> m_filling;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<ExportStep>> m_waiting;
    bool m_finished = false;
};
