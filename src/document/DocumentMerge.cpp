#include "document/DocumentMerge.h"

#include "document/DataDocument.h"
#include "document/Schema.h"

#include <QHash>

#include <cstring>
#include <utility>

namespace {

// Separators no caption holds, so that no two paths run together.
constexpr QChar GroupStep(0x1f);
constexpr QChar RecordStep(0x1e);
constexpr QChar TypeStep(0x1d);

QString groupKey(const QString& parentKey, const pugi::xml_node& group)
{
    return parentKey + GroupStep + qText(group.attribute("name"));
}

QString recordKey(const QString& parentKey, const pugi::xml_node& record)
{
    return parentKey + RecordStep + Schema::RecordCaption(record) + TypeStep + qText(record.attribute("type"));
}

bool holdsField(const pugi::xml_node& record, const char* name, const char* value)
{
    for (const pugi::xml_node& field : record.children(Schema::FieldElement)) {
        if (std::strcmp(field.attribute("name").value(), name) == 0 && std::strcmp(field.text().get(), value) == 0)
            return true;
    }
    return false;
}

bool holdsFieldNamed(const pugi::xml_node& record, const char* name)
{
    for (const pugi::xml_node& field : record.children(Schema::FieldElement)) {
        if (std::strcmp(field.attribute("name").value(), name) == 0)
            return true;
    }
    return false;
}

} // namespace

// One merge: the open document's groups and records indexed by path once,
// so that each item of the other is found in constant time.
class DocumentMerge::Run {
public:
    Run(DocumentMerge& merge, InsertionCommand::Insertions& insertions)
        : m_merge(merge)
        , m_insertions(insertions)
    {
    }

    void into(const pugi::xml_node& data)
    {
        index(data, QString());
        mergeItems(m_merge.m_other.root(), data, QString(), 1, false);
    }

private:
    void index(const pugi::xml_node& parent, const QString& parentKey)
    {
        for (const pugi::xml_node& child : parent.children()) {
            if (Schema::isGroup(child)) {
                const QString key = groupKey(parentKey, child);
                m_groups.insert(key, child);
                index(child, key);
            } else if (Schema::isRecord(child)) {
                m_records.insert(recordKey(parentKey, child), child);
            }
        }
    }

    // Items go under parent at level; within a group made by this merge
    // nothing is reported, as it moves with that group.
    void mergeItems(const pugi::xml_node& from, pugi::xml_node parent, const QString& parentKey, int level,
                    bool parentIsNew)
    {
        for (const pugi::xml_node& child : from.children()) {
            if (Schema::isGroup(child))
                mergeGroup(child, parent, groupKey(parentKey, child), level, parentIsNew);
            else if (Schema::isRecord(child))
                mergeRecord(child, parent, recordKey(parentKey, child), level, parentIsNew);
        }
    }

    void mergeGroup(const pugi::xml_node& group, pugi::xml_node parent, const QString& key, int level, bool parentIsNew)
    {
        if (const pugi::xml_node existing = m_groups.value(key)) {
            mergeItems(group, existing, key, level + 1, false);
            return;
        }
        if (level > DataDocument::MaxNesting) {
            ++m_merge.m_summary.tooDeep;
            return;
        }
        pugi::xml_node made = parent.append_child(Schema::GroupElement);
        for (const pugi::xml_attribute& attribute : group.attributes())
            made.append_copy(attribute);
        if (!parentIsNew)
            m_insertions.added(made);
        m_groups.insert(key, made);
        ++m_merge.m_summary.groups;
        mergeItems(group, made, key, level + 1, true);
    }

    void mergeRecord(const pugi::xml_node& record, pugi::xml_node parent, const QString& key, int level,
                     bool parentIsNew)
    {
        if (const pugi::xml_node existing = m_records.value(key)) {
            mergeFields(record, existing);
            return;
        }
        if (level + DataDocument::levelsBelow(record) > DataDocument::MaxNesting) {
            ++m_merge.m_summary.tooDeep;
            return;
        }
        const pugi::xml_node made = parent.append_copy(record);
        if (!parentIsNew)
            m_insertions.added(made);
        m_records.insert(key, made);
        ++m_merge.m_summary.records;
    }

    void mergeFields(const pugi::xml_node& record, pugi::xml_node existing)
    {
        for (const pugi::xml_node& field : record.children(Schema::FieldElement)) {
            const char* name = field.attribute("name").value();
            const char* value = field.text().get();
            if (holdsField(existing, name, value))
                continue;
            if (!holdsFieldNamed(existing, name)) {
                m_insertions.added(existing.append_copy(field));
                ++m_merge.m_summary.fields;
                continue;
            }
            const QByteArray conflictName = m_merge.m_conflictName(qText(name)).toUtf8();
            // Merged before: the other's value is here already.
            if (holdsField(existing, conflictName.constData(), value))
                continue;
            pugi::xml_node kept = existing.append_copy(field);
            kept.attribute("name").set_value(conflictName.constData());
            m_insertions.added(kept);
            ++m_merge.m_summary.conflicts;
        }
    }

    DocumentMerge& m_merge;
    InsertionCommand::Insertions& m_insertions;
    QHash<QString, pugi::xml_node> m_groups;
    QHash<QString, pugi::xml_node> m_records;
};

DocumentMerge::DocumentMerge(const DataDocument& other, std::function<QString(const QString&)> conflictName)
    : m_other(other)
    , m_conflictName(std::move(conflictName))
{
}

std::unique_ptr<InsertionCommand> DocumentMerge::command(const QString& description)
{
    return std::make_unique<InsertionCommand>(description,
                                              [this](DataDocument& document, InsertionCommand::Insertions& insertions) {
                                                  m_summary = {};
                                                  Run(*this, insertions).into(document.root());
                                                  return true;
                                              });
}
