#pragma once

#include "search/ItemMatcher.h"

#include <QString>

#include <pugixml.hpp>

#include <unordered_set>

// Which groups and records a tree narrowed to a keyword leaves out. An item
// stays when it matches as Find matches with field names on (its caption,
// its fields' names and values, secret ones included), when a group above it
// matches, or, for a group, when anything in it stays. Items added after
// filtering are unknown here and so stay too. The document is only read.
class TreeFilter {
public:
    // Filters the items under root by keyword; an empty keyword ends the
    // filter. A keyword that extends the last one only looks again at what
    // that one left, unless the document changed in between.
    void apply(const pugi::xml_node& root, const QString& keyword);
    // The document was edited: the next keyword looks at every item again.
    void documentChanged() { m_narrowable = false; }
    void clear();

    bool isActive() const { return !m_keyword.isEmpty(); }
    const QString& keyword() const { return m_keyword; }
    bool hides(const pugi::xml_node& item) const;
    // The first item in tree order that matched itself; null without one.
    pugi::xml_node firstMatch() const { return m_firstMatch; }
    // How many records the filter leaves.
    int keptRecords() const { return m_keptRecords; }

private:
    bool extendsLastKeyword(const QString& keyword) const;
    bool matches(const ItemMatcher& matcher, const pugi::xml_node& item) const;

    QString m_keyword;
    bool m_narrowable = false;
    std::unordered_set<const void*> m_hidden;
    pugi::xml_node m_firstMatch;
    int m_keptRecords = 0;
};
