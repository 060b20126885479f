#include "app/ui/MenuMnemonics.h"

#include "config/MnemonicGroup.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

void MenuMnemonics::markTitles(const QMenuBar& bar)
{
    markGroup(bar.actions());
}

void MenuMnemonics::markItems(const QMenu& menu)
{
    markGroup(menu.actions());
}

void MenuMnemonics::markGroup(const QList<QAction*>& entries)
{
    MnemonicGroup group;
    for (const QAction* entry : entries) {
        if (m_marked.contains(entry))
            group.reserve(entry->text());
    }
    for (QAction* entry : entries) {
        if (entry->isSeparator() || m_marked.contains(entry))
            continue;
        entry->setText(group.mark(entry->text()));
        m_marked.insert(entry);
    }
}
