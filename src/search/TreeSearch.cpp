#include "search/TreeSearch.h"

#include "document/Schema.h"

namespace {

pugi::xml_node nextElement(pugi::xml_node node)
{
    do
        node = node.next_sibling();
    while (node && node.type() != pugi::node_element);
    return node;
}

// The field at a position among a record's children after the label, from 1;
// null past the last one.
pugi::xml_node fieldAt(const pugi::xml_node& record, int position)
{
    pugi::xml_node field = nextElement(record.first_child());
    for (int current = 1; field && current < position; ++current)
        field = nextElement(field);
    return field;
}

} // namespace

bool TreeSearch::SearchFromTop(const pugi::xml_node& dataRoot, const SearchOptions& options)
{
    const pugi::xml_node first = Schema::firstInTreeOrder(dataRoot);
    if (!first)
        return false;
    m_remembered = options;
    m_position.exhausted = false;
    m_position.captionDone = false;
    return searchItemsFrom(ItemMatcher(m_remembered), first);
}

bool TreeSearch::SearchBelow(const pugi::xml_node& dataRoot)
{
    if (!Schema::firstInTreeOrder(dataRoot))
        return false;
    pugi::xml_node item = m_position.hitNode;
    if (m_position.exhausted || !item)
        return nothingFound();

    const ItemMatcher matcher(m_remembered);
    if (continuesInHitRecord()) {
        if (searchFields(matcher, item, m_position.fieldCounter + 1))
            return true;
        item = Schema::nextInTreeOrder(item);
        m_position.captionDone = false;
    }
    return searchItemsFrom(matcher, item);
}

void TreeSearch::itemSelected()
{
    m_position.captionDone = true;
    m_position.exhausted = false;
}

void TreeSearch::clearExhausted()
{
    m_position.exhausted = false;
}

bool TreeSearch::searchItemsFrom(const ItemMatcher& matcher, pugi::xml_node item)
{
    for (; item; item = Schema::nextInTreeOrder(item), m_position.captionDone = false) {
        m_position.hitField = pugi::xml_node();
        m_position.fieldCounter = -1;
        if (!m_position.captionDone && matcher.matchCaption(Schema::itemCaption(item))) {
            m_position.hitNode = item;
            m_position.captionDone = true;
            return true;
        }
        if (Schema::isRecord(item) && searchFields(matcher, item, 1))
            return true;
    }
    return nothingFound();
}

bool TreeSearch::searchFields(const ItemMatcher& matcher, const pugi::xml_node& record, int firstCounter)
{
    int counter = firstCounter;
    for (pugi::xml_node field = fieldAt(record, firstCounter); field; field = nextElement(field), ++counter) {
        if (matcher.matchField(field)) {
            m_position.hitNode = record;
            m_position.hitField = field;
            m_position.fieldCounter = counter;
            m_fieldHitRecord = record;
            return true;
        }
    }
    return false;
}

// Only in the record of the field hit: after the user chose another item, the
// earlier field's place means nothing there, so that item's fields are searched
// from the first. The field is found again by its place in the record rather
// than through the remembered element, which a deleted field leaves dangling.
bool TreeSearch::continuesInHitRecord() const
{
    return m_position.hitField && m_position.fieldCounter >= 1 && m_fieldHitRecord == m_position.hitNode;
}

bool TreeSearch::nothingFound()
{
    m_position.exhausted = true;
    m_position.hitField = pugi::xml_node();
    m_position.fieldCounter = -1;
    return false;
}
