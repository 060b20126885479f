#include "document/interchange/CsvEntries.h"

#include "base/SecureWipe.h"
#include "base/TextEncoding.h"
#include "document/interchange/CsvCells.h"
#include "document/interchange/CsvReader.h"
#include "document/interchange/SecretStrings.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <QVarLengthArray>

#include <algorithm>
#include <functional>

namespace CsvEntries {

namespace {

enum class Meaning {
    Title,
    UserName,
    Password,
    Url,
    Notes,
    // Levels parted by "/" or "\".
    Group,
    OneTimeCode,
    // "name: value" lines, each a field of its own.
    FieldLines,
    // RoboForm's fields, a cell each from here to the row's end.
    FieldCells,
    // A JSON list of fields.
    FieldList,
    // A JSON list of further addresses.
    AddressList,
    // "login", "note", "folder", ...: what the row is.
    Kind,
    // Kept as a field when set, else left out as bookkeeping.
    Flag,
    Bookkeeping,
    // Left out when it only repeats the address.
    AddressCopy,
    Field,
};

struct ColumnName {
    const char* name;
    Meaning meaning;
};

// What the columns of the common exports mean, by name without case: the
// browsers (Chrome, Edge, Brave, Firefox, Safari and Apple Passwords),
// Bitwarden, 1Password 4 to 8, LastPass, Dashlane, Enpass, Keeper, RoboForm,
// NordPass, SafeInCloud, Proton Pass, KeePass and KeePassX/KeePassXC. A
// name not listed is a field of its own.
const ColumnName ColumnNames[] = {
    {"title", Meaning::Title},
    {"name", Meaning::Title},
    {"account", Meaning::Title},
    {"username", Meaning::UserName},
    {"login_username", Meaning::UserName},
    {"user name", Meaning::UserName},
    {"login name", Meaning::UserName},
    {"login", Meaning::UserName},
    {"password", Meaning::Password},
    {"login_password", Meaning::Password},
    {"pwd", Meaning::Password},
    {"url", Meaning::Url},
    {"hostname", Meaning::Url},
    {"login_uri", Meaning::Url},
    {"web site", Meaning::Url},
    {"website", Meaning::Url},
    {"notes", Meaning::Notes},
    {"note", Meaning::Notes},
    {"extra", Meaning::Notes},
    {"comments", Meaning::Notes},
    {"group", Meaning::Group},
    {"folder", Meaning::Group},
    {"grouping", Meaning::Group},
    {"vault", Meaning::Group},
    {"totp", Meaning::OneTimeCode},
    {"otpauth", Meaning::OneTimeCode},
    {"login_totp", Meaning::OneTimeCode},
    {"otpsecret", Meaning::OneTimeCode},
    {"otpurl", Meaning::OneTimeCode},
    {"one-time password", Meaning::OneTimeCode},
    {"tfc:keeper", Meaning::OneTimeCode},
    {"fields", Meaning::FieldLines},
    {"rffieldsv2", Meaning::FieldCells},
    {"rf_fields", Meaning::FieldCells},
    {"custom_fields", Meaning::FieldList},
    {"additional_urls", Meaning::AddressList},
    {"type", Meaning::Kind},
    {"favorite", Meaning::Flag},
    {"fav", Meaning::Flag},
    {"archived", Meaning::Flag},
    {"scope", Meaning::Flag},
    {"autosubmit", Meaning::Flag},
    {"reprompt", Meaning::Bookkeeping},
    {"id", Meaning::Bookkeeping},
    {"guid", Meaning::Bookkeeping},
    {"uuid", Meaning::Bookkeeping},
    {"icon", Meaning::Bookkeeping},
    {"timecreated", Meaning::Bookkeeping},
    {"timelastused", Meaning::Bookkeeping},
    {"timepasswordchanged", Meaning::Bookkeeping},
    {"created date", Meaning::Bookkeeping},
    {"modified date", Meaning::Bookkeeping},
    {"createtime", Meaning::Bookkeeping},
    {"modifytime", Meaning::Bookkeeping},
    {"matchurl", Meaning::AddressCopy},
    {"formactionorigin", Meaning::AddressCopy},
    {"urls", Meaning::AddressCopy},
};

std::optional<Meaning> meaningOf(const QString& name)
{
    const QString key = name.trimmed();
    for (const ColumnName& column : ColumnNames) {
        if (key.compare(QLatin1String(column.name), Qt::CaseInsensitive) == 0)
            return column.meaning;
    }
    return std::nullopt;
}

// Exports without a header line, told by the shape of their rows: the
// columns they would name, and the first of the name and value pairs that
// follow (-1 for none).
struct HeaderlessLayout {
    QStringList columns;
    qsizetype pairsFrom;
    // Which column of the first row holds an address, if any.
    qsizetype addressColumn;
};

// Keeper: folder, title, login, password, address, notes, shared folder,
// then custom fields. Older Dashlane: title, address, login, password, note.
const HeaderlessLayout Keeper{{"folder", "title", "login", "password", "url", "notes", "Shared Folder"}, 7, 4};
const HeaderlessLayout OlderDashlane{{"title", "url", "login", "password", "note"}, -1, 1};

bool looksLikeAddress(const QString& text)
{
    return text.isEmpty() || text.contains(QLatin1String("://"))
           || (text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char(' ')));
}

// A row of a layout without pairs may end in one empty cell more.
const HeaderlessLayout* headerlessLayoutOf(const QStringList& row)
{
    for (const HeaderlessLayout* layout : {&Keeper, &OlderDashlane}) {
        const bool fits =
            layout->pairsFrom < 0 ? row.size() <= layout->columns.size() + 1 : row.size() >= layout->columns.size() - 1;
        if (fits && row.size() > layout->addressColumn && looksLikeAddress(row.at(layout->addressColumn)))
            return layout;
    }
    return nullptr;
}

// The rows of a headerless export are told by the first that has more than
// one value: the older Dashlane export writes an entry with nothing but a
// title as a row of one.
const HeaderlessLayout* headerlessLayoutOf(QByteArrayView text, char separator, CsvReader::Quoting quoting)
{
    CsvReader rows(text, separator, quoting);
    while (std::optional<QStringList> row = rows.nextRow()) {
        const HeaderlessLayout* layout = row->size() > 1 ? headerlessLayoutOf(*row) : nullptr;
        for (QString& cell : *row)
            SecureWipe::wipe(cell);
        if (layout || row->size() > 1)
            return layout;
    }
    return nullptr;
}

bool isDefaultFlag(const QString& value)
{
    static const QStringList defaults{"", "0", "false", "no", "default"};
    return defaults.contains(value.trimmed(), Qt::CaseInsensitive);
}

// A header line, not data: it names a known column, and no cell is an
// address.
bool isHeader(const QStringList& row)
{
    return std::any_of(row.cbegin(), row.cend(), [](const QString& cell) { return meaningOf(cell).has_value(); })
           && std::none_of(row.cbegin(), row.cend(),
                           [](const QString& cell) { return cell.contains(QLatin1String("://")); });
}

// Mac exports of 1Password write a quote inside a value as \" rather than
// doubled: a quote after a backslash that a following character shows was no
// closing one.
CsvReader::Quoting quotingOf(QByteArrayView text, char separator)
{
    for (qsizetype at = text.indexOf("\\\""); at >= 0; at = text.indexOf("\\\"", at + 2)) {
        const qsizetype next = at + 2;
        if (next < text.size() && text.at(next) != separator && text.at(next) != '"' && text.at(next) != '\n'
            && text.at(next) != '\r')
            return CsvReader::Quoting::Backslash;
    }
    return CsvReader::Quoting::Doubled;
}

// Reads the rows of one file into the sink.
class RowReader {
public:
    // holdsNameOnlyRows: rows of nothing but a name may be folders, told
    // once every row is read (addNameOnlyRows).
    RowReader(EntrySink& sink, bool dropsRootLevel, bool holdsNameOnlyRows)
        : m_sink(sink)
        , m_dropsRootLevel(dropsRootLevel)
        , m_holdsNameOnlyRows(holdsNameOnlyRows)
    {
    }

