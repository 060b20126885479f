#include "document/interchange/PasswordSafeXml.h"

#include "base/SecureWipe.h"
#include "document/interchange/ExportXml.h"
#include "document/interchange/SecretStrings.h"

#include <QHash>
#include <QScopeGuard>
#include <QSet>

#include <cstring>

namespace PasswordSafeXml {

namespace {

enum class Meaning {
    Group,
    Title,
    UserName,
    Password,
    Url,
    Notes,
    Seed,
    Times,
    Expiry,
    History,
    AutoType,
    Bookkeeping
};

// What the elements of an entry mean; any other is a field of its name.
const QHash<QByteArray, Meaning> Meanings{
    {"group", Meaning::Group},
    {"title", Meaning::Title},
    {"username", Meaning::UserName},
    {"password", Meaning::Password},
    {"url", Meaning::Url},
    {"notes", Meaning::Notes},
    {"twofactorkey", Meaning::Seed},
    {"ctime", Meaning::Times},
    {"ctimex", Meaning::Times},
    {"atime", Meaning::Times},
    {"atimex", Meaning::Times},
    {"mtime", Meaning::Times},
    {"mtimex", Meaning::Times},
    {"pmtime", Meaning::Times},
    {"pmtimex", Meaning::Times},
    {"rmtime", Meaning::Times},
    {"rmtimex", Meaning::Times},
    {"xtime", Meaning::Expiry},
    {"xtimex", Meaning::Expiry},
    {"xtime_interval", Meaning::Expiry},
    {"pwhistory", Meaning::History},
    {"autotype", Meaning::AutoType},
    {"uuid", Meaning::Bookkeeping},
    {"protectedentry", Meaning::Bookkeeping},
    {"PasswordPolicy", Meaning::Bookkeeping},
    {"PasswordPolicyName", Meaning::Bookkeeping},
    {"symbols", Meaning::Bookkeeping},
    {"dca", Meaning::Bookkeeping},
    {"shiftdca", Meaning::Bookkeeping},
    {"kbshortcut", Meaning::Bookkeeping},
    {"totpconfig", Meaning::Bookkeeping},
    {"totplength", Meaning::Bookkeeping},
    {"totptimestep", Meaning::Bookkeeping},
    {"totpstarttime", Meaning::Bookkeeping},
};

// Field names a person reads for the elements that have a meaning.
const QHash<QByteArray, QString> FieldNames{{"email", QStringLiteral("E-Mail")},
                                            {"runcommand", QStringLiteral("Run command")}};

// "Work.Mail" is Mail in Work; "\." is a dot of a name.
QStringList levelsOf(const QString& path)
{
    QStringList levels{QString()};
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path.at(i) == QLatin1Char('\\') && i + 1 < path.size() && path.at(i + 1) == QLatin1Char('.'))
            levels.last() += path.at(++i);
        else if (path.at(i) == QLatin1Char('.'))
            levels.append(QString());
        else
            levels.last() += path.at(i);
    }
    levels.removeAll(QString());
    return levels;
}

class Reader {
public:
    explicit Reader(EntrySink& sink)
        : m_sink(sink)
    {
    }

    bool add(const pugi::xml_node& element, const QString& lineBreak)
    {
        ForeignEntry entry;
        QString* const usual[] = {&entry.title, &entry.userName, &entry.password, &entry.url, &entry.notes};
        QString groupPath;
        bool timed = false;
        for (const pugi::xml_node& child : element.children()) {
            if (child.type() != pugi::node_element)
                continue;
            const QByteArray name(child.name());
            QString value = ExportXml::textOf(child);
            const auto meaning = Meanings.constFind(name);
            if (meaning == Meanings.constEnd()) {
                entry.extras.append({FieldNames.value(name, QString::fromUtf8(name)), std::move(value)});
                continue;
            }
            switch (*meaning) {
            case Meaning::Group: groupPath = std::move(value); break;
            case Meaning::Title:
            case Meaning::UserName:
            case Meaning::Password:
            case Meaning::Url:
            case Meaning::Notes: *usual[int(*meaning) - int(Meaning::Title)] = std::move(value); break;
            case Meaning::Seed: entry.extras.append({SecretStrings::OneTimeCodeName, std::move(value)}); break;
            case Meaning::Times: timed = true; break;
            case Meaning::Expiry: ++m_sink.notCarried.expiryDates; break;
            case Meaning::History:
                m_sink.notCarried.historyEntries += std::max<int>(
                    1, int(std::distance(child.child("history_entries").children("history_entry").begin(),
                                         child.child("history_entries").children("history_entry").end())));
                break;
            case Meaning::AutoType: ++m_sink.notCarried.autoTypeSettings; break;
            case Meaning::Bookkeeping: m_bookkeeping.insert(name); break;
            }
        }
        m_sink.notCarried.entryTimes += timed ? 1 : 0;
        if (!lineBreak.isEmpty())
            entry.notes.replace(lineBreak, QStringLiteral("\n"));
        const EntrySink::GroupId group = groupAt(groupPath);
        return group != EntrySink::NoGroup && m_sink.addEntry(group, entry);
    }

    int bookkeepingColumns() const { return int(m_bookkeeping.size()); }

private:
    EntrySink::GroupId groupAt(const QString& path)
    {
        EntrySink::GroupId id = EntrySink::Top;
        QString walked;
        for (const QString& level : levelsOf(path)) {
            walked += QLatin1Char('/') + level;
            EntrySink::GroupId& found = m_groups[walked];
            if (found == 0)
                found = m_sink.addGroup(id, level);
            if (found == EntrySink::NoGroup)
                return EntrySink::NoGroup;
            id = found;
        }
        return id;
    }

    EntrySink& m_sink;
    QHash<QString, EntrySink::GroupId> m_groups;
    QSet<QByteArray> m_bookkeeping;
};

} // namespace

bool read(QByteArray text, EntrySink& sink, QString* error)
{
    pugi::xml_document document;
    // The document's values lie in the text: wiped once they are read.
    const auto wipeText = qScopeGuard([&] { SecureWipe::wipe(text); });
    if (!ExportXml::parse(text, document, error))
        return false;
    const pugi::xml_node file = document.document_element();
    if (std::strcmp(file.name(), "passwordsafe") != 0) {
        if (error)
            *error =
                QStringLiteral("the document element is <%1>, not <passwordsafe>").arg(QString::fromUtf8(file.name()));
        return false;
    }
    const QString lineBreak = QString::fromUtf8(file.attribute("delimiter").value());
    Reader reader(sink);
    for (const pugi::xml_node& entry : file.children("entry")) {
        if (!reader.add(entry, lineBreak)) {
            if (error)
                *error = QStringLiteral("<entry id=\"%1\">: groups nested too deep").arg(entry.attribute("id").value());
            return false;
        }
    }
    sink.notCarried.bookkeepingColumns += reader.bookkeepingColumns();
    return true;
}

} // namespace PasswordSafeXml
