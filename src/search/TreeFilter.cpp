#include "search/TreeFilter.h"

#include "document/Schema.h"

#include <vector>

void TreeFilter::apply(const pugi::xml_node& root, const QString& keyword)
{
    if (keyword.isEmpty()) {
        clear();
        return;
    }
    const bool narrowing = extendsLastKeyword(keyword);
    const ItemMatcher matcher({keyword, false, true});
    struct Item {
        const void* id;
        bool kept;
        bool record;
    };
    // Every item in tree order with whether it stays; a kept item keeps the
    // groups above it, a matching group everything below it.
    std::vector<Item> items;
    std::vector<size_t> path;          // the items above the current one
    std::vector<bool> matchedAbove;    // per depth: that item or one above it matched
    m_firstMatch = {};
    Schema::walkTree(root, [&](const pugi::xml_node& item, int depth) {
        path.resize(depth);
        matchedAbove.resize(depth);
        const bool hiddenBefore = narrowing && hides(item);
        const bool matched = !hiddenBefore && matches(matcher, item);
        if (matched && !m_firstMatch)
            m_firstMatch = item;
        const bool covered = matched || (depth > 0 && matchedAbove.back());
        if (covered) {
            for (size_t above : path)
                items[above].kept = true;
        }
        path.push_back(items.size());
        matchedAbove.push_back(covered);
        items.push_back({item.internal_object(), covered, Schema::isRecord(item)});
        return true;
    });
    m_hidden.clear();
    m_keptRecords = 0;
    for (const Item& item : items) {
        if (!item.kept)
            m_hidden.insert(item.id);
        else if (item.record)
            ++m_keptRecords;
    }
    m_keyword = keyword;
    m_narrowable = true;
}

void TreeFilter::clear()
{
    m_keyword.clear();
    m_narrowable = false;
    m_hidden.clear();
    m_firstMatch = {};
    m_keptRecords = 0;
}

bool TreeFilter::hides(const pugi::xml_node& item) const
{
    return isActive() && m_hidden.count(item.internal_object()) > 0;
}

// Every text that holds the longer keyword holds the shorter one, so what
// the shorter one left out stays out.
bool TreeFilter::extendsLastKeyword(const QString& keyword) const
{
    return m_narrowable && isActive() && keyword.toUpper().contains(m_keyword.toUpper());
}

bool TreeFilter::matches(const ItemMatcher& matcher, const pugi::xml_node& item) const
{
    if (matcher.matchCaption(Schema::itemCaption(item)))
        return true;
    if (!Schema::isRecord(item))
        return false;
    // The fields follow the label.
    for (pugi::xml_node field = item.first_child().next_sibling(); field; field = field.next_sibling()) {
        if (field.type() == pugi::node_element && matcher.matchField(field))
            return true;
    }
    return false;
}