    // The row's cells under names, cells past the last name more of its
    // values; pairs of name and value from pairsFrom on; a last odd cell as
    // notes where notesLast. False when the tree cannot take the row.
    bool add(const QStringList& names, const QStringList& cells, qsizetype pairsFrom, bool notesLast)
    {
        Row row;
        row.filled = std::count_if(cells.cbegin(), cells.cend(), [](const QString& cell) { return !cell.isEmpty(); });
        const qsizetype named = pairsFrom < 0 ? cells.size() : std::min(pairsFrom, cells.size());
        for (qsizetype i = 0; i < named; ++i) {
            if (i < names.size() || !cells.at(i).isEmpty())
                take(row, names.at(std::min(i, names.size() - 1)), cells.at(i));
        }
        qsizetype pairsEnd = cells.size();
        if (notesLast && pairsFrom >= 0 && (cells.size() - pairsFrom) % 2 == 1)
            take(row, QStringLiteral("notes"), cells.at(--pairsEnd));
        for (qsizetype i = std::max<qsizetype>(pairsFrom, 0); pairsFrom >= 0 && i + 1 < pairsEnd; i += 2)
            take(row, cells.at(i), cells.at(i + 1));
        return finish(row);
    }

    // NordPass's older export writes a folder as a row of nothing but its
    // name: such a row that names a group the other rows filled was that
    // group, any other an entry. At the top level an entry always fits.
    void addNameOnlyRows()
    {
        for (ForeignEntry& entry : m_nameOnlyRows) {
            if (!m_groups.contains(QLatin1Char('/') + levelsOf(entry.title).join(QLatin1Char('/'))))
                m_sink.addEntry(EntrySink::Top, entry);
        }
    }

