#include "document/interchange/Interchange.h"

#include "base/SecureWipe.h"
#include "base/TextEncoding.h"
#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/FieldFormats.h"
#include "document/FieldRoles.h"
#include "document/Schema.h"
#include "document/TreeEditing.h"
#include "document/interchange/BitwardenJson.h"
#include "document/interchange/CsvEntries.h"
#include "document/interchange/EntryRelay.h"
#include "document/interchange/ExportSteps.h"
#include "document/interchange/ExportXml.h"
#include "document/interchange/GroupText.h"
#include "document/interchange/ImportText.h"
#include "document/interchange/KeePassXml.h"
#include "document/interchange/PasswordSafeXml.h"
#include "document/interchange/SecretStrings.h"

#include <QDateTime>
#include <QScopeGuard>
#include <QSet>
#include <QVarLengthArray>

#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <thread>
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
// the usual strings, and the markup a new record of it is written with.
struct RecordTemplate {
    int captionField = -1;
    int loginField = -1;
    int secretField = -1;
    int notesField = -1;
    bool takesAddress = false;
    QStringList fieldTypes;
    // The field names' letters, as lettersOf gives them.
    QStringList fieldLetters;
    // <record ...><label ...>, then each field's start tag and, escaped,
    // the value a new field starts with.
    QByteArray start;
    QList<QByteArray> fieldStarts;
    QList<QByteArray> initialValues;
};

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

QByteArray attributeText(const char* name, QByteArrayView value)
{
    QByteArray text = QByteArray(" ") + name + "=\"";
    GroupText::appendEscaped(text, value, GroupText::Place::Attribute);
    return text + '"';
}

QByteArray fieldStart(QByteArrayView name, QByteArrayView storedType)
{
    return "<field" + attributeText("name", name) + attributeText("basic_type", storedType) + '>';
}

