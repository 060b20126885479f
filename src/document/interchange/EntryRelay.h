#pragma once

#include "base/HandOverQueue.h"
#include "document/interchange/ForeignEntries.h"
#include "document/interchange/GroupText.h"

#include <QString>

#include <vector>

// Where a reader on a thread of its own puts what it reads: everything
// passes, in order, to the sink that another thread drains it into. What
// that sink would refuse (groups and entries nested too deep for a
// document) is refused here at once, so the reader stops where it would.
class EntryRelay final : public EntrySink {
public:
    GroupId addGroup(GroupId parent, const QString& name) override;
    bool addEntry(GroupId group, ForeignEntry& entry) override;
    // On the reading thread, once it is done.
    void finish();
    // On another thread, until the reading is finished: gives target all
    // that was read, in order. False when target refused any of it.
    bool drainInto(EntrySink& target);

private:
    struct Step {
        // A group named name in group, or entry in group.
        GroupId group = Top;
        bool isGroup = false;
        QString name;
        ForeignEntry entry;
    };

    HandOverQueue<Step> m_steps;
    // By group: how deep it lies.
    std::vector<int> m_levels{GroupText::TopLevel};
};