    int bookkeepingColumns() const { return int(m_bookkeeping.size()); }

private:
    struct Row {
        ForeignEntry entry;
        QString groupPath;
        QString kind;
        // The usual strings a column has given, one bit for each meaning.
        unsigned usedUsual = 0;
        // Cells with a value.
        qsizetype filled = 0;
        // Addresses after the one of the address column.
        QStringList moreAddresses;
    };

    struct Column {
        std::optional<Meaning> meaning;
        // The name a field of its values takes.
        QString label;
    };

    // The same few names come on every row: each is looked up once. A label
    // packed into a name is a field's, whatever its words mean elsewhere
    // (1Password's "name(name)" is no title).
    Column columnNamed(const QString& name)
    {
        const auto known = m_columns.constFind(name);
        if (known != m_columns.constEnd())
            return *known;
        const QString label = CsvCells::labelOf(name);
        const std::optional<Meaning> meaning = label.isEmpty() ? Meaning::Bookkeeping
                                               : label != name ? Meaning::Field
                                                               : meaningOf(name);
        return *m_columns.insert(name, Column{meaning, label});
    }

    void take(Row& row, const QString& name, QString value)
    {
        const Column column = columnNamed(name);
        const std::optional<Meaning> meaning = column.meaning;
        ForeignEntry& entry = row.entry;
        QString* const usual[] = {&entry.title, &entry.userName, &entry.password, &entry.url, &entry.notes};
        switch (meaning.value_or(Meaning::Field)) {
        case Meaning::Title:
        case Meaning::UserName:
        case Meaning::Password:
        case Meaning::Url:
        case Meaning::Notes:
            // The first of each kind counts; a later one ("name" after
            // "Title", as a field called Name is written) is a field.
            if (!usedUsual(row, *meaning)) {
                *usual[int(*meaning)] = std::move(value);
                markUsual(row, *meaning);
                return;
            }
            break;
        case Meaning::Group: row.groupPath = std::move(value); return;
        case Meaning::OneTimeCode:
            if (!value.isEmpty())
                entry.extras.append({SecretStrings::OneTimeCodeName, std::move(value)});
            return;
        case Meaning::FieldLines: addLines(entry, value); return;
        case Meaning::FieldCells:
            if (const std::optional<CsvCells::Field> field = CsvCells::roboFormField(value)) {
                // RoboForm repeats the login and the password among them.
                if (field->second != entry.userName && field->second != entry.password)
                    addField(entry, field->first, field->second);
                return;
            }
            break;
        case Meaning::AddressList:
            if (const std::optional<QStringList> addresses = CsvCells::jsonTexts(value)) {
                row.moreAddresses = *addresses;
                return;
            }
            break;
        case Meaning::FieldList:
            if (const std::optional<QList<CsvCells::Field>> fields = CsvCells::jsonFields(value)) {
                for (const auto& [fieldName, fieldValue] : *fields)
                    addField(entry, fieldName, fieldValue);
                return;
            }
            break;
        case Meaning::Kind:
            row.kind = value.trimmed().toLower();
            leaveOut(name, value);
            return;
        case Meaning::Flag:
            if (isDefaultFlag(value)) {
                leaveOut(name, value);
                return;
            }
            break;
        case Meaning::Bookkeeping: leaveOut(name, value); return;
        case Meaning::AddressCopy:
            if (value.isEmpty() || entry.url.startsWith(value)) {
                leaveOut(name, value);
                return;
            }
            break;
        case Meaning::Field: break;
        }
        if (!value.isEmpty())
            entry.extras.append({column.label, std::move(value)});
    }

