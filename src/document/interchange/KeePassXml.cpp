#include "document/interchange/KeePassXml.h"

#include "base/SecureWipe.h"
#include "base/TextEncoding.h"
#include "document/DataDocument.h"
#include "document/interchange/ExportXml.h"
#include "document/interchange/PassedText.h"
#include "document/interchange/SecretStrings.h"
#include "document/interchange/WipedOutput.h"

#include <QHash>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QUrl>
#include <QVarLengthArray>

#include <pugixml.hpp>

#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace KeePassXml {

namespace {

bool named(const pugi::xml_node& node, const char* name)
{
    return std::strcmp(node.name(), name) == 0;
}

bool isTrue(const char* text)
{
    return QByteArray(text).compare("true", Qt::CaseInsensitive) == 0;
}

void countEntryExtras(const pugi::xml_node& entry, NotCarried& notCarried)
{
    bool coloured = false;
    for (const pugi::xml_node& child : entry.children()) {
        // Most of an entry's children, and read already.
        if (named(child, "String"))
            continue;
        if (named(child, "Binary"))
            ++notCarried.attachments;
        else if (named(child, "History"))
            notCarried.historyEntries +=
                int(std::distance(child.children("Entry").begin(), child.children("Entry").end()));
        else if (named(child, "CustomIconUUID"))
            ++notCarried.customIcons;
        else if (named(child, "Tags") && *child.child_value() != '\0')
            ++notCarried.tagged;
        else if (named(child, "AutoType")
                 && (child.child("Association") || *child.child_value("DefaultSequence") != '\0'))
            ++notCarried.autoTypeSettings;
        else if ((named(child, "ForegroundColor") || named(child, "BackgroundColor")) && *child.child_value() != '\0')
            coloured = true;
        else if (named(child, "Times")) {
            ++notCarried.entryTimes;
            if (isTrue(child.child_value("Expires")))
                ++notCarried.expiryDates;
        }
    }
    notCarried.colours += coloured ? 1 : 0;
}

// RFC 4648 Base32, as one-time-code seeds are written.
QString base32(const QByteArray& bytes)
{
    static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    QString encoded;
    quint32 buffer = 0;
    int bits = 0;
    for (const char byte : bytes) {
        buffer = (buffer << 8) | quint8(byte);
        bits += 8;
        while (bits >= 5) {
            encoded += QLatin1Char(Alphabet[(buffer >> (bits - 5)) & 31]);
            bits -= 5;
        }
    }
    if (bits > 0)
        encoded += QLatin1Char(Alphabet[(buffer << (5 - bits)) & 31]);
    return encoded;
}

// KeePass keeps a time-based one-time code in TimeOtp-* strings: the secret
// in one of four encodings and, where not the defaults, its length, period
// and algorithm. As a seed: the Base32 secret, or an otpauth:// address
// where a setting is given.
QString timeOtpSeed(const QHash<QString, QString>& strings, const QString& title)
{
    QString secret = strings.value(QStringLiteral("TimeOtp-Secret-Base32")).remove(QLatin1Char(' ')).toUpper();
    if (secret.isEmpty() && strings.contains(QStringLiteral("TimeOtp-Secret-Hex")))
        secret = base32(QByteArray::fromHex(strings.value(QStringLiteral("TimeOtp-Secret-Hex")).toLatin1()));
    if (secret.isEmpty() && strings.contains(QStringLiteral("TimeOtp-Secret-Base64")))
        secret = base32(QByteArray::fromBase64(strings.value(QStringLiteral("TimeOtp-Secret-Base64")).toLatin1()));
    if (secret.isEmpty() && strings.contains(QStringLiteral("TimeOtp-Secret")))
        secret = base32(strings.value(QStringLiteral("TimeOtp-Secret")).toUtf8());
    if (secret.isEmpty())
        return {};
    QStringList settings;
    if (const QString length = strings.value(QStringLiteral("TimeOtp-Length")); !length.isEmpty())
        settings << QStringLiteral("digits=") + length;
    if (const QString period = strings.value(QStringLiteral("TimeOtp-Period")); !period.isEmpty())
        settings << QStringLiteral("period=") + period;
    if (QString algorithm = strings.value(QStringLiteral("TimeOtp-Algorithm")); !algorithm.isEmpty())
        settings << QStringLiteral("algorithm=") + algorithm.remove(QStringLiteral("HMAC-")).remove(QLatin1Char('-'));
    if (settings.isEmpty())
        return secret;
    return QStringLiteral("otpauth://totp/%1?secret=%2&%3")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(title)), secret, settings.join(QLatin1Char('&')));
}

