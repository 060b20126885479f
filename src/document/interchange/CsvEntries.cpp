#include "document/interchange/CsvEntries.h"

#include "datafile/SecureWipe.h"
#include "document/interchange/CsvFormat.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <functional>

namespace CsvEntries {

namespace {

enum Column { GroupColumn, TitleColumn, UserColumn, PasswordColumn, UrlColumn, NotesColumn, ColumnCount };

const std::array<QStringList, ColumnCount> HeaderNames{{
    {"Group", "folder", "grouping"},
    {"Title", "name"},
    {"Username", "login_username", "User Name"},
    {"Password", "login_password"},
    {"URL", "login_uri", "Web Site"},
    {"Notes", "note", "extra"},
}};

const QStringList WrittenHeader{"Group", "Title", "Username", "Password", "URL", "Notes"};

std::optional<Column> knownColumn(const QString& header)
{
    for (int column = 0; column < ColumnCount; ++column) {
        if (HeaderNames[column].contains(header.trimmed(), Qt::CaseInsensitive))
            return Column(column);
    }
    return std::nullopt;
}

// The group at path under root, made when missing.
ForeignGroup& groupAt(ForeignGroup& root, const QString& path, QHash<QString, ForeignGroup*>& known)
{
    static const QRegularExpression levels(QStringLiteral("[/\\\\]"));
    const QStringList names = path.split(levels, Qt::SkipEmptyParts);
    ForeignGroup* group = &root;
    QString walked;
    for (const QString& name : names) {
        walked += QLatin1Char('/') + name;
        ForeignGroup*& found = known[walked];
        if (!found) {
            group->groups.push_back(ForeignGroup{name, {}, {}});
            found = &group->groups.back();
        }
        group = found;
    }
    return *group;
}

} // namespace

bool read(QByteArrayView text, ForeignGroup& root, QString* error)
{
    CsvReader reader(text);
    const std::optional<QStringList> header = reader.nextRow();
    if (!header) {
        if (error)
            *error = reader.error().isEmpty() ? QStringLiteral("line 1: no header line") : reader.error();
        return false;
    }
    // The first column of each kind counts; a later one ("name" after
    // "Title", as a field called Name is written) is an extra.
    std::vector<std::optional<Column>> columns;
    QList<Column> seen;
    for (const QString& name : *header) {
        std::optional<Column> column = knownColumn(name);
        if (column && seen.contains(*column))
            column.reset();
        else if (column)
            seen.append(*column);
        columns.push_back(column);
    }
    // Deques keep their elements in place, so the groups met can be remembered.
    QHash<QString, ForeignGroup*> groups;
    while (const std::optional<QStringList> cells = reader.nextRow()) {
        if (cells->size() > header->size()) {
            if (error)
                *error = QStringLiteral("line %1: %2 values where the header names %3 columns")
                             .arg(reader.rowLine())
                             .arg(cells->size())
                             .arg(header->size());
            return false;
        }
        ForeignEntry entry;
        QString groupPath;
        QString* const known[ColumnCount] = {&groupPath,      &entry.title, &entry.userName,
                                             &entry.password, &entry.url,   &entry.notes};
        // A short row leaves the last columns empty. An empty cell cannot
        // tell an empty value from none, and a column of other entries' field
        // would give every record an empty field of its name: such cells are
        // left out.
        for (qsizetype i = 0; i < header->size(); ++i) {
            QString value = cells->value(i);
            if (columns[i])
                *known[*columns[i]] = std::move(value);
            else if (!value.isEmpty())
                entry.extras.append({header->at(i), std::move(value)});
        }
        groupAt(root, groupPath, groups).entries.push_back(std::move(entry));
    }
    if (!reader.error().isEmpty()) {
        if (error)
            *error = reader.error();
        return false;
    }
    return true;
}

Writer::Writer(QIODevice& device, QStringList extraNames)
    : m_device(device)
    , m_extraNames(std::move(extraNames))
{
    m_written = m_device.write(CsvFormat::row(WrittenHeader + m_extraNames)) >= 0;
}

void Writer::beginGroup(const QString& name)
{
    if (!m_inRoot) {
        m_inRoot = true;
        return;
    }
    m_groups.append(name);
    m_path = m_groups.join(QLatin1Char('/'));
}

void Writer::entry(const ForeignEntry& entry)
{
    QStringList cells{m_path, entry.title, entry.userName, entry.password, entry.url, entry.notes};
    for (const QString& name : m_extraNames) {
        const auto extra = std::find_if(entry.extras.cbegin(), entry.extras.cend(),
                                        [&](const auto& pair) { return pair.first == name; });
        cells.append(extra != entry.extras.cend() ? extra->second : QString());
    }
    QByteArray row = CsvFormat::row(cells);
    m_written = m_device.write(row) >= 0 && m_written;
    SecureWipe::wipe(row);
}

void Writer::endGroup()
{
    if (m_groups.isEmpty()) {
        m_inRoot = false;
        return;
    }
    m_groups.removeLast();
    m_path = m_groups.join(QLatin1Char('/'));
}

bool Writer::finish()
{
    return m_written;
}

} // namespace CsvEntries
