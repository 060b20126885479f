#include "document/interchange/KeePassXml.h"

#include "datafile/SecureWipe.h"
#include "document/DataDocument.h"

#include <QRandomGenerator>

#include <pugixml.hpp>

#include <cstring>
#include <optional>

namespace KeePassXml {

namespace {

bool named(const pugi::xml_node& node, const char* name)
{
    return std::strcmp(node.name(), name) == 0;
}

QString textOf(const pugi::xml_node& element)
{
    return QString::fromUtf8(element.child_value());
}

void countEntryExtras(const pugi::xml_node& entry, NotCarried& notCarried)
{
    for (const pugi::xml_node& child : entry.children()) {
        if (named(child, "Binary"))
            ++notCarried.attachments;
        else if (named(child, "History"))
            notCarried.historyEntries += int(std::distance(child.children("Entry").begin(), child.children("Entry").end()));
        else if (named(child, "CustomIconUUID"))
            ++notCarried.customIcons;
        else if (named(child, "Tags") && *child.child_value() != '\0')
            ++notCarried.tagged;
        else if (named(child, "Times") && QByteArray(child.child_value("Expires")).compare("true", Qt::CaseInsensitive) == 0)
            ++notCarried.expiryDates;
    }
}

ForeignEntry readEntry(const pugi::xml_node& element, NotCarried& notCarried)
{
    ForeignEntry entry;
    QString* const usual[] = {&entry.title, &entry.userName, &entry.password, &entry.url, &entry.notes};
    const char* const usualKeys[] = {"Title", "UserName", "Password", "URL", "Notes"};
    for (const pugi::xml_node& string : element.children("String")) {
        const char* key = string.child_value("Key");
        QString value = textOf(string.child("Value"));
        const auto known = std::find_if(std::begin(usualKeys), std::end(usualKeys),
                                        [&](const char* usualKey) { return std::strcmp(key, usualKey) == 0; });
        if (known != std::end(usualKeys))
            *usual[known - std::begin(usualKeys)] = std::move(value);
        else
            entry.extras.append({QString::fromUtf8(key), std::move(value)});
    }
    countEntryExtras(element, notCarried);
    return entry;
}

// Iterative, so a deeply nested hostile file cannot exhaust the stack; false
// for groups nested deeper than a data document may hold them.
bool readGroup(const pugi::xml_node& rootElement, ForeignGroup& root, NotCarried& notCarried)
{
    struct Pending {
        pugi::xml_node element;
        ForeignGroup* group;
        int depth;
    };
    std::vector<Pending> pending{{rootElement, &root, 1}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        if (next.element.child("CustomIconUUID"))
            ++notCarried.customIcons;
        for (const pugi::xml_node& child : next.element.children()) {
            if (named(child, "Entry")) {
                next.group->entries.push_back(readEntry(child, notCarried));
            } else if (named(child, "Group")) {
                if (next.depth >= DataDocument::MaxNesting)
                    return false;
                next.group->groups.push_back(ForeignGroup{textOf(child.child("Name")), {}, {}});
                pending.push_back({child, &next.group->groups.back(), next.depth + 1});
            }
        }
    }
    return true;
}

qsizetype lineAt(const QByteArray& text, ptrdiff_t offset)
{
    return text.first(std::clamp<qsizetype>(offset, 0, text.size())).count('\n') + 1;
}

// Fresh for every export; other managers want one per group and entry.
QByteArray newUuid()
{
    quint32 words[4];
    QRandomGenerator::global()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toBase64();
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
// Every copy of a value it makes is wiped once written: the buffer never
// grows into a new allocation and leaves an old one behind.
class XmlStream {
public:
    explicit XmlStream(QIODevice& device)
        : m_device(device)
    {
        m_buffer.reserve(FlushSize);
    }
    ~XmlStream() { SecureWipe::wipe(m_buffer); }
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    void raw(QByteArrayView text)
    {
        if (m_buffer.size() + text.size() > FlushSize)
            flush();
        if (text.size() > FlushSize)
            m_ok = m_device.write(text.data(), text.size()) == text.size() && m_ok;
        else
            m_buffer += text;
    }
    // The entry or group whose texts follow, named when one must be changed;
    // left before place goes.
    void enter(const QString& place) { m_place = &place; }
    void leave() { m_place = nullptr; }
    void element(const char* name, const QString& text)
    {
        QByteArray utf8 = xmlText(text);
        element(name, utf8);
        SecureWipe::wipe(utf8);
    }
    void element(const char* name, const QByteArray& utf8)
    {
        raw("<");
        raw(name);
        raw(">");
        escaped(utf8);
        raw("</");
        raw(name);
        raw(">");
    }
    void string(const char* key, const QString& value) { keyedValue(QByteArray(key), value); }
    void string(const QString& key, const QString& value)
    {
        QByteArray utf8 = xmlText(key);
        keyedValue(utf8, value);
        SecureWipe::wipe(utf8);
    }
    bool flush()
    {
        m_ok = m_device.write(m_buffer) == m_buffer.size() && m_ok;
        SecureWipe::wipe(m_buffer); // keeps the allocation for the next piece
        return m_ok;
    }
    const Replacements& replacements() const { return m_replacements; }

private:
    static constexpr qsizetype FlushSize = 1024 * 1024;

    void keyedValue(const QByteArray& key, const QString& value)
    {
        raw("<String><Key>");
        escaped(key);
        raw("</Key>");
        element("Value", value);
        raw("</String>");
    }

    QByteArray xmlText(const QString& text)
    {
        std::optional<QString> cleaned = withoutForbiddenCharacters(text);
        if (!cleaned)
            return text.toUtf8();
        if (m_replacements.texts++ == 0 && m_place)
            m_replacements.firstPlace = withoutForbiddenCharacters(*m_place).value_or(*m_place);
        QByteArray utf8 = cleaned->toUtf8();
        SecureWipe::wipe(*cleaned);
        return utf8;
    }

    void escaped(const QByteArray& text)
    {
        qsizetype from = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char c = text.at(i);
            const char* replacement = c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '\r' ? "&#13;" : nullptr;
            if (!replacement)
                continue;
            raw(QByteArrayView(text).sliced(from, i - from));
            raw(replacement);
            from = i + 1;
        }
        raw(QByteArrayView(text).sliced(from));
    }

    QIODevice& m_device;
    QByteArray m_buffer;
    bool m_ok = true;
    const QString* m_place = nullptr;
    Replacements m_replacements;
};

bool read(const QByteArray& text, ForeignGroup& root, NotCarried& notCarried, QString* error)
{
    const auto refuse = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(text.constData(), size_t(text.size()), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!parsed)
        return refuse(QStringLiteral("line %1: %2").arg(lineAt(text, parsed.offset)).arg(parsed.description()));
    const pugi::xml_node file = document.document_element();
    if (!named(file, "KeePassFile"))
        return refuse(QStringLiteral("the document element is <%1>, not <KeePassFile>").arg(QString::fromUtf8(file.name())));
    const pugi::xml_node rootElement = file.child("Root");
    if (!rootElement)
        return refuse(QStringLiteral("<KeePassFile> has no <Root>"));
    const pugi::xml_node rootGroup = rootElement.child("Group");
    if (!rootGroup)
        return refuse(QStringLiteral("<Root> has no <Group>"));
    if (!readGroup(rootGroup, root, notCarried)) {
        return refuse(QStringLiteral("<Group> nested more than %1 levels deep").arg(DataDocument::MaxNesting));
    }
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
    m_out->raw(QByteArray(m_depth, '\t'));
    m_out->raw("<Group>");
    m_out->element("UUID", newUuid());
    m_out->enter(name);
    m_out->element("Name", name);
    m_out->leave();
    m_out->raw("\n");
}

void Writer::entry(const ForeignEntry& entry)
{
    m_out->raw(QByteArray(m_depth, '\t'));
    m_out->raw("\t<Entry>");
    m_out->element("UUID", newUuid());
    m_out->enter(entry.title);
    m_out->string("Title", entry.title);
    m_out->string("UserName", entry.userName);
    m_out->string("Password", entry.password);
    m_out->string("URL", entry.url);
    m_out->string("Notes", entry.notes);
    for (const auto& [key, value] : entry.extras)
        m_out->string(key, value);
    m_out->leave();
    m_out->raw("</Entry>\n");
}

void Writer::endGroup()
{
    m_out->raw(QByteArray(m_depth, '\t'));
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