bool isProtected(const pugi::xml_node& value)
{
    return isTrue(value.attribute("Protected").value()) || isTrue(value.attribute("ProtectInMemory").value());
}

ForeignEntry readEntry(const pugi::xml_node& element, NotCarried& notCarried)
{
    ForeignEntry entry;
    QString* const usual[] = {&entry.title, &entry.userName, &entry.password, &entry.url, &entry.notes};
    const char* const usualKeys[] = {"Title", "UserName", "Password", "URL", "Notes"};
    QHash<QString, QString> timeOtp;
    bool hasSeed = false;
    for (const pugi::xml_node& string : element.children("String")) {
        const char* key = string.child_value("Key");
        const pugi::xml_node valueElement = string.child("Value");
        QString value = QString::fromUtf8(valueElement.child_value());
        const auto known = std::find_if(std::begin(usualKeys), std::end(usualKeys),
                                        [&](const char* usualKey) { return std::strcmp(key, usualKey) == 0; });
        if (known != std::end(usualKeys)) {
            *usual[known - std::begin(usualKeys)] = std::move(value);
            continue;
        }
        QString name = QString::fromUtf8(key);
        if (name.startsWith(QLatin1String("TimeOtp-"))) {
            timeOtp.insert(name, value);
            continue;
        }
        hasSeed = hasSeed || SecretStrings::isOneTimeCode(name, value);
        entry.extras.append({isProtected(valueElement) ? SecretStrings::hiddenName(name) : name, std::move(value)});
    }
    // KeePassXC's "otp" and KeePass's TimeOtp strings hold the same seed.
    if (const QString seed = timeOtpSeed(timeOtp, entry.title); !hasSeed && !seed.isEmpty())
        entry.extras.append({SecretStrings::OneTimeCodeName, seed});
    // Iterated for writing, even an empty hash would allocate.
    if (!timeOtp.isEmpty()) {
        for (QString& value : timeOtp)
            SecureWipe::wipe(value);
    }
    countEntryExtras(element, notCarried);
    return entry;
}

int entriesUnder(const pugi::xml_node& group)
{
    int count = 0;
    for (const pugi::xml_node& child : group.children()) {
        if (named(child, "Entry"))
            ++count;
        else if (named(child, "Group"))
            count += entriesUnder(child);
    }
    return count;
}

// Walks the groups in the order they stand in the text, each group's items
// as they come, so that passed can give back what lies behind. Iterative, so
// a deeply nested hostile file cannot exhaust the stack; false for groups
// nested deeper than a data document may hold them. The recycle bin's entries
// are deleted ones: left out and counted.
bool readGroups(const pugi::xml_node& rootElement, const QByteArray& recycleBin, EntrySink& sink, PassedText& passed)
{
    // A group being read, and its item to read next. What the group itself
    // holds is looked at on the same walk over its items.
    struct Level {
        pugi::xml_node next;
        EntrySink::GroupId group;
        int depth;
        bool iconSeen = false;
        bool notesSeen = false;
    };
    std::vector<Level> levels;
    NotCarried& notCarried = sink.notCarried;
    const auto enter = [&](const pugi::xml_node& element, EntrySink::GroupId group, int depth) {
        levels.push_back({element.first_child(), group, depth});
    };
    enter(rootElement, EntrySink::Top, 1);
    while (!levels.empty()) {
        Level& level = levels.back();
        const pugi::xml_node child = level.next;
        if (!child) {
            levels.pop_back();
            continue;
        }
        level.next = child.next_sibling();
        if (named(child, "Entry")) {
            ForeignEntry entry = readEntry(child, notCarried);
            if (!sink.addEntry(level.group, entry))
                return false;
            // The items after it, all that is read from here on, stand after its name.
            passed.passTo(child.name());
        } else if (named(child, "Group")) {
            if (!recycleBin.isEmpty() && recycleBin == child.child_value("UUID")) {
                notCarried.deletedEntries += entriesUnder(child);
                continue;
            }
            const int depth = level.depth;
            const EntrySink::GroupId group =
                depth >= DataDocument::MaxNesting
                    ? EntrySink::NoGroup
                    : sink.addGroup(level.group, QString::fromUtf8(child.child_value("Name")));
            if (group == EntrySink::NoGroup)
                return false;
            enter(child, group, depth + 1);
        } else if (named(child, "CustomIconUUID") && !std::exchange(level.iconSeen, true)) {
            ++notCarried.customIcons;
        } else if (named(child, "Notes") && !std::exchange(level.notesSeen, true)) {
            notCarried.groupNotes += *child.child_value() != '\0' ? 1 : 0;
        }
    }
    return true;
}

