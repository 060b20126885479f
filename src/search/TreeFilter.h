#pragma once

#include "search/FoldedItemTexts.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <cstdint>
#include <memory>
#include <vector>

// Which groups and records a tree narrowed to a keyword leaves out. An item
// stays when it matches as Find matches with field names on (its caption,
// its fields' names and values, secret ones included), when a group above it
// matches, or, for a group, when anything in it stays. Items added after
// filtering are unknown here and so stay too. The document is only read.
class TreeFilter {
public:
    // Filters the items under root by keyword; an empty keyword ends the
    // filter. The items' texts are folded once and kept for the following
    // keywords, and a keyword that extends the last one only looks again at
    // what that one matched, unless the document changed in between.
    void apply(const pugi::xml_node& root, const QString& keyword);
    // The document was edited: the next keyword folds every item's texts
    // again. Until then the items left out stay out.
    void documentChanged() { m_outdated = true; }
    void clear();

    bool isActive() const { return !m_keyword.isEmpty(); }
    const QString& keyword() const { return m_keyword; }
    bool hides(const pugi::xml_node& item) const;
    // The first item in tree order that matched itself; null without one.
    pugi::xml_node firstMatch() const { return m_firstMatch; }
    // How many records the filter leaves.
    int keptRecords() const { return m_keptRecords; }

private:
    void findMatches(const QByteArray& folded);
    void keepMatchesWithTheirGroups();

    QString m_keyword;
    QByteArray m_foldedKeyword;
    std::unique_ptr<FoldedItemTexts> m_texts;
    bool m_outdated = false;
    // Positions in m_texts: the items that matched themselves, ascending,
    // and per item whether it stays.
    std::vector<std::uint32_t> m_matches;
    std::vector<char> m_kept;
    std::vector<std::uint32_t> m_path;
    std::vector<char> m_coveredAt;
    pugi::xml_node m_firstMatch;
    int m_keptRecords = 0;
};
