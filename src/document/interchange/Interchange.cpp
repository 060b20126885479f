#include "document/interchange/Interchange.h"

#include "base/SecureWipe.h"
#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/Schema.h"
#include "document/TreeEditing.h"
#include "document/interchange/BitwardenJson.h"
#include "document/interchange/CsvEntries.h"
#include "document/interchange/ExportXml.h"
#include "document/interchange/ImportText.h"
#include "document/interchange/KeePassXml.h"
#include "document/interchange/PasswordSafeXml.h"
#include "document/interchange/SecretStrings.h"
#include "document/FieldFormats.h"
#include "document/FieldRoles.h"

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
// By the first bytes: KeePass's signature, else a NUL byte where text has
// none.
InputKind inputKindOf(const QByteArray& input)
{
    if (input.size() >= 8 && input.startsWith(KeePassSignature)
        && std::find(std::begin(KeePassVersions), std::end(KeePassVersions), input.sliced(4, 4))
               != std::end(KeePassVersions))
        return InputKind::KeePassDatabase;
    return ImportText::isBinary(input) ? InputKind::Binary : InputKind::Text;
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

// "email" names the field "E-Mail", "User Name" the field "Username".
QString lettersOf(const QString& name)
{
    QString letters;
    for (const QChar c : name) {
        if (c.isLetterOrNumber())
            letters += c.toCaseFolded();
    }
    return letters;
}

// Values of these types have stored forms of their own that a foreign text
// would not have.
bool takesAnyText(const QString& storedType)
{
    return storedType != storedTypeName(FieldType::Date) && storedType != storedTypeName(FieldType::Time)
           && storedType != storedTypeName(FieldType::Number);
}

bool setValue(pugi::xml_node field, const QString& storedType, const QString& value)
{
    if (value.isEmpty())
        return true;
    // The stored form is let go before the document copies the bytes.
    const QByteArray utf8 = (storedType == storedTypeName(FieldType::LongText) ? storedLongText(value) : value).toUtf8();
    return field.text().set(utf8.constData());
}

void wipe(ForeignEntry& entry)
{
    for (QString* text : {&entry.title, &entry.userName, &entry.password, &entry.url, &entry.notes})
        SecureWipe::wipe(*text);
    for (auto& [name, value] : entry.extras) {
        SecureWipe::wipe(name);
        SecureWipe::wipe(value);
    }
}

struct RecordTemplates {
    RecordTemplate webSite;
    RecordTemplate password;
    RecordTemplate note;
};

// Builds what the readers read straight into the document, under one new
// group.
class DocumentBuilder final : public EntrySink {
public:
    DocumentBuilder(pugi::xml_node parent, const QString& groupName, const RecordTemplates& types,
                    const InterchangeProgress& progress)
        : m_types(types)
        , m_progress(progress)
    {
        m_groups.push_back(TreeEditing::appendGroup(parent, groupName, Schema::DefaultGroupIcon));
    }

    pugi::xml_node top() const { return m_groups.front(); }
    int records() const { return m_records; }
    int groups() const { return int(m_groups.size()); }

    GroupId addGroup(GroupId parent, const QString& name) override
    {
        const pugi::xml_node element = TreeEditing::appendGroup(m_groups.at(parent), name, Schema::DefaultGroupIcon);
        if (!element)
            return NoGroup;
        m_groups.push_back(element);
        return GroupId(m_groups.size() - 1);
    }

    bool addEntry(GroupId group, ForeignEntry& entry) override
    {
        const bool added = addRecord(m_groups.at(group), entry);
        wipe(entry);
        if (!added)
            return false;
        if (++m_records % ProgressStep == 0 && m_progress)
            m_progress(m_records, 0);
        return true;
    }

private:
    const RecordTemplate& typeOf(const ForeignEntry& entry) const
    {
        if (entry.kind == ForeignEntry::Kind::Note)
            return m_types.note;
        return entry.url.isEmpty() ? m_types.password : m_types.webSite;
    }

    bool addRecord(pugi::xml_node parent, const ForeignEntry& entry)
    {
        const RecordTemplate& type = typeOf(entry);
        const pugi::xml_node record =
            TreeEditing::appendRecord(parent, type.entry, type.typeName, entry.title, type.icon, m_now);
        if (!record)
            return false;
        const std::vector<pugi::xml_node> fields = Schema::recordFields(record);
        std::vector<QString> values(fields.size());
        // Fields given a value; the caption field of a type without an
        // address only repeats the title, so a string of its name wins.
        std::vector<bool> taken(fields.size(), false);
        QList<std::pair<QString, QString>> ownFields;
        const auto give = [&](int field, const QString& value, bool take, const char* nameWithoutField) {
            if (field >= 0 && field < int(fields.size())) {
                values[field] = value;
                taken[field] = take && !value.isEmpty();
            } else if (nameWithoutField && !value.isEmpty()) {
                ownFields.append({QLatin1String(nameWithoutField), value});
            }
        };
        if (!type.takesAddress)
            give(type.captionField, entry.title, false, nullptr);
        give(type.takesAddress ? type.captionField : -1, entry.url, true, "URL");
        give(type.loginField, entry.userName, true, "Login");
        give(type.secretField, entry.password, true, "Password");
        give(type.notesField, entry.notes, true, "Notes");
        for (const auto& [name, value] : entry.extras) {
            const QString letters = lettersOf(name);
            const auto same = [&](const QString& fieldName) { return lettersOf(fieldName) == letters; };
            const auto named = std::find_if(type.fieldNames.cbegin(), type.fieldNames.cend(), same);
            const qsizetype at = named - type.fieldNames.cbegin();
            if (named != type.fieldNames.cend() && !taken[at] && takesAnyText(type.fieldTypes.at(at)))
                give(int(at), value, true, nullptr);
            else
                ownFields.append({name, value});
        }
        for (const auto& [name, value] : ownFields) {
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

    const RecordTemplates& m_types;
    const InterchangeProgress& m_progress;
    const QDateTime m_now = QDateTime::currentDateTime();
    std::vector<pugi::xml_node> m_groups;
    int m_records = 0;
};

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
    const std::pair<const char*, Format> names[] = {{"keepass-xml", Format::KeePassXml},
                                                    {"csv", Format::Csv},
                                                    {"pwsafe-xml", Format::PasswordSafeXml},
                                                    {"bitwarden-json", Format::BitwardenJson}};
    for (const auto& [known, format] : names) {
        if (name == QLatin1String(known))
            return format;
    }
    return std::nullopt;
}

Format formatOf(QByteArrayView text)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    text = text.trimmed();
    if (text.startsWith('{') || text.startsWith('['))
        return Format::BitwardenJson;
    if (!text.startsWith('<'))
        return Format::Csv;
    return ExportXml::documentElementName(text) == "passwordsafe" ? Format::PasswordSafeXml : Format::KeePassXml;
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
        {notCarried.groupNotes, {"group's notes", "groups' notes"}},
        {notCarried.autoTypeSettings, {"auto-type setting", "auto-type settings"}},
        {notCarried.entryTimes, {"entry's times", "entries' times"}},
        {notCarried.colours, {"entry's colours", "entries' colours"}},
        {notCarried.deletedEntries, {"deleted entry", "deleted entries"}},
        {notCarried.bookkeepingColumns, {"bookkeeping column", "bookkeeping columns"}},
    };
    for (const auto& [count, names] : kinds) {
        if (count > 0)
            lost << counted(count, names.first, names.second);
    }
    const QString readAs = decodedFrom.isEmpty()
                               ? QString()
                               : QStringLiteral(" The file is not UTF-8: it was read as %1.").arg(decodedFrom);
    if (lost.isEmpty())
        return text + QLatin1Char('.') + readAs;
    const bool single = lost.size() == 1 && lost.first().startsWith(QLatin1String("1 "));
    const QString last = lost.takeLast();
    const QString listed = lost.isEmpty() ? last : lost.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return text + QStringLiteral("; %1 %2 not imported.").arg(listed, QLatin1String(single ? "was" : "were")) + readAs;
}