// Fresh for every export; other managers want one per group and entry:
// sixteen random bytes in Base64, made without an allocation.
struct Uuid {
    char base64[24];
    QByteArrayView text() const { return {base64, sizeof base64}; }
};

Uuid newUuid()
{
    static constexpr char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    quint32 words[4];
    QRandomGenerator::global()->fillRange(words);
    uchar bytes[18] = {};
    std::memcpy(bytes, words, sizeof words);
    Uuid uuid;
    for (int from = 0, to = 0; from < 18; from += 3, to += 4) {
        const quint32 triple = quint32(bytes[from]) << 16 | quint32(bytes[from + 1]) << 8 | bytes[from + 2];
        for (int digit = 0; digit < 4; ++digit)
            uuid.base64[to + digit] = Digits[(triple >> (18 - 6 * digit)) & 0x3F];
    }
    // The sixth group of three holds the sixteenth byte alone: two digits and padding.
    uuid.base64[22] = uuid.base64[23] = '=';
    return uuid;
}

// text with each character that XML 1.0 forbids as U+FFFD; nullopt when it
// has none, the usual case, which costs one look at each character.
std::optional<QString> withoutForbiddenCharacters(const QString& text)
{
    std::optional<QString> cleaned;
    const QChar* const units = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i].unicode();
        if (unit >= 0x20 && unit < 0xD800)
            continue;
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(units[i + 1].unicode())) {
            ++i;
            continue;
        }
        if (unit == '\t' || unit == '\n' || unit == '\r' || (unit >= 0xE000 && unit < 0xFFFE))
            continue;
        if (!cleaned)
            cleaned = text;
        (*cleaned)[i] = QChar::ReplacementCharacter;
    }
    return cleaned;
}

} // namespace

// Writes the XML as it goes rather than building a tree of it: an export
// of many entries is written in a fraction of the time, in little memory.
// Every copy of a value it makes is wiped once written. A document's UTF-8 is
// written as it stands where it reads as the same text and XML may hold it,
// the usual case; anything else goes the way of a QString.
class XmlStream {
public:
    explicit XmlStream(QIODevice& device)
        : m_out(device)
    {
    }

    void raw(QByteArrayView text) { m_out.append(text); }
    void indent(int depth)
    {
        static constexpr QByteArrayView Tabs("\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t");
        for (; depth > 0; depth -= int(Tabs.size()))
            raw(Tabs.first(std::min(qsizetype(depth), Tabs.size())));
    }
    // The entry or group whose texts follow, named when one must be changed;
    // left before place goes.
    void enter(const QString& place) { m_place = &place; }
    void enter(const DocumentEntry::Text& place) { m_documentPlace = &place; }
    void leave()
    {
        m_place = nullptr;
        m_documentPlace = nullptr;
    }
    // value: a QString, or UTF-8 as a document's.
    template <typename Text>
    void element(const char* name, const Text& value)
    {
        raw("<");
        raw(name);
        raw(">");
        text(value);
        raw("</");
        raw(name);
        raw(">");
    }
    // Secrets are marked for the other program to keep hidden.
    void string(const char* key, const QString& value)
    {
        keyedValue(QByteArrayView(key), value, SecretStrings::isSecret(QLatin1String(key), value));
    }
    void string(const QString& key, const QString& value)
    {
        keyedValue(key, value, SecretStrings::isSecret(key, value));
    }
    void string(const char* key, const DocumentEntry::Text& value)
    {
        keyedValue(QByteArrayView(key), value, isSecretUsualName(key) || isOneTimeCodeValue(value));
    }
    void string(const DocumentEntry::Text& key, const DocumentEntry::Text& value)
    {
        const bool secretName = key.made ? SecretStrings::isSecret(*key.made, {}) : isSecretName(key.utf8);
        keyedValue(key, value, secretName || isOneTimeCodeValue(value));
    }
    bool flush() { return m_out.flush(); }
    const Replacements& replacements() const { return m_replacements; }

private:
    // The usual strings' names are the writer's own few, known by where they lie.
    bool isSecretUsualName(const char* key)
    {
        const auto known = std::find_if(m_usualNames.cbegin(), m_usualNames.cend(),
                                        [key](const auto& name) { return name.first == key; });
        if (known != m_usualNames.cend())
            return known->second;
        m_usualNames.append({key, isSecretName(QByteArrayView(key))});
        return m_usualNames.last().second;
    }

