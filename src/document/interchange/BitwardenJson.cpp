#include "document/interchange/BitwardenJson.h"

#include "document/interchange/SecretStrings.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace BitwardenJson {

namespace {

enum ItemType { Login = 1, SecureNote = 2, Card = 3, Identity = 4, SshKey = 5 };
// A custom field's type.
enum FieldType { Text = 0, Hidden = 1, Boolean = 2, Linked = 3 };

// Keys of an item with no meaning to a person.
const QStringList BookkeepingKeys{"id", "organizationId", "folderId", "collectionIds", "reprompt", "type", "key"};

// Names a person reads for the keys of cards and keys; others are spelt out
// from their camel case ("firstName" is "First Name").
const QHash<QString, QString> FieldNames{
    {"cardholderName", "Card Holder"}, {"number", "Card Number"},  {"code", "CVV"},
    {"expMonth", "Expiry Month"},      {"expYear", "Expiry Year"}, {"privateKey", "Private Key (secret)"},
    {"verificationNumber", "CVV"}};

} // namespace

QString spelledOut(const QString& key)
{
    if (const auto known = FieldNames.constFind(key); known != FieldNames.constEnd())
        return *known;
    QString words;
    for (const QChar c : key) {
        if (c.isUpper() && !words.isEmpty())
            words += QLatin1Char(' ');
        words += words.isEmpty() ? c.toUpper() : c;
    }
    return words;
}

namespace {

QString textOf(const QJsonValue& value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble())
        return QString::number(value.toDouble());
    return value.toString();
}

class Reader {
public:
    explicit Reader(EntrySink& sink)
        : m_sink(sink)
    {
    }

    // Folders by id, as groups.
    bool addFolders(const QJsonArray& folders)
    {
        for (const QJsonValue folder : folders) {
            EntrySink::GroupId id = EntrySink::Top;
            QString walked;
            for (const QString& level :
                 folder[QLatin1String("name")].toString().split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
                walked += QLatin1Char('/') + level;
                EntrySink::GroupId& found = m_paths[walked];
                if (found == 0)
                    found = m_sink.addGroup(id, level);
                if (found == EntrySink::NoGroup)
                    return false;
                id = found;
            }
            m_folders.insert(folder[QLatin1String("id")].toString(), id);
        }
        return true;
    }

    bool addItem(const QJsonObject& item)
    {
        NotCarried& notCarried = m_sink.notCarried;
        if (!item.value(QLatin1String("deletedDate")).isNull() && item.contains(QLatin1String("deletedDate"))) {
            ++notCarried.deletedEntries;
            return true;
        }
        for (const QString& key : BookkeepingKeys) {
            if (!item.value(key).isNull() && !item.value(key).isUndefined())
                m_bookkeeping.insert(key);
        }
        ForeignEntry entry;
        entry.title = item.value(QLatin1String("name")).toString();
        entry.notes = item.value(QLatin1String("notes")).toString();
        const int type = item.value(QLatin1String("type")).toInt(Login);
        if (type == SecureNote)
            entry.kind = ForeignEntry::Kind::Note;
        if (item.value(QLatin1String("favorite")).toBool())
            entry.extras.append({QStringLiteral("favorite"), QStringLiteral("true")});
        else if (item.contains(QLatin1String("favorite")))
            m_bookkeeping.insert(QStringLiteral("favorite"));
        if (item.contains(QLatin1String("creationDate")) || item.contains(QLatin1String("revisionDate")))
            ++notCarried.entryTimes;
        notCarried.historyEntries += int(item.value(QLatin1String("passwordHistory")).toArray().size());
        addLogin(item.value(QLatin1String("login")).toObject(), entry);
        for (const char* part : {"card", "identity", "sshKey"}) {
            const QJsonObject values = item.value(QLatin1String(part)).toObject();
            for (auto value = values.constBegin(); value != values.constEnd(); ++value) {
                if (!textOf(*value).isEmpty())
                    entry.extras.append({spelledOut(value.key()), textOf(*value)});
            }
        }
        addFields(item.value(QLatin1String("fields")).toArray(), entry);
        const EntrySink::GroupId group =
            m_folders.value(item.value(QLatin1String("folderId")).toString(), EntrySink::Top);
        return m_sink.addEntry(group, entry);
    }

    int bookkeepingColumns() const { return int(m_bookkeeping.size()); }

private:
    static void addLogin(const QJsonObject& login, ForeignEntry& entry)
    {
        entry.userName = login.value(QLatin1String("username")).toString();
        entry.password = login.value(QLatin1String("password")).toString();
        const QJsonArray uris = login.value(QLatin1String("uris")).toArray();
        for (qsizetype i = 0; i < uris.size(); ++i) {
            const QString uri = uris.at(i)[QLatin1String("uri")].toString();
            if (i == 0)
                entry.url = uri;
            else if (!uri.isEmpty())
                entry.extras.append({QStringLiteral("URL %1").arg(i + 1), uri});
        }
        if (const QString seed = login.value(QLatin1String("totp")).toString(); !seed.isEmpty())
            entry.extras.append({SecretStrings::OneTimeCodeName, seed});
    }

    void addFields(const QJsonArray& fields, ForeignEntry& entry)
    {
        for (const QJsonValue field : fields) {
            const QString name = field[QLatin1String("name")].toString();
            const int type = field[QLatin1String("type")].toInt(Text);
            if (type == Linked) {
                m_bookkeeping.insert(QStringLiteral("linked fields"));
                continue;
            }
            entry.extras.append(
                {type == Hidden ? SecretStrings::hiddenName(name) : name, textOf(field[QLatin1String("value")])});
        }
    }

    EntrySink& m_sink;
    QHash<QString, EntrySink::GroupId> m_paths;
    QHash<QString, EntrySink::GroupId> m_folders;
    QSet<QString> m_bookkeeping;
};

} // namespace

bool read(const QByteArray& text, EntrySink& sink, QString* error)
{
    const auto refuse = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    QJsonParseError parsed;
    const QJsonDocument document =
        QJsonDocument::fromJson(text.startsWith("\xEF\xBB\xBF") ? text.sliced(3) : text, &parsed);
    if (parsed.error != QJsonParseError::NoError)
        return refuse(QStringLiteral("at byte %1: %2").arg(parsed.offset).arg(parsed.errorString()));
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("encrypted")).toBool())
        return refuse(QStringLiteral("an encrypted Bitwarden export; export it unencrypted"));
    if (!root.value(QLatin1String("items")).isArray())
        return refuse(QStringLiteral("no \"items\" list, so not a Bitwarden export"));
    Reader reader(sink);
    if (!reader.addFolders(root.value(QLatin1String("folders")).toArray()))
        return refuse(QStringLiteral("folders nested too deep"));
    for (const QJsonValue item : root.value(QLatin1String("items")).toArray()) {
        if (!reader.addItem(item.toObject()))
            return refuse(QStringLiteral("folders nested too deep"));
    }
    sink.notCarried.bookkeepingColumns += reader.bookkeepingColumns();
    return true;
}

} // namespace BitwardenJson