// As TreeEditing::appendRecord makes a record of the type.
std::optional<RecordTemplate> templateOfType(const Catalogue& catalogue, const QString& typeKey, const QDateTime& now)
{
    const int icon = Schema::TypeImageIndex(typeKey, true) - Schema::FirstRecordIcon;
    for (const Catalogue::Entry& listed : catalogue.entries()) {
        if (listed.icon.value != icon)
            continue;
        const pugi::xml_node entry = catalogue.FindTemplate(listed.name);
        if (!entry || std::strcmp(entry.name(), Schema::RecordElement) == 0)
            continue;
        RecordTemplate found;
        const pugi::xml_node links = entry.first_child();
        found.start = "<record" + attributeText("parent_type", listed.name.toUtf8())
                      + attributeText("type", Schema::TypeKeyForIndex(icon, true).toUtf8()) + "><label"
                      + attributeText("link", links.attribute("link").value());
        if (const pugi::xml_attribute link2 = links.attribute("link2"))
            found.start += attributeText("link2", link2.value());
        found.start += '>';
        const QString link = qText(links.attribute("link"));
        for (const pugi::xml_node& field : entry.children(Schema::FieldElement)) {
            const QString name = qText(field.attribute("name"));
            const QString type = qText(field.attribute("basic_type"));
            const int at = int(found.fieldTypes.size());
            if (found.captionField < 0 && name == link)
                found.captionField = at;
            else if (found.loginField < 0 && FieldRoles::isLoginFieldName(name))
                found.loginField = at;
            else if (found.secretField < 0 && FieldRoles::isSecretFieldName(name))
                found.secretField = at;
            else if (found.notesField < 0 && type == storedTypeName(FieldType::LongText))
                found.notesField = at;
            found.fieldTypes << type;
            found.fieldLetters << lettersOf(name);
            found.fieldStarts << fieldStart(name.toUtf8(), type.toUtf8());
            QByteArray initial;
            GroupText::appendEscaped(initial, TreeEditing::initialValue(type, now).toUtf8(), GroupText::Place::Text);
            found.initialValues << initial;
        }
        return found;
    }
    return std::nullopt;
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// Values of these types have stored forms of their own that a foreign text
// would not have.
bool takesAnyText(const QString& storedType)
{
    return storedType != storedTypeName(FieldType::Date) && storedType != storedTypeName(FieldType::Time)
           && storedType != storedTypeName(FieldType::Number);
}

struct RecordTemplates {
    RecordTemplate webSite;
    RecordTemplate password;
    RecordTemplate note;
};

// Writes what the readers read as the stored text of one new group, record
// by record, as TreeEditing would make each record.
class GroupBuilder final : public EntrySink {
public:
    GroupBuilder(const QString& groupName, const RecordTemplates& types, const InterchangeProgress& progress)
        : m_text(std::make_unique<GroupText>(GroupText::openingTagOf(groupName.toUtf8(), GroupTypeKey)))
        , m_types(types)
        , m_progress(progress)
    {
    }

    int records() const { return m_records; }
    int groups() const { return m_text->groupCount(); }
    std::unique_ptr<GroupText> releaseText() { return std::move(m_text); }

    GroupId addGroup(GroupId parent, const QString& name) override
    {
        if (!GroupText::groupFitsBelow(m_text->levelOf(parent)))
            return NoGroup;
        QByteArray utf8 = name.toUtf8();
        const GroupId added = m_text->addGroup(parent, GroupText::openingTagOf(utf8, GroupTypeKey));
        SecureWipe::wipe(utf8);
        return added;
    }

    bool addEntry(GroupId group, ForeignEntry& entry) override
    {
        const bool fits = GroupText::entryFitsIn(m_text->levelOf(group));
        if (fits)
            writeRecord(group, entry);
        wipe(entry);
        if (!fits)
            return false;
        if (++m_records % ProgressStep == 0 && m_progress)
            m_progress(m_records, 0);
        return true;
    }

private:
    static inline const QByteArray GroupTypeKey = Schema::TypeKeyForIndex(Schema::DefaultGroupIcon, false).toUtf8();

    const RecordTemplate& typeOf(const ForeignEntry& entry) const
    {
        if (entry.kind == ForeignEntry::Kind::Note)
            return m_types.note;
        return entry.url.isEmpty() ? m_types.password : m_types.webSite;
    }

    // A long value goes in slices, so that no run of the text must hold it
    // whole. A slice never ends inside a surrogate pair or a CR LF.
    template <typename WriteSlice>
    static void forEachSlice(QStringView value, const WriteSlice& write)
    {
        constexpr qsizetype Slice = 64 * 1024;
        for (qsizetype at = 0; at < value.size();) {
            qsizetype length = std::min(Slice, value.size() - at);
            const QChar last = value.at(at + length - 1);
            if (at + length < value.size() && (last.isHighSurrogate() || last == u'\r'))
                --length;
            write(value.sliced(at, length));
            at += length;
        }
    }

    void writeValue(GroupId group, QStringView value)
    {
        forEachSlice(value, [&](QStringView slice) { m_text->writeEscaped(group, slice); });
    }

    void writeRecord(GroupId group, const ForeignEntry& entry)
    {
        const RecordTemplate& type = typeOf(entry);
        const qsizetype fieldCount = type.fieldStarts.size();
        std::vector<const QString*> values(size_t(fieldCount), nullptr);
        // Fields given a value; the caption field of a type without an
        // address only repeats the title, so a string of its name wins.
        std::vector<bool> taken(size_t(fieldCount), false);
        QList<std::pair<QString, const QString*>> ownFields;
        const auto give = [&](int field, const QString& value, bool take, const char* nameWithoutField) {
            if (field >= 0 && field < fieldCount) {
                values[size_t(field)] = &value;
                taken[size_t(field)] = take && !value.isEmpty();
            } else if (nameWithoutField && !value.isEmpty()) {
                ownFields.append({QLatin1String(nameWithoutField), &value});
            }
        };
        if (!type.takesAddress)
            give(type.captionField, entry.title, false, nullptr);
        give(type.takesAddress ? type.captionField : -1, entry.url, true, "URL");
        give(type.loginField, entry.userName, true, "Login");
        give(type.secretField, entry.password, true, "Password");
        give(type.notesField, entry.notes, true, "Notes");
        for (const auto& [name, value] : entry.extras) {
            const qsizetype at = type.fieldLetters.indexOf(lettersOf(name));
            if (at >= 0 && !taken[size_t(at)] && takesAnyText(type.fieldTypes.at(at)))
                give(int(at), value, true, nullptr);
            else
                ownFields.append({name, &value});
        }
        writeElement(group, type.start, "</label>", entry.title.isEmpty(), [&] { writeValue(group, entry.title); });
        for (qsizetype i = 0; i < fieldCount; ++i) {
            const QString* value = values[size_t(i)];
            const bool given = value && !value->isEmpty();
            const QByteArray& initial = type.initialValues.at(i);
            writeElement(group, type.fieldStarts.at(i), "</field>", !given && initial.isEmpty(), [&] {
                if (!given)
                    m_text->write(group, initial);
                else if (type.fieldTypes.at(i) == storedTypeName(FieldType::LongText))
                    writeStoredLongText(group, *value);
                else
                    writeValue(group, *value);
            });
        }
        for (const auto& [name, given] : ownFields) {
            const QString& value = *given;
            const FieldType fieldType = hasLineBreak(value) ? FieldType::LongText : FieldType::Text;
            writeElement(group, ownFieldStart(name, fieldType), "</field>", value.isEmpty(), [&] {
                if (fieldType == FieldType::LongText)
                    writeStoredLongText(group, value);
                else
                    writeValue(group, value);
            });
        }
        m_text->write(group, "</record>");
    }

    // What writeContent writes between startTag and endTag; an element with
    // nothing in it closes in its start tag, as the document writes it.
    template <typename WriteContent>
    void writeElement(GroupId group, QByteArrayView startTag, QByteArrayView endTag, bool empty,
                      const WriteContent& writeContent)
    {
        if (empty) {
            m_text->write(group, startTag.chopped(1));
            m_text->write(group, "/>");
            return;
        }
        m_text->write(group, startTag);
        writeContent();
        m_text->write(group, endTag);
    }

    // The same few names come on record after record: each start tag is made once.
    const QByteArray& ownFieldStart(const QString& name, FieldType type)
    {
        QHash<QString, QByteArray>& starts = m_ownFieldStarts[type == FieldType::LongText ? 1 : 0];
        const auto known = starts.constFind(name);
        if (known != starts.constEnd())
            return *known;
        return *starts.insert(name, fieldStart(name.toUtf8(), storedTypeName(type).toUtf8()));
    }

    void writeStoredLongText(GroupId group, const QString& value)
    {
        forEachSlice(value, [&](QStringView slice) {
            QString stored = withStoredLineBreaks(slice);
            writeValue(group, stored);
            SecureWipe::wipe(stored);
        });
        if (endsOpenLine(value))
            m_text->write(group, "\r\n");
    }

    std::unique_ptr<GroupText> m_text;
    // Of text fields, and of long text fields.
    QHash<QString, QByteArray> m_ownFieldStarts[2];
    const RecordTemplates& m_types;
    const InterchangeProgress& m_progress;
    int m_records = 0;
};

QString counted(int count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// "2024-05-02" and "14:30:05", as QDate and QTime write their ISO forms,
// without going through their general formatting: numbers of fixed widths
// (a stored date's year has four digits) joined by separator.
QString fixedWidthNumbers(std::initializer_list<std::pair<int, int>> numbersAndWidths, QChar separator)
{
    qsizetype length = qsizetype(numbersAndWidths.size()) - 1;
    for (const auto& [number, width] : numbersAndWidths)
        length += width;
    QString text(length, separator);
    QChar* digits = text.data();
    for (const auto& [number, width] : numbersAndWidths) {
        for (int at = width - 1, rest = number; at >= 0; --at, rest /= 10)
            digits[at] = QLatin1Char(char('0' + rest % 10));
        digits += width + 1;
    }
    return text;
}

// The type of a field whose value an export changes: Date and Time, and
// Long Text; nullopt for the others, whose stored value is written as it
// stands. Told from the stored name without a conversion.
std::optional<FieldType> changedTypeOf(const char* storedType)
{
    static const std::pair<QByteArray, FieldType> changed[] = {
        {storedTypeName(FieldType::Date).toLatin1(), FieldType::Date},
        {storedTypeName(FieldType::Time).toLatin1(), FieldType::Time},
        {storedTypeName(FieldType::LongText).toLatin1(), FieldType::LongText}};
    for (const auto& [name, fieldType] : changed) {
        if (*storedType == name.front() && std::strcmp(storedType, name.constData()) == 0)
            return fieldType;
    }
    return std::nullopt;
}

// A stored value as an export writes it: Date and Time values in ISO form,
// Long Text without stored breaks, the others as they stand.
QString exportedValue(std::optional<FieldType> changedFrom, QString value)
{
    switch (changedFrom.value_or(FieldType::Text)) {
    case FieldType::Date:
        if (const std::optional<QDate> date = ParseStoredDate(value)) {
            int year, month, day;
            date->getDate(&year, &month, &day);
            return fixedWidthNumbers({{year, 4}, {month, 2}, {day, 2}}, u'-');
        }
        return value;
    case FieldType::Time:
        if (const std::optional<QTime> time = ParseStoredTime(value))
            return fixedWidthNumbers({{time->hour(), 2}, {time->minute(), 2}, {time->second(), 2}}, u':');
        return value;
    case FieldType::LongText: {
        QStringList lines = longTextLines(value);
        QString joined = lines.join(QLatin1Char('\n'));
        for (QString& line : lines)
            SecureWipe::wipe(line);
        SecureWipe::wipe(value);
        return joined;
    }
    default: return value;
    }
}

QString exportedValue(const Schema::StoredField& field)
{
    return exportedValue(changedTypeOf(field.type), qText(field.node.text()));
}

// Walks element as an export writes it: at every level the records, then the
// groups. steps, when given, learns where each group begins and ends.
void walkForExport(const pugi::xml_node& element, const QString& name, ExportStepQueue* steps,
                   const std::function<void(const pugi::xml_node&)>& record)
{
    if (steps)
        steps->add() = {ExportStep::Kind::BeginGroup, name, {}};
    // One look at each item: the records as they come, the groups after them.
    std::vector<pugi::xml_node> groups;
    for (const pugi::xml_node& item : element.children()) {
        if (Schema::isRecord(item))
            record(item);
        else if (Schema::isGroup(item))
            groups.push_back(item);
    }
    for (const pugi::xml_node& group : groups)
        walkForExport(group, qText(group.attribute("name")), steps, record);
    if (steps)
        steps->add().kind = ExportStep::Kind::EndGroup;
}

// Each record made an entry of the document's texts, written and wiped
// before long. The entries are made on a thread of their own while the
// writer writes those made before: the two take about as long.
template <typename Writer>
void writeDocument(const DataDocument& document, const QString& rootName, Writer& writer, qsizetype total,
                   const InterchangeProgress& progress)
{
    ExportStepQueue steps;
    std::thread making([&] {
        EntryMaker maker;
        walkForExport(document.root(), rootName, &steps,
                      [&](const pugi::xml_node& record) { steps.add().entry = maker.documentEntryOf(record); });
        steps.finish();
    });
    qsizetype done = 0;
    for (std::vector<ExportStep> batch = steps.take(); !batch.empty(); batch = steps.take()) {
        for (ExportStep& step : batch) {
            switch (step.kind) {
            case ExportStep::Kind::BeginGroup: writer.beginGroup(step.groupName); break;
            case ExportStep::Kind::EndGroup: writer.endGroup(); break;
            case ExportStep::Kind::Entry:
                EntryMaker::makeChangedTexts(step.entry);
                writer.entry(step.entry);
                if (progress && ++done % ProgressStep == 0)
                    progress(done, total);
                break;
            }
        }
        steps.giveBack(std::move(batch));
    }
    making.join();
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
    QString text = QStringLiteral("Imported %1 in %2")
                       .arg(counted(records, "record", "records"), counted(groups, "group", "groups"));
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

namespace {

// readImport's work: the group's text, not yet put together, into text.
ImportResult readGroup(const Catalogue& catalogue, std::optional<Format> format, QByteArray input,
                       const QString& groupName, const InterchangeProgress& progress, std::unique_ptr<GroupText>& text)
{
    ImportResult result;
    // What is read is wiped however the reading ends.
    const auto wipeInput = qScopeGuard([&] { SecureWipe::wipe(input); });
    result.input = inputKindOf(input);
    if (result.input != InputKind::Text) {
        result.error = result.input == InputKind::KeePassDatabase
                           ? QStringLiteral("a KeePass database, not an export; export it as XML in KeePass or "
                                            "KeePassXC first")
                           : QStringLiteral("not a text file but a program's own; export its entries as XML "
                                            "in that program first");
        return result;
    }
    std::optional<ImportText::Decoded> decoded = ImportText::decode(std::move(input), &result.error);
    if (!decoded)
        return result;
    const auto wipeDecoded = qScopeGuard([&] { SecureWipe::wipe(decoded->utf8); });
    result.decodedFrom = decoded->codePage;
    const QDateTime now = QDateTime::currentDateTime();
    std::optional<RecordTemplate> webSite = templateOfType(catalogue, QStringLiteral("WEB SITE"), now);
    const std::optional<RecordTemplate> password = templateOfType(catalogue, QStringLiteral("PASSWORD"), now);
    const std::optional<RecordTemplate> note = templateOfType(catalogue, QStringLiteral("NOTE"), now);
    if (!webSite || !password || !note) {
        result.error = QStringLiteral("the record catalogue has no Web Site, Password or Note type");
        return result;
    }
    webSite->takesAddress = true;
    const RecordTemplates types{*webSite, *password, *note};
    GroupBuilder builder(groupName, types, progress);
    // The input is read on a thread of its own while what it has read so
    // far is written here: the two take about as long.
    EntryRelay relay;
    bool read = false;
    std::thread reading([&] {
        // The XML readers parse the text in place: it is theirs from here on.
        switch (format.value_or(formatOf(decoded->utf8))) {
        case Format::KeePassXml: read = KeePassXml::read(std::move(decoded->utf8), relay, &result.error); break;
        case Format::Csv: read = CsvEntries::read(decoded->utf8, relay, &result.error); break;
        case Format::PasswordSafeXml:
            read = PasswordSafeXml::read(std::move(decoded->utf8), relay, &result.error);
            break;
        case Format::BitwardenJson: read = BitwardenJson::read(decoded->utf8, relay, &result.error); break;
        }
        relay.finish();
    });
    const bool built = relay.drainInto(builder);
    reading.join();
    read = read && built;
    if (!read) {
        if (result.error.isEmpty())
            result.error = QStringLiteral("groups nested more than %1 levels deep").arg(DataDocument::MaxNesting);
        return result;
    }
    // The input goes before the text is put together, so both are never whole at once.
    SecureWipe::wipe(decoded->utf8);
    decoded->utf8 = QByteArray();
    // What reading it took lies freed in the heap, wiped: given back, so that
    // it does not stay beside the document's text and the file written.
    malloc_trim(0);
    result.records = builder.records();
    result.groups = builder.groups();
    result.notCarried = relay.notCarried;
    text = builder.releaseText();
    if (progress)
        progress(result.records, result.records);
    return result;
}

// Nothing but the data element: an import can be the whole document.
bool isEmpty(const DataDocument& document)
{
    const pugi::xml_node data = document.root();
    return !data.first_child() && !data.first_attribute() && data == document.xml().last_child();
}

} // namespace

ImportResult readImport(const Catalogue& catalogue, std::optional<Format> format, QByteArray input,
                        const QString& groupName, const InterchangeProgress& progress)
{
    std::unique_ptr<GroupText> pending;
    ImportResult result = readGroup(catalogue, format, std::move(input), groupName, progress, pending);
    if (!result.ok())
        return result;
    auto text = std::shared_ptr<QByteArray>(new QByteArray, [](QByteArray* bytes) {
        SecureWipe::wipe(*bytes);
        delete bytes;
    });
    *text = pending->take();
    result.groupText = std::move(text);
    return result;
}

ImportedDocument::ImportedDocument() = default;
ImportedDocument::ImportedDocument(ImportedDocument&&) noexcept = default;
ImportedDocument::~ImportedDocument() = default;

void ImportedDocument::appendText(QByteArray& out)
{
    // Ended as the document ends its stored text: the file is the one a save would write.
    m_text->appendTo(out, "<data>", "</data>\r\n");
    m_text.reset();
}

ImportedDocument readDocument(const Catalogue& catalogue, std::optional<Format> format, QByteArray input,
                              const QString& groupName, const InterchangeProgress& progress)
{
    ImportedDocument imported;
    imported.result = readGroup(catalogue, format, std::move(input), groupName, progress, imported.m_text);
    return imported;
}

ImportResult importInto(DataDocument& document, const Catalogue& catalogue, std::optional<Format> format,
                        QByteArray input, const QString& groupName, const InterchangeProgress& progress)
{
    if (!isEmpty(document)) {
        ImportResult result = readImport(catalogue, format, std::move(input), groupName, progress);
        if (!result.ok())
            return result;
        result.group = TreeEditing::appendStored(document.root(), *result.groupText);
        result.groupText.reset();
        if (!result.group)
            result.error = QStringLiteral("the imported group could not be added");
        return result;
    }
    // A new document is parsed in the text itself, as a file is read:
    // no copy of it, and the document knows its size when it is written.
    ImportedDocument imported = readDocument(catalogue, format, std::move(input), groupName, progress);
    if (!imported.result.ok())
        return imported.result;
    QByteArray text;
    imported.appendText(text);
    if (document.loadText(std::move(text), &imported.result.error))
        imported.result.group = document.root().first_child();
    return imported.result;
}

const EntryMaker::FieldName& EntryMaker::nameOf(const char* utf8, qsizetype position)
{
    // Records of a type have the same names in the same places: most are
    // the name met last in their place.
    if (position < qsizetype(m_namesByPlace.size()) && std::strcmp(m_namesByPlace[position].first, utf8) == 0)
        return *m_namesByPlace[position].second;
    auto known = m_names.find(QByteArray::fromRawData(utf8, qsizetype(std::strlen(utf8))));
    if (known == m_names.end()) {
        const QString fieldName = qText(utf8);
        const QString name = fieldName.trimmed();
        const Role role = SecretStrings::isOneTimeCode(name, {})                  ? Role::OneTimeCode
                          : FieldRoles::isLoginFieldName(name)                    ? Role::Login
                          : FieldRoles::isSecretFieldName(name)                   ? Role::Secret
                          : AddressFieldNames.contains(name, Qt::CaseInsensitive) ? Role::Address
                          : NotesFieldNames.contains(name, Qt::CaseInsensitive)   ? Role::Notes
                                                                                  : Role::Other;
        known = m_names
                    .emplace(QByteArray(utf8),
                             FieldName{fieldName, role, UsualStringNames.contains(fieldName, Qt::CaseInsensitive)})
                    .first;
    }
    if (position >= qsizetype(m_namesByPlace.size()))
        m_namesByPlace.resize(size_t(position) + 1);
    m_namesByPlace[position] = {known->first.constData(), &known->second};
    return known->second;
}

void EntryMaker::placeFields(const Schema::StoredFields& fields, const FieldPlace& place)
{
    bool given[int(Role::OneTimeCode)] = {};
    QVarLengthArray<QString, 16> extraNames;
    const auto isExtraName = [&](const QString& name) {
        return std::any_of(extraNames.cbegin(), extraNames.cend(),
                           [&](const QString& extra) { return extra.compare(name, Qt::CaseInsensitive) == 0; });
    };
    qsizetype position = 0;
    for (const Schema::StoredField& field : fields) {
        const FieldName& name = nameOf(field.name, position++);
        const Role role = name.role;
        if (role < Role::OneTimeCode && !given[int(role)]) {
            given[int(role)] = true;
            place(role, name.text, false, field);
            continue;
        }
        // Other programs know a seed by this name.
        const bool seed = role == Role::OneTimeCode;
        const QString& kept = seed ? SecretStrings::OneTimeCodeName : name.text;
        bool renamed = seed;
        QString unique = kept;
        bool taken = (!seed && name.namesUsualString) || isExtraName(kept);
        for (int n = 2; taken; ++n) {
            unique = QStringLiteral("%1 (%2)").arg(kept).arg(n);
            renamed = true;
            taken = UsualStringNames.contains(unique, Qt::CaseInsensitive) || isExtraName(unique);
        }
        extraNames.append(unique);
        place(Role::Other, unique, renamed, field);
    }
}

ForeignEntry EntryMaker::entryOf(const pugi::xml_node& record)
{
    ForeignEntry entry;
    entry.title = Schema::RecordCaption(record);
    QString* const usual[int(Role::OneTimeCode)] = {&entry.userName, &entry.password, &entry.url, &entry.notes};
    placeFields(Schema::storedFields(record),
                [&](Role role, const QString& name, bool, const Schema::StoredField& field) {
                    if (role == Role::Other)
                        entry.extras.append({name, exportedValue(field)});
                    else
                        *usual[int(role)] = exportedValue(field);
                });
    return entry;
}

DocumentEntry EntryMaker::documentEntryOf(const pugi::xml_node& record)
{
    DocumentEntry entry;
    // The caption's two texts read as one where neither has an odd end that
    // decoding them apart would read otherwise.
    const Schema::StoredFields fields = Schema::storedFields(record);
    const Schema::CaptionParts caption = Schema::recordCaptionParts(record, fields);
    if (*caption.second == '\0') {
        entry.title.utf8 = caption.first;
    } else if (TextEncoding::isValidUtf8(caption.first) && TextEncoding::decodesToItself(caption.second)) {
        const qsizetype firstLength = qsizetype(std::strlen(caption.first));
        const qsizetype secondLength = qsizetype(std::strlen(caption.second));
        entry.joinedTitle.reserve(firstLength + 1 + secondLength);
        entry.joinedTitle.append(caption.first, firstLength).append(' ').append(caption.second, secondLength);
        entry.title.utf8 = entry.joinedTitle;
    } else {
        entry.title.made = Schema::RecordCaption(record);
    }
    DocumentEntry::Text* const usual[int(Role::OneTimeCode)] = {&entry.userName, &entry.password, &entry.url,
                                                                &entry.notes};
    placeFields(fields, [&](Role role, const QString& name, bool renamed, const Schema::StoredField& field) {
        DocumentEntry::Text value{field.node.text().get(), std::nullopt, changedTypeOf(field.type)};
        if (role != Role::Other) {
            *usual[int(role)] = std::move(value);
            return;
        }
        DocumentEntry::Text key;
        if (renamed)
            key.made = name;
        else
            key.utf8 = field.name;
        entry.extras.append({std::move(key), std::move(value)});
    });
    return entry;
}

void EntryMaker::makeChangedTexts(DocumentEntry& entry)
{
    const auto make = [](DocumentEntry::Text& text) {
        if (text.changedFrom)
            text.made = exportedValue(text.changedFrom, QString::fromUtf8(text.utf8));
    };
    for (DocumentEntry::Text* text : {&entry.userName, &entry.password, &entry.url, &entry.notes})
        make(*text);
    for (auto& extra : entry.extras)
        make(extra.second);
}

QStringList EntryMaker::extraNamesOf(const pugi::xml_node& record)
{
    QStringList names;
    placeFields(Schema::storedFields(record), [&](Role role, const QString& name, bool, const Schema::StoredField&) {
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