    // Every entry has strings of the same few names: what a name says is
    // worked out once.
    bool isSecretName(QByteArrayView utf8)
    {
        auto known = m_secretNames.constFind(QByteArray::fromRawData(utf8.data(), utf8.size()));
        if (known == m_secretNames.constEnd())
            known = m_secretNames.insert(utf8.toByteArray(), SecretStrings::isSecret(QString::fromUtf8(utf8), {}));
        return *known;
    }

    // As SecretStrings::isOneTimeCodeValue reads the value as text.
    static bool isOneTimeCodeValue(const DocumentEntry::Text& value)
    {
        if (value.made)
            return SecretStrings::isOneTimeCodeValue(*value.made);
        constexpr QByteArrayView Scheme("otpauth://");
        const QByteArrayView start = value.utf8.first(std::min(value.utf8.size(), Scheme.size()));
        if (std::all_of(start.begin(), start.end(), [](char c) { return uchar(c) < 0x80; }))
            return start.compare(Scheme, Qt::CaseInsensitive) == 0;
        return SecretStrings::isOneTimeCodeValue(QString::fromUtf8(value.utf8));
    }

    template <typename Key, typename Value>
    void keyedValue(const Key& key, const Value& value, bool secret)
    {
        raw("<String><Key>");
        text(key);
        raw(secret ? "</Key><Value ProtectInMemory=\"True\">" : "</Key><Value>");
        text(value);
        raw("</Value></String>");
    }

    void text(const DocumentEntry::Text& value)
    {
        if (value.made)
            text(*value.made);
        else
            text(value.utf8);
    }

    void text(const QString& value)
    {
        QByteArray utf8 = xmlText(value);
        escaped(utf8);
        SecureWipe::wipe(utf8);
    }

    // Text of ours, or a document's UTF-8, read as QString::fromUtf8 reads it.
    void text(QByteArrayView utf8)
    {
        switch (plainXmlTextKind(utf8)) {
        case PlainText::Literal: return raw(utf8);
        case PlainText::Escaped: return escaped(utf8);
        case PlainText::No: break;
        }
        QString decoded = QString::fromUtf8(utf8);
        text(decoded);
        SecureWipe::wipe(decoded);
    }

    // Whether utf8 reads as the same text and holds nothing XML forbids:
    // valid, no control character but tab and line breaks, no U+FFFE or
    // U+FFFF, and no byte order mark at the start, which decoding drops;
    // and whether it needs escaping. One look at each byte.
    enum class PlainText { No, Literal, Escaped };
    static PlainText plainXmlTextKind(QByteArrayView utf8)
    {
        enum ByteKind : uchar { Plain, Escape, Forbidden, NonAscii, MaybeNonCharacter };
        static constexpr auto Kinds = [] {
            std::array<uchar, 256> kinds{};
            for (int c = 0; c < 0x20; ++c)
                kinds[size_t(c)] = Forbidden;
            kinds['\t'] = kinds['\n'] = Plain;
            for (const char c : {'&', '<', '>', '\r'})
                kinds[uchar(c)] = Escape;
            for (int c = 0x80; c < 0x100; ++c)
                kinds[size_t(c)] = NonAscii;
            kinds[0xEF] = MaybeNonCharacter;
            return kinds;
        }();
        bool escape = false;
        bool ascii = true;
        const auto* bytes = reinterpret_cast<const uchar*>(utf8.data());
        for (qsizetype i = 0; i < utf8.size(); ++i) {
            switch (Kinds[bytes[i]]) {
            case Plain: break;
            case Escape: escape = true; break;
            case Forbidden: return PlainText::No;
            case MaybeNonCharacter:
                if (i + 2 < utf8.size() && bytes[i + 1] == 0xBF && bytes[i + 2] >= 0xBE)
                    return PlainText::No;
                [[fallthrough]];
            case NonAscii: ascii = false; break;
            }
        }
        // Most texts are ASCII, which needs no further look.
        if (!ascii && !TextEncoding::decodesToItself(utf8))
            return PlainText::No;
        return escape ? PlainText::Escaped : PlainText::Literal;
    }

