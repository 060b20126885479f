#include "document/Schema.h"

#include "document/DataDocument.h"

#include <cstring>

namespace Schema {

namespace {

bool named(const pugi::xml_node& node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

// The item after item among its siblings: the next record, then the first
// group once the records are done, then the next group.
pugi::xml_node nextSiblingInTreeOrder(const pugi::xml_node& item)
{
    if (isGroup(item))
        return item.next_sibling(GroupElement);
    const pugi::xml_node record = item.next_sibling(RecordElement);
    return record ? record : item.parent().child(GroupElement);
}

// The item after item in tree order without leaving root (null: the whole
// document), and depth adjusted to it. A loop, not a recursion: groups may
// nest as deep as the document allows.
pugi::xml_node stepInTreeOrder(const pugi::xml_node& item, const pugi::xml_node& root, int& depth)
{
    if (isGroup(item)) {
        if (const pugi::xml_node child = firstInTreeOrder(item)) {
            ++depth;
            return child;
        }
    }
    // No descendants left: the next sibling of the item or of the nearest
    // group above it that has one.
    for (pugi::xml_node node = item; node != root && (isRecord(node) || isGroup(node)); node = node.parent(), --depth) {
        if (const pugi::xml_node sibling = nextSiblingInTreeOrder(node))
            return sibling;
    }
    return {};
}

// A record's own name, its label's text; "" for a record named after its fields.
const char* ownNameText(const pugi::xml_node& record)
{
    const pugi::xml_node label = record.first_child();
    // Only a label whose content is text alone names the record itself.
    if (label.type() == pugi::node_element) {
        if (const char* text = DataDocument::onlyText(label))
            return text;
    }
    return "";
}

// The first maxLength characters of utf8 (all of it when maxLength is
// negative). A character takes at most 4 bytes and gives at least one UTF-16
// unit, so the first 4 bytes per unit hold them, whatever a sequence cut at
// the end becomes.
QString textUpTo(const char* utf8, qsizetype maxLength)
{
    if (maxLength < 0)
        return qText(utf8);
    const size_t bytes = strnlen(utf8, static_cast<size_t>(maxLength) * 4);
    return QString::fromUtf8(utf8, static_cast<qsizetype>(bytes)).left(maxLength);
}

} // namespace

const QStringList& groupTypeKeys()
{
    static const QStringList keys = {"AUTO", "BUSINESS", "FAMILY", "LEISURE", "NOTYPE", "OFFICE", "PRIVATE", "VIP"};
    return keys;
}

const QStringList& recordTypeKeys()
{
    static const QStringList keys = {"DEFAULT",
                                     "ADDRESS",
                                     "BANK ACCOUNT",
                                     "CALLING CARD",
                                     "CAR INFO",
                                     "CONTACT",
                                     "DRIVER'S LICENSE",
                                     "EMAIL ACCOUNT",
                                     "INSURANCE POLICY",
                                     "INTERNET PROVIDER",
                                     "LIBRARY CARD",
                                     "NOTE",
                                     "PASSPORT",
                                     "PASSWORD",
                                     "PAYMENT CARD",
                                     "SOCIAL SECURITY NUMBER",
                                     "SOFTWARE SERIAL NUMBER",
                                     "WEB SITE"};
    return keys;
}

int TypeImageIndex(const QString& key, bool isRecord)
{
    if (isRecord) {
        const qsizetype position = recordTypeKeys().indexOf(key);
        return FirstRecordIcon + (position < 0 ? 0 : static_cast<int>(position));
    }
    const qsizetype position = groupTypeKeys().indexOf(key);
    return position < 0 ? DefaultGroupIcon : static_cast<int>(position);
}

QString TypeKeyForIndex(int position, bool isRecord)
{
    const QStringList& keys = isRecord ? recordTypeKeys() : groupTypeKeys();
    return position >= 0 && position < keys.size() ? keys.at(position) : QString();
}

bool isGroup(const pugi::xml_node& node)
{
    return named(node, GroupElement);
}

bool isRecord(const pugi::xml_node& node)
{
    return named(node, RecordElement);
}

QString ownName(const pugi::xml_node& record)
{
    return qText(ownNameText(record));
}

namespace {

// A record's caption from its fields, read by nameAndText as a pair of the
// field's name and its text.
template <typename Fields, typename NameAndText>
CaptionParts captionFrom(const pugi::xml_node& record, const Fields& fields, NameAndText nameAndText)
{
    if (const char* name = ownNameText(record); *name != '\0')
        return {name, ""};

    const pugi::xml_node label = record.first_child();
    const char* firstName = label.attribute("link").value();
    const pugi::xml_attribute link2 = label.attribute("link2");
    const char* secondName = link2 ? link2.value() : "";
    const char* first = "";
    const char* second = "";
    for (const auto& field : fields) {
        const auto [name, node] = nameAndText(field);
        if (std::strcmp(name, firstName) == 0)
            first = node.text().get();
        if (std::strcmp(name, secondName) == 0)
            second = node.text().get();
    }
    if (*first != '\0')
        return {first, second};
    if (*second != '\0')
        return {second, ""};
    return {record.attribute("parent_type").value(), ""};
}

} // namespace

CaptionParts recordCaptionParts(const pugi::xml_node& record)
{
    return captionFrom(record, record.children(FieldElement),
                       [](const pugi::xml_node& field) { return std::pair(field.attribute("name").value(), field); });
}

StoredFields storedFields(const pugi::xml_node& record)
{
    StoredFields fields;
    for (const pugi::xml_node& node : record.children(FieldElement)) {
        // The first of a name counts, as for pugi's attribute().
        const char* name = nullptr;
        const char* type = nullptr;
        for (pugi::xml_attribute attribute = node.first_attribute(); attribute;
             attribute = attribute.next_attribute()) {
            const char* attributeName = attribute.name();
            if (!name && std::strcmp(attributeName, "name") == 0)
                name = attribute.value();
            else if (!type && std::strcmp(attributeName, "basic_type") == 0)
                type = attribute.value();
        }
        fields.append({node, name ? name : "", type ? type : ""});
    }
    return fields;
}

CaptionParts recordCaptionParts(const pugi::xml_node& record, const StoredFields& fields)
{
    return captionFrom(record, fields, [](const StoredField& field) { return std::pair(field.name, field.node); });
}

QString RecordCaption(const pugi::xml_node& record, qsizetype maxLength)
{
    const CaptionParts parts = recordCaptionParts(record);
    QString caption = textUpTo(parts.first, maxLength);
    if (*parts.second != '\0')
        caption += QLatin1Char(' ') + textUpTo(parts.second, maxLength);
    return maxLength < 0 ? caption : caption.left(maxLength);
}

QString itemCaption(const pugi::xml_node& item, qsizetype maxLength)
{
    return isRecord(item) ? RecordCaption(item, maxLength) : textUpTo(item.attribute("name").value(), maxLength);
}

std::vector<pugi::xml_node> treeChildren(const pugi::xml_node& element)
{
    std::vector<pugi::xml_node> items;
    for (const pugi::xml_node& child : element.children(RecordElement))
        items.push_back(child);
    for (const pugi::xml_node& child : element.children(GroupElement))
        items.push_back(child);
    return items;
}

void walkTree(const pugi::xml_node& root, const std::function<bool(const pugi::xml_node&, int depth)>& visit)
{
    int depth = 0;
    for (pugi::xml_node item = firstInTreeOrder(root); item && visit(item, depth);
         item = stepInTreeOrder(item, root, depth)) { }
}

std::vector<pugi::xml_node> recordFields(const pugi::xml_node& record)
{
    std::vector<pugi::xml_node> fields;
    const pugi::xml_node label = record.first_child();
    if (!label)
        return fields;
    for (pugi::xml_node node = label.next_sibling(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element)
            fields.push_back(node);
    }
    return fields;
}

pugi::xml_node firstInTreeOrder(const pugi::xml_node& root)
{
    const pugi::xml_node record = root.child(RecordElement);
    return record ? record : root.child(GroupElement);
}

pugi::xml_node nextInTreeOrder(const pugi::xml_node& item)
{
    int depth = 0;
    return stepInTreeOrder(item, {}, depth);
}

} // namespace Schema
