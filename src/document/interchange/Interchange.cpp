#include "document/interchange/Interchange.h"

#include "datafile/SecureWipe.h"
#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/Schema.h"
#include "document/TreeEditing.h"
#include "document/interchange/CsvEntries.h"
#include "document/interchange/KeePassXml.h"
#include "editor/FieldFormats.h"
#include "editor/FieldRoles.h"

#include <QDateTime>
#include <QScopeGuard>
#include <QSet>

#include <algorithm>
#include <iterator>
#include <vector>

namespace Interchange {

namespace {

constexpr qsizetype ProgressStep = 1000;

// KeePass's database signature; the second word tells KeePass 1 (.kdb) from
// 2 (.kdbx), whose XML export is what can be read.
constexpr QByteArrayView KeePassSignature("\x03\xd9\xa2\x9a");
constexpr QByteArrayView KeePassVersions[] = {"\x65\xfb\x4b\xb5", "\x66\xfb\x4b\xb5", "\x67\xfb\x4b\xb5"};
// Where a NUL byte is looked for, as a text file shows one early if at all.
constexpr qsizetype BinaryProbeSize = 8000;

// By the first bytes: KeePass's signature, else a NUL byte, which no text
// export holds.
InputKind inputKindOf(QByteArrayView input)
{
    if (input.size() >= 8 && input.startsWith(KeePassSignature)
        && std::find(std::begin(KeePassVersions), std::end(KeePassVersions), input.sliced(4, 4))
               != std::end(KeePassVersions))
        return InputKind::KeePassDatabase;
    return input.first(std::min(input.size(), BinaryProbeSize)).contains('\0') ? InputKind::Binary : InputKind::Text;
}

// Address and notes fields of the shipped catalogues, in every shipped
// language ("Adresse" and "Адрес" are the Web Site type's address field).
const QStringList AddressFieldNames{"URL", "Web Site", "Website", "Download URL", "Adresse", "Адрес"};
const QStringList NotesFieldNames{"Notes", "Notizen", "Заметки"};

// Extra strings must not take the names of the usual ones in either format.
const QStringList UsualStringNames{"Title", "UserName", "Password", "URL", "Notes", "Group"};

// A catalogue type as imported entries use it: which of its fields take
// the usual strings.
struct RecordTemplate {
    pugi::xml_node entry;
    QString typeName;
    int icon = 0;
    bool takesAddress = false;
    int captionField = -1;
    int loginField = -1;
    int secretField = -1;
    int notesField = -1;
    QStringList fieldNames;
    QStringList fieldTypes;
};

std::optional<RecordTemplate> templateOfType(const Catalogue& catalogue, const QString& typeKey)
{
    const int icon = Schema::TypeImageIndex(typeKey, true) - Schema::FirstRecordIcon;
    for (const Catalogue::Entry& listed : catalogue.entries()) {
        if (listed.icon.value != icon)
            continue;
        RecordTemplate found;
        found.entry = catalogue.FindTemplate(listed.name);
        if (!found.entry)
            continue;
        found.typeName = listed.name;
        found.icon = icon;
        const QString link = qText(found.entry.first_child().attribute("link"));
        for (const pugi::xml_node& field : found.entry.children(Schema::FieldElement)) {
            const QString name = qText(field.attribute("name"));
            const QString type = qText(field.attribute("basic_type"));
            const int at = int(found.fieldNames.size());
            if (found.captionField < 0 && name == link)
                found.captionField = at;
            else if (found.loginField < 0 && FieldRoles::isLoginFieldName(name))
                found.loginField = at;
            else if (found.secretField < 0 && FieldRoles::isSecretFieldName(name))
                found.secretField = at;
            else if (found.notesField < 0 && type == storedTypeName(FieldType::LongText))
                found.notesField = at;
            found.fieldNames << name;
            found.fieldTypes << type;
        }
        return found;
    }
    return std::nullopt;
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

bool setValue(pugi::xml_node field, const QString& storedType, const QString& value)
{
    if (value.isEmpty())
        return true;
    // The stored form is let go before the document copies the bytes.
    const QByteArray utf8 = (storedType == storedTypeName(FieldType::LongText) ? storedLongText(value) : value).toUtf8();
    return field.text().set(utf8.constData());
}

class DocumentBuilder {
public:
    DocumentBuilder(const RecordTemplate& webSite, const RecordTemplate& password, qsizetype total,
                    const InterchangeProgress& progress)
        : m_webSite(webSite)
        , m_password(password)
        , m_total(total)
        , m_progress(progress)
    {
    }

    // False when the tree cannot take a group or record (nested too deep).
    bool addGroup(pugi::xml_node parent, const ForeignGroup& group, ImportResult& result)
    {
        const pugi::xml_node element = TreeEditing::appendGroup(parent, group.name, Schema::DefaultGroupIcon);
        if (!element)
            return false;
        if (!result.group)
            result.group = element;
        ++result.groups;
        for (const ForeignEntry& entry : group.entries) {
            if (!addRecord(element, entry))
                return false;
            ++result.records;
            if (m_progress && result.records % ProgressStep == 0)
                m_progress(result.records, m_total);
        }
        for (const ForeignGroup& subgroup : group.groups) {
            if (!addGroup(element, subgroup, result))
                return false;
        }
        return true;
    }

private:
    bool addRecord(pugi::xml_node parent, const ForeignEntry& entry)
    {
        const RecordTemplate& type = entry.url.isEmpty() ? m_password : m_webSite;
        const pugi::xml_node record =
            TreeEditing::appendRecord(parent, type.entry, type.typeName, entry.title, type.icon, m_now);
        if (!record)
            return false;
        const std::vector<pugi::xml_node> fields = Schema::recordFields(record);
        std::vector<QString> values(fields.size());
        // Fields given a usual string; the caption field of a type without
        // an address only repeats the title, so an extra of its name wins.
        std::vector<bool> taken(fields.size(), false);
        const auto give = [&](int field, const QString& value, bool take) {
            if (field < 0 || field >= int(fields.size()))
                return;
            values[field] = value;
            taken[field] = take;
        };
        if (type.takesAddress)
            give(type.captionField, entry.url, true);
        else
            give(type.captionField, entry.title, false);
        give(type.loginField, entry.userName, true);
        give(type.secretField, entry.password, true);
        give(type.notesField, entry.notes, true);
        for (const auto& extra : entry.extras) {
            const QString& name = extra.first;
            const QString& value = extra.second;
            const auto same = [&](const QString& fieldName) { return fieldName.compare(name, Qt::CaseInsensitive) == 0; };
            const auto named = std::find_if(type.fieldNames.cbegin(), type.fieldNames.cend(), same);
            const qsizetype at = named - type.fieldNames.cbegin();
            if (named != type.fieldNames.cend() && !taken[at]) {
                give(int(at), value, true);
                continue;
            }
            const QString storedType = storedTypeName(hasLineBreak(value) ? FieldType::LongText : FieldType::Text);
            const pugi::xml_node field = TreeEditing::appendField(record, name, storedType, m_now);
            if (!field || !setValue(field, storedType, value))
                return false;
        }
        for (size_t i = 0; i < fields.size(); ++i) {
            if (!setValue(fields[i], type.fieldTypes.value(qsizetype(i)), values[i]))
                return false;
        }
        return true;
    }

    const RecordTemplate& m_webSite;
    const RecordTemplate& m_password;
    const qsizetype m_total;
    const InterchangeProgress& m_progress;
    const QDateTime m_now = QDateTime::currentDateTime();
};

qsizetype entryCount(const ForeignGroup& group)
{
    qsizetype count = qsizetype(group.entries.size());
    for (const ForeignGroup& subgroup : group.groups)
        count += entryCount(subgroup);
    return count;
}

QString counted(int count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString exportedValue(const pugi::xml_node& field)
{
    QString value = qText(field.text());
    switch (fieldTypeFromStored(qText(field.attribute("basic_type"))).value_or(FieldType::Text)) {
    case FieldType::Date:
        if (const std::optional<QDate> date = ParseStoredDate(value))
            return date->toString(Qt::ISODate);
        return value;
    case FieldType::Time:
        if (const std::optional<QTime> time = ParseStoredTime(value))
            return time->toString(QStringLiteral("HH:mm:ss"));
        return value;
    case FieldType::LongText: {
        QStringList lines = longTextLines(value);
        QString joined = lines.join(QLatin1Char('\n'));
        for (QString& line : lines)
            SecureWipe::wipe(line);
        SecureWipe::wipe(value);
        return joined;
    }
    default:
        return value;
    }
}

// Every text of group and its subgroups: what an export or an import read
// out of records, passwords among them.
void wipe(ForeignEntry& entry)
{
    for (QString* text : {&entry.title, &entry.userName, &entry.password, &entry.url, &entry.notes})
        SecureWipe::wipe(*text);
    for (auto& [name, value] : entry.extras) {
        SecureWipe::wipe(name);
        SecureWipe::wipe(value);
    }
}

void wipe(ForeignGroup& group)
{
    for (ForeignEntry& entry : group.entries)
        wipe(entry);
    for (ForeignGroup& subgroup : group.groups)
        wipe(subgroup);
}

// Walks element as an export writes it: at every level the records, then the
// groups. writer, when given, learns where each group begins and ends.
void walkForExport(const pugi::xml_node& element, const QString& name, ForeignWriter* writer,
                   const std::function<void(const pugi::xml_node&)>& record)
{
    if (writer)
        writer->beginGroup(name);
    for (const pugi::xml_node& item : Schema::treeChildren(element)) {
        if (Schema::isRecord(item))
            record(item);
    }
    for (const pugi::xml_node& item : Schema::treeChildren(element)) {
        if (!Schema::isRecord(item))
            walkForExport(item, qText(item.attribute("name")), writer, record);
    }
    if (writer)
        writer->endGroup();
}

// Each record made an entry, written and wiped before the next.
void writeDocument(const DataDocument& document, const QString& rootName, ForeignWriter& writer, qsizetype total,
                   const InterchangeProgress& progress)
{
    EntryMaker maker;
    qsizetype done = 0;
    walkForExport(document.root(), rootName, &writer, [&](const pugi::xml_node& record) {
        ForeignEntry entry = maker.entryOf(record);
        writer.entry(entry);
        wipe(entry);
        if (progress && ++done % ProgressStep == 0)
            progress(done, total);
    });
}

// The names of the entries' other strings, in the order the export meets
// them: a CSV file's header names its columns before the first row.
QStringList extraNamesOf(const DataDocument& document)
{
    EntryMaker maker;
    QStringList names;
    QSet<QString> known;
    walkForExport(document.root(), {}, nullptr, [&](const pugi::xml_node& record) {
        for (const QString& name : maker.extraNamesOf(record)) {
            if (!known.contains(name)) {
                known.insert(name);
                names.append(name);
            }
        }
    });
    return names;
}

} // namespace

std::optional<Format> formatNamed(const QString& name)
{
    if (name == QLatin1String("keepass-xml"))
        return Format::KeePassXml;
    if (name == QLatin1String("csv"))
        return Format::Csv;
    return std::nullopt;
}

Format formatOf(const QString& fileName, const QByteArray& start)
{
    if (fileName.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
        return Format::KeePassXml;
    if (fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return Format::Csv;
    QByteArrayView text(start);
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    return text.trimmed().startsWith('<') ? Format::KeePassXml : Format::Csv;
}

QString ImportResult::summary() const
{
    QString text = QStringLiteral("Imported %1 in %2").arg(counted(records, "record", "records"),
                                                         counted(groups, "group", "groups"));
    QStringList lost;
    const std::pair<int, std::pair<const char*, const char*>> kinds[] = {
        {notCarried.attachments, {"attachment", "attachments"}},
        {notCarried.historyEntries, {"history entry", "history entries"}},
        {notCarried.customIcons, {"custom icon", "custom icons"}},
        {notCarried.expiryDates, {"expiry date", "expiry dates"}},
        {notCarried.tagged, {"entry's tags", "entries' tags"}},
    };
    for (const auto& [count, names] : kinds) {
        if (count > 0)
            lost << counted(count, names.first, names.second);
    }
    if (lost.isEmpty())
        return text + QLatin1Char('.');
    const bool single = lost.size() == 1 && lost.first().startsWith(QLatin1String("1 "));
    const QString last = lost.takeLast();
    const QString listed = lost.isEmpty() ? last : lost.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return text + QStringLiteral("; %1 %2 not imported.").arg(listed, QLatin1String(single ? "was" : "were"));
}

ImportResult importInto(DataDocument& document, const Catalogue& catalogue, Format format, const QByteArray& input,
                        const QString& groupName, const InterchangeProgress& progress)
{
    ImportResult result;
    result.input = inputKindOf(input);
    if (result.input != InputKind::Text) {
        result.error = result.input == InputKind::KeePassDatabase
                           ? QStringLiteral("a KeePass database, not an export; export it as XML in KeePass or "
                                            "KeePassXC first")
                           : QStringLiteral("not a text file but a program's own; export its entries as XML "
                                            "in that program first");
        return result;
    }
    ForeignGroup root{groupName, {}, {}};
    // The document holds the entries from here on; the read ones go.
    const auto forget = qScopeGuard([&root] { wipe(root); });
    const bool read = format == Format::Csv ? CsvEntries::read(input, root, &result.error)
                                            : KeePassXml::read(input, root, result.notCarried, &result.error);
    if (!read)
        return result;
    root.name = groupName;
    std::optional<RecordTemplate> webSite = templateOfType(catalogue, QStringLiteral("WEB SITE"));
    const std::optional<RecordTemplate> password = templateOfType(catalogue, QStringLiteral("PASSWORD"));
    if (!webSite || !password) {
        result.error = QStringLiteral("the record catalogue has no Web Site or no Password type");
        return result;
    }
    webSite->takesAddress = true;
    DocumentBuilder builder(*webSite, *password, entryCount(root), progress);
    if (!builder.addGroup(document.root(), root, result)) {
        if (result.group)
            document.root().remove_child(result.group);
        ImportResult refused;
        refused.error = QStringLiteral("groups nested more than %1 levels deep").arg(DataDocument::MaxNesting);
        return refused;
    }
    if (progress)
        progress(result.records, result.records);
    return result;
}

EntryMaker::Role EntryMaker::roleOf(const QString& fieldName)
{
    const auto known = m_roles.constFind(fieldName);
    if (known != m_roles.constEnd())
        return *known;
    const QString name = fieldName.trimmed();
    const Role role = FieldRoles::isLoginFieldName(name)                      ? Role::Login
                      : FieldRoles::isSecretFieldName(name)                   ? Role::Secret
                      : AddressFieldNames.contains(name, Qt::CaseInsensitive) ? Role::Address
                      : NotesFieldNames.contains(name, Qt::CaseInsensitive)   ? Role::Notes
                                                                              : Role::Other;
    m_roles.insert(fieldName, role);
    return role;
}

void EntryMaker::placeFields(const pugi::xml_node& record, const FieldPlace& place)
{
    bool given[int(Role::Other)] = {};
    QStringList extraNames;
    for (const pugi::xml_node& field : record.children(Schema::FieldElement)) {
        const QString name = qText(field.attribute("name"));
        const Role role = roleOf(name);
        if (role != Role::Other && !given[int(role)]) {
            given[int(role)] = true;
            place(role, name, field);
            continue;
        }
        QString unique = name;
        for (int n = 2; UsualStringNames.contains(unique, Qt::CaseInsensitive)
                        || extraNames.contains(unique, Qt::CaseInsensitive);
             ++n)
            unique = QStringLiteral("%1 (%2)").arg(name).arg(n);
        extraNames.append(unique);
        place(Role::Other, unique, field);
    }
}

ForeignEntry EntryMaker::entryOf(const pugi::xml_node& record)
{
    ForeignEntry entry;
    entry.title = Schema::RecordCaption(record);
    QString* const usual[int(Role::Other)] = {&entry.userName, &entry.password, &entry.url, &entry.notes};
    placeFields(record, [&](Role role, const QString& name, const pugi::xml_node& field) {
        if (role == Role::Other)
            entry.extras.append({name, exportedValue(field)});
        else
            *usual[int(role)] = exportedValue(field);
    });
    return entry;
}

QStringList EntryMaker::extraNamesOf(const pugi::xml_node& record)
{
    QStringList names;
    placeFields(record, [&](Role role, const QString& name, const pugi::xml_node&) {
        if (role == Role::Other)
            names.append(name);
    });
    return names;
}

QString ExportResult::changesNote() const
{
    if (textsChanged == 0)
        return {};
    return QStringLiteral("%1 held characters that XML cannot carry; each such character was written as U+FFFD. "
                          "The first is in \"%2\".")
        .arg(counted(textsChanged, "text", "texts"), firstChangedIn);
}

ExportResult exportDocument(const DataDocument& document, Format format, QIODevice& device, const QString& rootName,
                            const InterchangeProgress& progress)
{
    qsizetype total = 0;
    if (progress)
        Schema::walkTree(document.root(), [&](const pugi::xml_node& item, int) {
            total += Schema::isRecord(item) ? 1 : 0;
            return true;
        });
    ExportResult result;
    if (format == Format::Csv) {
        CsvEntries::Writer writer(device, extraNamesOf(document));
        writeDocument(document, rootName, writer, total, progress);
        result.written = writer.finish();
    } else {
        KeePassXml::Writer writer(device);
        writeDocument(document, rootName, writer, total, progress);
        result.written = writer.finish();
        result.textsChanged = writer.replacements().texts;
        result.firstChangedIn = writer.replacements().firstPlace;
    }
    if (progress)
        progress(total, total);
    return result;
}

} // namespace Interchange