    QByteArray xmlText(const QString& text)
    {
        std::optional<QString> cleaned = withoutForbiddenCharacters(text);
        if (!cleaned)
            return text.toUtf8();
        if (m_replacements.texts++ == 0 && (m_place || m_documentPlace)) {
            const QString place = m_place                 ? *m_place
                                  : m_documentPlace->made ? *m_documentPlace->made
                                                          : QString::fromUtf8(m_documentPlace->utf8);
            m_replacements.firstPlace = withoutForbiddenCharacters(place).value_or(place);
        }
        QByteArray utf8 = cleaned->toUtf8();
        SecureWipe::wipe(*cleaned);
        return utf8;
    }

    void escaped(QByteArrayView text)
    {
        qsizetype from = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char c = text[i];
            const char* replacement = c == '&'    ? "&amp;"
                                      : c == '<'  ? "&lt;"
                                      : c == '>'  ? "&gt;"
                                      : c == '\r' ? "&#13;"
                                                  : nullptr;
            if (!replacement)
                continue;
            raw(text.sliced(from, i - from));
            raw(replacement);
            from = i + 1;
        }
        raw(text.sliced(from));
    }

    WipedOutput m_out;
    const QString* m_place = nullptr;
    const DocumentEntry::Text* m_documentPlace = nullptr;
    Replacements m_replacements;
    QHash<QByteArray, bool> m_secretNames;
    QVarLengthArray<std::pair<const char*, bool>, 8> m_usualNames;
};

bool read(QByteArray text, EntrySink& sink, QString* error)
{
    const auto refuse = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    pugi::xml_document document;
    // The document's values lie in the text: wiped as they are read, the
    // rest once reading ends.
    if (!text.isDetached())
        text = QByteArray(text.constData(), text.size());
    PassedText passed(text);
    if (!ExportXml::parse(text, document, error))
        return false;
    const pugi::xml_node file = document.document_element();
    if (!named(file, "KeePassFile"))
        return refuse(
            QStringLiteral("the document element is <%1>, not <KeePassFile>").arg(QString::fromUtf8(file.name())));
    const pugi::xml_node rootElement = file.child("Root");
    if (!rootElement)
        return refuse(QStringLiteral("<KeePassFile> has no <Root>"));
    const pugi::xml_node rootGroup = rootElement.child("Group");
    if (!rootGroup)
        return refuse(QStringLiteral("<Root> has no <Group>"));
    // All zeros where there is none.
    QByteArray recycleBin = file.child("Meta").child_value("RecycleBinUUID");
    const QByteArray binId = QByteArray::fromBase64(recycleBin);
    if (binId.count('\0') == binId.size())
        recycleBin.clear();
    if (!readGroups(rootGroup, recycleBin, sink, passed))
        return refuse(QStringLiteral("<Group> nested more than %1 levels deep").arg(DataDocument::MaxNesting));
    return true;
}

Writer::Writer(QIODevice& device)
    : m_out(std::make_unique<XmlStream>(device))
{
    m_out->raw("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n<KeePassFile>\n"
               "<Meta><Generator>Zantrove</Generator></Meta>\n<Root>\n");
}

Writer::~Writer() = default;

void Writer::beginGroup(const QString& name)
{
    ++m_depth;
    m_out->indent(m_depth);
    m_out->raw("<Group>");
    m_out->element("UUID", newUuid().text());
    m_out->enter(name);
    m_out->element("Name", name);
    m_out->leave();
    m_out->raw("\n");
}

namespace {

// Either kind of entry, its texts QStrings or a document's.
template <typename Entry>
void writeEntry(XmlStream& out, int depth, const Entry& entry)
{
    out.indent(depth + 1);
    out.raw("<Entry>");
    out.element("UUID", newUuid().text());
    out.enter(entry.title);
    out.string("Title", entry.title);
    out.string("UserName", entry.userName);
    out.string("Password", entry.password);
    out.string("URL", entry.url);
    out.string("Notes", entry.notes);
    for (const auto& [key, value] : entry.extras)
        out.string(key, value);
    out.leave();
    out.raw("</Entry>\n");
}

} // namespace

void Writer::entry(const ForeignEntry& entry)
{
    writeEntry(*m_out, m_depth, entry);
}

void Writer::entry(const DocumentEntry& entry)
{
    writeEntry(*m_out, m_depth, entry);
}

void Writer::endGroup()
{
    m_out->indent(m_depth);
    m_out->raw("</Group>\n");
    --m_depth;
}

bool Writer::finish()
{
    m_out->raw("</Root>\n</KeePassFile>\n");
    return m_out->flush();
}

const Replacements& Writer::replacements() const
{
    return m_out->replacements();
}

} // namespace KeePassXml