ImportResult importInto(DataDocument& document, const Catalogue& catalogue, std::optional<Format> format,
                        const QByteArray& input, const QString& groupName, const InterchangeProgress& progress)
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
    std::optional<ImportText::Decoded> text = ImportText::decode(input, &result.error);
    if (!text)
        return result;
    result.decodedFrom = text->codePage;
    std::optional<RecordTemplate> webSite = templateOfType(catalogue, QStringLiteral("WEB SITE"));
    const std::optional<RecordTemplate> password = templateOfType(catalogue, QStringLiteral("PASSWORD"));
    const std::optional<RecordTemplate> note = templateOfType(catalogue, QStringLiteral("NOTE"));
    if (!webSite || !password || !note) {
        result.error = QStringLiteral("the record catalogue has no Web Site, Password or Note type");
        return result;
    }
    webSite->takesAddress = true;
    const RecordTemplates types{*webSite, *password, *note};
    DocumentBuilder builder(document.root(), groupName, types, progress);
    bool read = false;
    switch (format.value_or(formatOf(text->utf8))) {
    case Format::KeePassXml:
        read = KeePassXml::read(text->utf8, builder, &result.error);
        break;
    case Format::Csv:
        read = CsvEntries::read(text->utf8, builder, &result.error);
        break;
    case Format::PasswordSafeXml:
        read = PasswordSafeXml::read(text->utf8, builder, &result.error);
        break;
    case Format::BitwardenJson:
        read = BitwardenJson::read(text->utf8, builder, &result.error);
        break;
    }
    // Text decoded here is a copy of the input's secrets; the caller wipes the input.
    if (text->utf8.constData() != input.constData())
        SecureWipe::wipe(text->utf8);
    if (!read || !builder.top()) {
        if (builder.top())
            document.root().remove_child(builder.top());
        if (result.error.isEmpty())
            result.error = QStringLiteral("groups nested more than %1 levels deep").arg(DataDocument::MaxNesting);
        return result;
    }
    result.group = builder.top();
    result.records = builder.records();
    result.groups = builder.groups();
    result.notCarried = builder.notCarried;
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
    const Role role = SecretStrings::isOneTimeCode(name, {})                  ? Role::OneTimeCode
                      : FieldRoles::isLoginFieldName(name)                    ? Role::Login
                      : FieldRoles::isSecretFieldName(name)                   ? Role::Secret
                      : AddressFieldNames.contains(name, Qt::CaseInsensitive) ? Role::Address
                      : NotesFieldNames.contains(name, Qt::CaseInsensitive)   ? Role::Notes
                                                                              : Role::Other;
    m_roles.insert(fieldName, role);
    return role;
}

