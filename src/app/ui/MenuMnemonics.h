#pragma once

#include <QList>
#include <QSet>

class QAction;
class QMenu;
class QMenuBar;

// Gives menu entries their keyboard mnemonics, one group of letters for the
// titles of a menu bar and one per menu, so that no two entries that show
// together share a letter. An action shown in several menus keeps the letter
// it got in the first of them and holds it in the others. Meant for texts
// just set from the caption table, which carry no mnemonic yet.
class MenuMnemonics {
public:
    void markTitles(const QMenuBar& bar);
    void markItems(const QMenu& menu);

private:
    void markGroup(const QList<QAction*>& entries);

    QSet<const QAction*> m_marked;
};