    // A one-time code's seed, under any of its names, is kept as "otp".
    static void addField(ForeignEntry& entry, const QString& name, const QString& value)
    {
        if (!value.isEmpty())
            entry.extras.append(
                {SecretStrings::isOneTimeCode(name, value) ? SecretStrings::OneTimeCodeName : name, value});
    }

    static bool usedUsual(const Row& row, Meaning meaning) { return row.usedUsual & (1u << int(meaning)); }
    static void markUsual(Row& row, Meaning meaning) { row.usedUsual |= 1u << int(meaning); }

    void leaveOut(const QString& name, const QString& value)
    {
        if (!value.isEmpty())
            m_bookkeeping.insert(name.trimmed().toLower());
    }

    // "name: value" lines; a line without a name goes on the value before.
    static void addLines(ForeignEntry& entry, const QString& lines)
    {
        for (const QString& line : lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            if (colon > 0)
                entry.extras.append({line.first(colon).trimmed(), line.sliced(colon + 1).trimmed()});
            else if (!entry.extras.isEmpty())
                entry.extras.last().second += QLatin1Char('\n') + line;
        }
    }

    bool finish(Row& row)
    {
        ForeignEntry& entry = row.entry;
        if (row.kind == QLatin1String("folder"))
            return group(row.groupPath + QLatin1Char('/') + entry.title) != EntrySink::NoGroup;
        static const QStringList noteKinds{"note", "securenote", "secure note", "secure_note"};
        if (noteKinds.contains(row.kind))
            entry.kind = ForeignEntry::Kind::Note;
        // Proton Pass writes a card's or an identity's values into its note.
        static const QStringList jsonNoteKinds{"creditcard", "identity"};
        if (jsonNoteKinds.contains(row.kind)) {
            if (std::optional<CsvCells::JsonItem> item = CsvCells::jsonItem(entry.notes)) {
                SecureWipe::wipe(entry.notes);
                entry.notes = std::move(item->notes);
                entry.extras += std::move(item->fields);
            }
        }
        // LastPass marks a secure note by this address; the lines of a
        // typed note ("NoteType:Credit Card") are its fields.
        if (entry.url == QLatin1String("http://sn")) {
            entry.kind = ForeignEntry::Kind::Note;
            entry.url.clear();
            if (entry.notes.startsWith(QLatin1String("NoteType:")))
                splitTypedNote(entry);
        }
        const QStringList addresses = CsvCells::addresses(entry.url) + row.moreAddresses;
        for (qsizetype i = 1; i < addresses.size(); ++i)
            entry.extras.append({QStringLiteral("URL %1").arg(i + 1), addresses.at(i)});
        entry.url = addresses.first();
        if (m_holdsNameOnlyRows && row.filled == 1 && !entry.title.isEmpty() && row.groupPath.isEmpty()) {
            m_nameOnlyRows.append(std::move(entry));
            return true;
        }
        // Firefox names no title: the site's host is the caption.
        if (entry.title.isEmpty() && !entry.url.isEmpty()) {
            const QString host = QUrl(entry.url).host();
            entry.title = host.isEmpty() ? entry.url : host;
        }
        const EntrySink::GroupId into = group(row.groupPath);
        return into != EntrySink::NoGroup && m_sink.addEntry(into, entry);
    }

