#pragma once

#include "FuzzCheck.h"

#include "document/interchange/ForeignEntries.h"

// Takes what a reader gives, keeping nothing, and checks that every group
// and entry goes into a group the reader was given.
class CheckingSink final : public EntrySink {
public:
    GroupId addGroup(GroupId parent, const QString&) override
    {
        require(parent >= Top && parent <= m_lastGroup, "a group goes into one that exists");
        return ++m_lastGroup;
    }

    bool addEntry(GroupId group, ForeignEntry&) override
    {
        require(group >= Top && group <= m_lastGroup, "an entry goes into a group that exists");
        return true;
    }

private:
    GroupId m_lastGroup = Top;
};
