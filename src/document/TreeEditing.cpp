#include "document/TreeEditing.h"

#include "document/DataDocument.h"
#include "document/FieldFormats.h"
#include "document/Schema.h"

#include <cstring>
#include <functional>

namespace TreeEditing {

namespace {

pugi::xml_node dataElement(const pugi::xml_node& node)
{
    return node.root().child(Schema::DataElement);
}

bool isTopLevel(const pugi::xml_node& node)
{
    return node && node == dataElement(node);
}

bool canHoldItems(const pugi::xml_node& node)
{
    return Schema::isGroup(node) || isTopLevel(node);
}

bool isItem(const pugi::xml_node& node)
{
    return Schema::isGroup(node) || Schema::isRecord(node);
}

// Whether levels of elements (1: one without children) fit under parent: an
// edit never makes the document deeper than a loaded one may be, so every
// file the program writes opens again.
bool fitsUnder(const pugi::xml_node& parent, int levels)
{
    return DataDocument::levelOf(parent) + levels <= DataDocument::MaxNesting;
}

// Appends an element and lets fill complete it. When any step of fill fails
// the element is taken out again, so the parent is exactly as before.
pugi::xml_node appendWhole(pugi::xml_node parent, const char* name, const std::function<bool(pugi::xml_node)>& fill)
{
    pugi::xml_node element = parent.append_child(name);
    if (!element)
        return {};
    if (!fill(element)) {
        parent.remove_child(element);
        return {};
    }
    return element;
}

bool addAttribute(pugi::xml_node element, const char* name, const char* utf8Value)
{
    return element.append_attribute(name).set_value(utf8Value);
}

bool addAttribute(pugi::xml_node element, const char* name, const QString& value)
{
    return addAttribute(element, name, value.toUtf8().constData());
}

// An empty text gets no text node, so the element is written as <name .../>.
bool setText(pugi::xml_node element, const QString& text)
{
    return text.isEmpty() || element.text().set(text.toUtf8().constData());
}

// The label takes the caption links of the entry's first child; link2 only
// when that child has one.
bool fillLabel(pugi::xml_node label, const pugi::xml_node& templateLinks, const QString& recordName)
{
    if (!addAttribute(label, "link", templateLinks.attribute("link").value()))
        return false;
    const pugi::xml_attribute link2 = templateLinks.attribute("link2");
    if (link2 && !addAttribute(label, "link2", link2.value()))
        return false;
    return setText(label, recordName);
}

bool fillRecord(pugi::xml_node record, const pugi::xml_node& templateEntry, const QString& typeName,
                const QString& recordName, int iconPosition, const QDateTime& now)
{
    if (!addAttribute(record, "parent_type", typeName)
        || !addAttribute(record, "type", Schema::TypeKeyForIndex(iconPosition, true))) {
        return false;
    }
    const pugi::xml_node label = record.append_child(Schema::LabelElement);
    if (!label || !fillLabel(label, templateEntry.first_child(), recordName))
        return false;
    for (const pugi::xml_node& field : templateEntry.children(Schema::FieldElement)) {
        if (!appendField(record, qText(field.attribute("name")), qText(field.attribute("basic_type")), now))
            return false;
    }
    return true;
}

bool isWithin(const pugi::xml_node& node, const pugi::xml_node& ancestor)
{
    for (pugi::xml_node n = node; n; n = n.parent()) {
        if (n == ancestor)
            return true;
    }
    return false;
}

} // namespace

QString initialValue(const QString& storedType, const QDateTime& now)
{
    if (storedType == storedTypeName(FieldType::Date))
        return FormatStoredDate(now.date());
    if (storedType == storedTypeName(FieldType::Time))
        return FormatStoredTime(now.time());
    return {};
}

pugi::xml_node appendStored(pugi::xml_node parent, QByteArrayView text)
{
    if (!canHoldItems(parent))
        return {};
    const pugi::xml_node before = parent.last_child();
    // pugixml parses a copy of the text, kept (and wiped when freed) as the
    // document's own, in which the values then lie.
    const pugi::xml_parse_result parsed =
        parent.append_buffer(text.data(), size_t(text.size()), DataDocument::ParseOptions, pugi::encoding_utf8);
    const pugi::xml_node added = before ? before.next_sibling() : parent.first_child();
    if (parsed && added && added == parent.last_child() && isItem(added))
        return added;
    while (pugi::xml_node extra = before ? before.next_sibling() : parent.first_child())
        parent.remove_child(extra);
    return {};
}

pugi::xml_node appendGroup(pugi::xml_node parent, const QString& name, int iconPosition)
{
    if (!canHoldItems(parent) || !fitsUnder(parent, 1))
        return {};
    return appendWhole(parent, Schema::GroupElement, [&](pugi::xml_node group) {
        return addAttribute(group, "name", name)
               && addAttribute(group, "type", Schema::TypeKeyForIndex(iconPosition, false));
    });
}

pugi::xml_node appendRecord(pugi::xml_node parent, const pugi::xml_node& templateEntry, const QString& typeName,
                            const QString& recordName, int iconPosition, const QDateTime& now)
{
    // An entry named `record` is listed in the catalogue but is never a template.
    // The record and, under it, its label and fields.
    if (!canHoldItems(parent) || !fitsUnder(parent, 2) || templateEntry.type() != pugi::node_element
        || std::strcmp(templateEntry.name(), Schema::RecordElement) == 0) {
        return {};
    }
    return appendWhole(parent, Schema::RecordElement, [&](pugi::xml_node record) {
        return fillRecord(record, templateEntry, typeName, recordName, iconPosition, now);
    });
}

pugi::xml_node appendField(pugi::xml_node record, const QString& name, const QString& storedType, const QDateTime& now,
                           const QString& value)
{
    if (!Schema::isRecord(record) || !fitsUnder(record, 1))
        return {};
    return appendWhole(record, Schema::FieldElement, [&](pugi::xml_node field) {
        return addAttribute(field, "name", name) && addAttribute(field, "basic_type", storedType)
               && setText(field, value.isEmpty() ? initialValue(storedType, now) : value);
    });
}

bool nameRecord(pugi::xml_node record, const QString& name)
{
    if (!Schema::isRecord(record))
        return false;
    const QByteArray text = name.toUtf8();
    pugi::xml_node label = record.first_child();
    if (label.type() == pugi::node_element && std::strcmp(label.name(), Schema::LabelElement) == 0)
        return label.text().set(text.constData());
    if (!fitsUnder(record, 1))
        return false;
    label = record.prepend_child(Schema::LabelElement);
    if (!label)
        return false;
    if (addAttribute(label, "link", "") && label.text().set(text.constData()))
        return true;
    record.remove_child(label);
    return false;
}

bool nameGroup(pugi::xml_node group, const QString& name)
{
    if (!Schema::isGroup(group))
        return false;
    pugi::xml_attribute attribute = group.attribute("name");
    if (!attribute)
        attribute = group.prepend_attribute("name");
    return attribute.set_value(name.toUtf8().constData());
}

bool rewriteField(pugi::xml_node field, const QString& name, const QString& storedType, const QString& value)
{
    field.remove_attributes();
    DataDocument::clearContent(field);
    return addAttribute(field, "name", name) && addAttribute(field, "basic_type", storedType) && setText(field, value);
}

bool fieldReads(const pugi::xml_node& field, const QString& name, const QString& storedType, const QString& value)
{
    const pugi::xml_attribute first = field.first_attribute();
    const pugi::xml_attribute second = first.next_attribute();
    const char* text = DataDocument::onlyText(field);
    return std::strcmp(first.name(), "name") == 0 && qText(first) == name
           && std::strcmp(second.name(), "basic_type") == 0 && qText(second) == storedType && !second.next_attribute()
           && (text ? qText(text) == value : !field.first_child() && value.isEmpty());
}

bool acceptsDrop(const pugi::xml_node& dragged, const pugi::xml_node& target)
{
    if (!isItem(dragged))
        return false;
    const int levels = 1 + DataDocument::levelsBelow(dragged);
    if (!target || isTopLevel(target))
        return fitsUnder(dataElement(dragged), levels);
    return Schema::isGroup(target) && target != dragged.parent() && !isWithin(target, dragged)
           && fitsUnder(target, levels);
}

pugi::xml_node moveElement(pugi::xml_node dragged, pugi::xml_node destination)
{
    if (!acceptsDrop(dragged, destination))
        return {};
    pugi::xml_node parent = destination ? destination : dataElement(dragged);
    // Moving the node itself needs no copy and cannot fail half-way.
    return parent.append_move(dragged);
}

} // namespace TreeEditing
