#include "document/DocumentEditing.h"

#include "config/CaptionTable.h"
#include "document/DataDocument.h"
#include "document/DocumentHistory.h"
#include "document/InsertionCommand.h"
#include "document/MoveCommand.h"
#include "document/RemovalCommand.h"
#include "document/RewriteCommand.h"
#include "document/Schema.h"
#include "document/TreeEditing.h"

#include <cstring>
#include <memory>

namespace {

// A name of hundreds of characters would stretch the Edit menu off the screen.
constexpr qsizetype MaxNamedLength = 40;

using Insertions = InsertionCommand::Insertions;

// An insertion of the one node add makes, which it hands back in added.
std::unique_ptr<InsertionCommand> insertionOf(QString description, std::function<pugi::xml_node()> add,
                                              pugi::xml_node& added, pugi::xml_node shown = {})
{
    return std::make_unique<InsertionCommand>(
        std::move(description),
        [add = std::move(add), &added](DataDocument&, Insertions& insertions) {
            added = add();
            if (added)
                insertions.added(added);
            return bool(added);
        },
        shown);
}

bool hasLabel(const pugi::xml_node& record)
{
    const pugi::xml_node first = record.first_child();
    return first.type() == pugi::node_element && std::strcmp(first.name(), Schema::LabelElement) == 0;
}

} // namespace

DocumentEditing::DocumentEditing(DataDocument& document, DocumentHistory& history, const CaptionTable& captions)
    : m_document(document)
    , m_history(history)
    , m_captions(captions)
{
}

QString DocumentEditing::describe(const char* key, const char* englishDefault, const QString& name) const
{
    const QString shortName = name.size() <= MaxNamedLength ? name : name.left(MaxNamedLength) + QChar(0x2026);
    return m_captions.GetCaption(QLatin1String(key), QString::fromUtf8(englishDefault)).arg(shortName);
}

pugi::xml_node DocumentEditing::orTopLevel(const pugi::xml_node& parent) const
{
    return parent ? parent : m_document.root();
}

bool DocumentEditing::push(std::unique_ptr<DocumentCommand> command)
{
    return m_history.push(std::move(command));
}

pugi::xml_node DocumentEditing::newGroup(const pugi::xml_node& parent, const QString& name, int iconPosition)
{
    pugi::xml_node added;
    const pugi::xml_node where = orTopLevel(parent);
    push(insertionOf(
        describe("HistoryNewGroup", "New Group “%1”", name),
        [&] { return TreeEditing::appendGroup(where, name, iconPosition); }, added));
    return added;
}

pugi::xml_node DocumentEditing::newRecord(const pugi::xml_node& parent, const pugi::xml_node& templateEntry,
                                          const QString& typeName, const QString& recordName, int iconPosition,
                                          const QDateTime& now)
{
    pugi::xml_node added;
    const pugi::xml_node where = orTopLevel(parent);
    push(insertionOf(
        describe("HistoryNewRecord", "New Record “%1”", recordName.isEmpty() ? typeName : recordName),
        [&] { return TreeEditing::appendRecord(where, templateEntry, typeName, recordName, iconPosition, now); },
        added));
    return added;
}

pugi::xml_node DocumentEditing::newField(const pugi::xml_node& record, const QString& name, const QString& storedType,
                                         const QDateTime& now, const QString& value)
{
    pugi::xml_node added;
    push(insertionOf(
        describe("HistoryNewField", "New Field “%1”", name),
        [&] { return TreeEditing::appendField(record, name, storedType, now, value); }, added, record));
    return added;
}

pugi::xml_node DocumentEditing::addImported(const QString& groupName, QByteArrayView groupText)
{
    pugi::xml_node added;
    push(insertionOf(
        describe("HistoryImport", "Import “%1”", groupName),
        [&] { return TreeEditing::appendStored(m_document.root(), groupText); }, added));
    return added;
}

bool DocumentEditing::deleteItem(const pugi::xml_node& item)
{
    if (!Schema::isGroup(item) && !Schema::isRecord(item))
        return false;
    return push(
        std::make_unique<RemovalCommand>(describe("HistoryDelete", "Delete “%1”", Schema::itemCaption(item)), item));
}

bool DocumentEditing::deleteField(const pugi::xml_node& field)
{
    const pugi::xml_node record = field.parent();
    if (!Schema::isRecord(record) || std::strcmp(field.name(), Schema::FieldElement) != 0)
        return false;
    return push(std::make_unique<RemovalCommand>(
        describe("HistoryDeleteField", "Delete Field “%1”", qText(field.attribute("name"))), field, record));
}

bool DocumentEditing::renameRecord(const pugi::xml_node& record, const QString& name)
{
    if (!Schema::isRecord(record))
        return false;
    const QString description = describe("HistoryRename", "Rename “%1”", Schema::itemCaption(record));
    const auto rename = [record, name](pugi::xml_node) { return TreeEditing::nameRecord(record, name); };
    if (hasLabel(record)) {
        return push(std::make_unique<RewriteCommand>(description, record.first_child(), RewriteCommand::Scope::Whole,
                                                     record, rename));
    }
    // A record without a label gets one: undo takes it out again.
    return push(std::make_unique<InsertionCommand>(
        description,
        [record, name](DataDocument&, Insertions& insertions) {
            if (!TreeEditing::nameRecord(record, name))
                return false;
            insertions.added(record.first_child());
            return true;
        },
        record));
}

bool DocumentEditing::renameGroup(const pugi::xml_node& group, const QString& name)
{
    if (!Schema::isGroup(group))
        return false;
    return push(std::make_unique<RewriteCommand>(
        describe("HistoryRename", "Rename “%1”", Schema::itemCaption(group)), group, RewriteCommand::Scope::Attributes,
        group, [name](pugi::xml_node element) { return TreeEditing::nameGroup(element, name); }));
}

pugi::xml_node DocumentEditing::move(const pugi::xml_node& item, const pugi::xml_node& destination)
{
    const pugi::xml_node where = orTopLevel(destination);
    if (!TreeEditing::acceptsDrop(item, where))
        return {};
    const bool moved = push(
        std::make_unique<MoveCommand>(describe("HistoryMove", "Move “%1”", Schema::itemCaption(item)), item, where));
    return moved ? item : pugi::xml_node();
}

bool DocumentEditing::editField(const pugi::xml_node& field, const QString& name, const QString& storedType,
                                const QString& value, bool continuesTyping)
{
    if (!Schema::isRecord(field.parent()))
        return false;
    if (TreeEditing::fieldReads(field, name, storedType, value))
        return true;
    return push(std::make_unique<RewriteCommand>(
        describe("HistoryEditField", "Edit “%1”", name), field, RewriteCommand::Scope::Whole, field.parent(),
        [name, storedType, value](pugi::xml_node element) {
            return TreeEditing::rewriteField(element, name, storedType, value);
        },
        continuesTyping));
}