    static void splitTypedNote(ForeignEntry& entry)
    {
        const QStringList lines = entry.notes.split(QLatin1Char('\n'));
        QString notes;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines.at(i).startsWith(QLatin1String("Notes:"))) {
                notes = (QStringList{lines.at(i).sliced(6)} + lines.sliced(i + 1)).join(QLatin1Char('\n'));
                break;
            }
            const qsizetype colon = lines.at(i).indexOf(QLatin1Char(':'));
            if (colon > 0)
                entry.extras.append({lines.at(i).first(colon), lines.at(i).sliced(colon + 1)});
        }
        SecureWipe::wipe(entry.notes);
        entry.notes = std::move(notes);
    }

    // The group at path, made when missing.
    // Rows name their group alike: each path is walked once.
    EntrySink::GroupId group(const QString& path)
    {
        const auto known = m_paths.constFind(path);
        if (known != m_paths.constEnd())
            return *known;
        const EntrySink::GroupId id = walk(path);
        if (id != EntrySink::NoGroup)
            m_paths.insert(path, id);
        return id;
    }

    QStringList levelsOf(const QString& path) const
    {
        static const QRegularExpression levels(QStringLiteral("[/\\\\]"));
        QStringList names = path.split(levels, Qt::SkipEmptyParts);
        // KeePassX writes the root group's name first on every path.
        if (m_dropsRootLevel && !names.isEmpty())
            names.removeFirst();
        return names;
    }

    EntrySink::GroupId walk(const QString& path)
    {
        EntrySink::GroupId id = EntrySink::Top;
        QString walked;
        for (const QString& name : levelsOf(path)) {
            walked += QLatin1Char('/') + name;
            EntrySink::GroupId& found = m_groups[walked];
            if (found == 0)
                found = m_sink.addGroup(id, name);
            if (found == EntrySink::NoGroup)
                return EntrySink::NoGroup;
            id = found;
        }
        return id;
    }

    EntrySink& m_sink;
    const bool m_dropsRootLevel;
    const bool m_holdsNameOnlyRows;
    QHash<QString, EntrySink::GroupId> m_groups;
    QSet<QString> m_bookkeeping;
    QHash<QString, Column> m_columns;
    QList<ForeignEntry> m_nameOnlyRows;
    QHash<QString, EntrySink::GroupId> m_paths;
};

// KeePassX and KeePassXC quote every cell of their header, which begins so,
// and begin every group path with the root group's name.
bool isKeePassXHeader(QByteArrayView text)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    return text.startsWith("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"");
}

// NordPass's older export names folders but no record kinds.
bool hasUntypedFolders(const QStringList& header)
{
    const auto names = [&](Meaning meaning) {
        return std::any_of(header.cbegin(), header.cend(),
                           [&](const QString& name) { return meaningOf(name) == meaning; });
    };
    return names(Meaning::Group) && !names(Meaning::Kind);
}

const QStringList WrittenHeader{"Group", "Title", "Username", "Password", "URL", "Notes"};

} // namespace

bool read(QByteArrayView text, EntrySink& sink, QString* error)
{
    const auto refuse = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    const char separator = CsvReader::separatorOf(text);
    const CsvReader::Quoting quoting = quotingOf(text, separator);
    CsvReader reader(text, separator, quoting);
    std::optional<QStringList> first = reader.nextRow();
    if (!first)
        return refuse(reader.error().isEmpty() ? QStringLiteral("line 1: no header line") : reader.error());
    // Enpass: a title, then name and value pairs, then notes.
    const bool enpass =
        first->size() >= 3 && first->at(1) == QLatin1String("Field") && first->at(2) == QLatin1String("Value");
    const HeaderlessLayout* headerless = isHeader(*first) ? nullptr : headerlessLayoutOf(text, separator, quoting);
    if (!isHeader(*first) && !headerless)
        return refuse(QStringLiteral("line 1: the header line names no known column"));
    const QStringList names = headerless ? headerless->columns : *first;
    const qsizetype pairsFrom = enpass ? 1 : headerless ? headerless->pairsFrom : -1;
    RowReader rows(sink, isKeePassXHeader(text), !headerless && hasUntypedFolders(names));
    // RoboForm's last column takes the rest of the row; elsewhere cells past
    // the header's last column may only be empty.
    const bool lastTakesRest = meaningOf(names.last()) == Meaning::FieldCells;
    const auto add = [&](const QStringList& cells) {
        const auto past = cells.cbegin() + std::min(cells.size(), names.size());
        if (pairsFrom < 0 && !lastTakesRest
            && std::any_of(past, cells.cend(), [](const QString& cell) { return !cell.isEmpty(); }))
            return refuse(QStringLiteral("line %1: %2 values where the header names %3 columns")
                              .arg(reader.rowLine())
                              .arg(cells.size())
                              .arg(names.size()));
        if (!rows.add(names, cells, pairsFrom, enpass))
            return refuse(QStringLiteral("line %1: groups nested too deep").arg(reader.rowLine()));
        return true;
    };
    if (headerless && !add(*first))
        return false;
    while (const std::optional<QStringList> cells = reader.nextRow()) {
        if (!add(*cells))
            return false;
    }
    if (!reader.error().isEmpty())
        return refuse(reader.error());
    rows.addNameOnlyRows();
    sink.notCarried.bookkeepingColumns += rows.bookkeepingColumns();
    return true;
}

