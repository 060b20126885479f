#include "document/interchange/EntryRelay.h"

EntrySink::GroupId EntryRelay::addGroup(GroupId parent, const QString& name)
{
    const int level = m_levels.at(size_t(parent));
    if (!GroupText::groupFitsBelow(level))
        return NoGroup;
    m_steps.add() = {parent, true, name, {}};
    m_levels.push_back(level + 1);
    return GroupId(m_levels.size() - 1);
}

bool EntryRelay::addEntry(GroupId group, ForeignEntry& entry)
{
    const int level = m_levels.at(size_t(group));
    if (!GroupText::entryFitsIn(level)) {
        wipe(entry);
        return false;
    }
    Step& step = m_steps.add();
    step.group = group;
    step.entry = std::move(entry);
    return true;
}

void EntryRelay::finish()
{
    m_steps.finish();
}

bool EntryRelay::drainInto(EntrySink& target)
{
    // target's group for each of ours, which it may number otherwise.
    std::vector<GroupId> targetGroups{Top};
    bool taken = true;
    for (std::vector<Step> batch = m_steps.take(); !batch.empty(); batch = m_steps.take()) {
        for (Step& step : batch) {
            // After a refusal nothing more is added, as the reader stops there.
            if (!taken) {
                wipe(step.entry);
                continue;
            }
            if (step.isGroup) {
                targetGroups.push_back(target.addGroup(targetGroups.at(size_t(step.group)), step.name));
                taken = targetGroups.back() != NoGroup;
            } else {
                taken = target.addEntry(targetGroups.at(size_t(step.group)), step.entry);
            }
        }
        m_steps.giveBack(std::move(batch));
    }
    return taken;
}