void EntryMaker::placeFields(const pugi::xml_node& record, const FieldPlace& place)
{
    bool given[int(Role::OneTimeCode)] = {};
    QStringList extraNames;
    for (const pugi::xml_node& field : record.children(Schema::FieldElement)) {
        const QString name = qText(field.attribute("name"));
        const Role role = roleOf(name);
        if (role < Role::OneTimeCode && !given[int(role)]) {
            given[int(role)] = true;
            place(role, name, field);
            continue;
        }
        // Other programs know a seed by this name.
        const QString& kept = role == Role::OneTimeCode ? SecretStrings::OneTimeCodeName : name;
        QString unique = kept;
        for (int n = 2; UsualStringNames.contains(unique, Qt::CaseInsensitive)
                        || extraNames.contains(unique, Qt::CaseInsensitive);
             ++n)
            unique = QStringLiteral("%1 (%2)").arg(kept).arg(n);
        extraNames.append(unique);
        place(Role::Other, unique, field);
    }
}

ForeignEntry EntryMaker::entryOf(const pugi::xml_node& record)
{
    ForeignEntry entry;
    entry.title = Schema::RecordCaption(record);
    QString* const usual[int(Role::OneTimeCode)] = {&entry.userName, &entry.password, &entry.url, &entry.notes};
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