namespace {

// A row's values as UTF-8: a document's where it stands for the same text,
// else made and wiped with the row.
class RowCells {
public:
    RowCells() = default;
    RowCells(const RowCells&) = delete;
    RowCells& operator=(const RowCells&) = delete;
    ~RowCells()
    {
        for (QByteArray& utf8 : m_made)
            SecureWipe::wipe(utf8);
    }

    void addUtf8(QByteArrayView utf8) { m_cells.append(utf8); }
    void addText(const QString& text)
    {
        m_made.append(text.toUtf8());
        m_cells.append(m_made.last());
    }
    void add(const DocumentEntry::Text& text)
    {
        if (text.made) {
            addText(*text.made);
        } else if (TextEncoding::decodesToItself(text.utf8)) {
            addUtf8(text.utf8);
        } else {
            QString decoded = QString::fromUtf8(text.utf8);
            addText(decoded);
            SecureWipe::wipe(decoded);
        }
    }
    std::span<const QByteArrayView> cells() const { return {m_cells.constData(), size_t(m_cells.size())}; }

private:
    QVarLengthArray<QByteArrayView, 16> m_cells;
    // A list of QByteArrays moves them, never their bytes, as it grows.
    QList<QByteArray> m_made;
};

// Whether a document's string name is name, whose UTF-8 is nameUtf8.
bool isNamed(const DocumentEntry::Text& key, const QString& name, const QByteArray& nameUtf8)
{
    if (key.made)
        return *key.made == name;
    if (key.utf8 == nameUtf8)
        return TextEncoding::decodesToItself(key.utf8);
    // Other bytes read as the same text only where decoding changes them.
    return !TextEncoding::decodesToItself(key.utf8) && QString::fromUtf8(key.utf8) == name;
}

} // namespace

Writer::Writer(QIODevice& device, const QStringList& extraNames)
    : m_out(device)
    , m_extraNames(extraNames)
{
    for (const QString& name : m_extraNames)
        m_extraNamesUtf8.append(name.toUtf8());
    m_out.append(CsvFormat::row(WrittenHeader + m_extraNames));
}

void Writer::beginGroup(const QString& name)
{
    if (!m_inRoot) {
        m_inRoot = true;
        return;
    }
    m_groups.append(name);
    setPath();
}

void Writer::entry(const ForeignEntry& entry)
{
    // Texts of ours, each written as made.
    const auto made = [](const QString& text) { return DocumentEntry::Text{{}, text, std::nullopt}; };
    DocumentEntry asMade;
    asMade.title = made(entry.title);
    asMade.userName = made(entry.userName);
    asMade.password = made(entry.password);
    asMade.url = made(entry.url);
    asMade.notes = made(entry.notes);
    for (const auto& [name, value] : entry.extras)
        asMade.extras.append({made(name), made(value)});
    this->entry(asMade);
}

void Writer::entry(const DocumentEntry& entry)
{
    RowCells row;
    row.addUtf8(m_path);
    for (const DocumentEntry::Text* usual : {&entry.title, &entry.userName, &entry.password, &entry.url, &entry.notes})
        row.add(*usual);
    for (qsizetype i = 0; i < m_extraNames.size(); ++i) {
        const auto extra = std::find_if(entry.extras.cbegin(), entry.extras.cend(), [&](const auto& pair) {
            return isNamed(pair.first, m_extraNames.at(i), m_extraNamesUtf8.at(i));
        });
        if (extra != entry.extras.cend())
            row.add(extra->second);
        else
            row.addUtf8({});
    }
    writeRow(row.cells());
}

void Writer::writeRow(std::span<const QByteArrayView> cells)
{
    const auto append = [this](QByteArrayView piece) { m_out.append(piece); };
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            append(QByteArrayView(&CsvFormat::Separator, 1));
        CsvFormat::appendValue(cells[i], append);
    }
    append(CsvFormat::RowEnd);
}

void Writer::endGroup()
{
    if (m_groups.isEmpty()) {
        m_inRoot = false;
        return;
    }
    m_groups.removeLast();
    setPath();
}

void Writer::setPath()
{
    m_path = m_groups.join(QLatin1Char('/')).toUtf8();
}

bool Writer::finish()
{
    return m_out.flush();
}

} // namespace CsvEntries
