#include "search/TreeFilter.h"

#include <algorithm>

void TreeFilter::apply(const pugi::xml_node& root, const QString& keyword)
{
    if (keyword.isEmpty()) {
        clear();
        return;
    }
    if (!m_texts || m_outdated) {
        m_texts = std::make_unique<FoldedItemTexts>(root);
        m_outdated = false;
        m_foldedKeyword.clear();
    }
    findMatches(FoldedItemTexts::foldKeyword(keyword));
    keepMatchesWithTheirGroups();
    m_keyword = keyword;
}

void TreeFilter::clear()
{
    m_keyword.clear();
    m_foldedKeyword.clear();
    m_texts.reset();
    m_outdated = false;
    m_matches = {};
    m_kept = {};
    m_firstMatch = {};
    m_keptRecords = 0;
}

bool TreeFilter::hides(const pugi::xml_node& item) const
{
    if (!isActive())
        return false;
    const int position = m_texts->position(item);
    return position >= 0 && !m_kept[static_cast<std::size_t>(position)];
}

void TreeFilter::findMatches(const QByteArray& folded)
{
    // Every text that holds the longer keyword holds the shorter one, so only
    // what the shorter one matched can match.
    const bool narrowing = !m_foldedKeyword.isEmpty() && folded.contains(m_foldedKeyword);
    const std::string_view wanted(folded.constData(), static_cast<std::size_t>(folded.size()));
    if (narrowing) {
        const auto unmatched = [&](std::uint32_t item) { return !m_texts->holds(item, wanted); };
        m_matches.erase(std::remove_if(m_matches.begin(), m_matches.end(), unmatched), m_matches.end());
    } else {
        m_texts->findAll(wanted, m_matches);
    }
    m_foldedKeyword = folded;
    const auto& items = m_texts->items();
    m_firstMatch = m_matches.empty() ? pugi::xml_node() : items[m_matches.front()].element;
}

// A kept item keeps the groups above it, a matching group everything below it.
void TreeFilter::keepMatchesWithTheirGroups()
{
    const auto& items = m_texts->items();
    m_kept.assign(items.size(), 0);
    m_path.clear();      // the items above the current one
    m_coveredAt.clear(); // per depth: that item or one above it matched
    m_keptRecords = 0;
    auto nextMatch = m_matches.begin();
    for (std::uint32_t position = 0; position < items.size(); ++position) {
        const FoldedItemTexts::Item& item = items[position];
        const auto depth = static_cast<std::size_t>(item.depth);
        m_path.resize(depth);
        m_coveredAt.resize(depth);
        const bool matched = nextMatch != m_matches.end() && *nextMatch == position;
        if (matched)
            ++nextMatch;
        const bool covered = matched || (depth > 0 && m_coveredAt.back());
        if (covered) {
            m_kept[position] = 1;
            // Once a group is kept, so is every group above it.
            for (auto above = m_path.rbegin(); above != m_path.rend() && !m_kept[*above]; ++above)
                m_kept[*above] = 1;
            if (item.record)
                ++m_keptRecords;
        }
        m_path.push_back(position);
        m_coveredAt.push_back(covered);
    }
}
