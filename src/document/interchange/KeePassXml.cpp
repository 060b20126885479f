#include "document/interchange/KeePassXml.h"

#include <QUuid>

#include <pugixml.hpp>

#include <cstring>

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

// Iterative, so a deeply nested hostile file cannot exhaust the stack.
void readGroup(const pugi::xml_node& rootElement, ForeignGroup& root, NotCarried& notCarried)
{
    std::vector<std::pair<pugi::xml_node, ForeignGroup*>> pending{{rootElement, &root}};
    while (!pending.empty()) {
        const auto [element, group] = pending.back();
        pending.pop_back();
        if (element.child("CustomIconUUID"))
            ++notCarried.customIcons;
        for (const pugi::xml_node& child : element.children()) {
            if (named(child, "Entry")) {
                group->entries.push_back(readEntry(child, notCarried));
            } else if (named(child, "Group")) {
                group->groups.push_back(ForeignGroup{textOf(child.child("Name")), {}, {}});
                pending.emplace_back(child, &group->groups.back());
            }
        }
    }
}

qsizetype lineAt(const QByteArray& text, ptrdiff_t offset)
{
    return text.first(std::clamp<qsizetype>(offset, 0, text.size())).count('\n') + 1;
}

QByteArray newUuid()
{
    return QUuid::createUuid().toRfc4122().toBase64();
}

void appendText(pugi::xml_node parent, const char* name, const QString& text)
{
    parent.append_child(name).text().set(text.toUtf8().constData());
}

void appendString(pugi::xml_node entry, const char* key, const QString& value)
{
    pugi::xml_node string = entry.append_child("String");
    string.append_child("Key").text().set(key);
    appendText(string, "Value", value);
}

void writeGroup(pugi::xml_node element, const ForeignGroup& root)
{
    std::vector<std::pair<pugi::xml_node, const ForeignGroup*>> pending{{element, &root}};
    while (!pending.empty()) {
        auto [node, group] = pending.back();
        pending.pop_back();
        node.append_child("UUID").text().set(newUuid().constData());
        appendText(node, "Name", group->name);
        for (const ForeignEntry& entry : group->entries) {
            pugi::xml_node out = node.append_child("Entry");
            out.append_child("UUID").text().set(newUuid().constData());
            appendString(out, "Title", entry.title);
            appendString(out, "UserName", entry.userName);
            appendString(out, "Password", entry.password);
            appendString(out, "URL", entry.url);
            appendString(out, "Notes", entry.notes);
            for (const auto& [key, value] : entry.extras)
                appendString(out, key.toUtf8().constData(), value);
        }
        for (const ForeignGroup& subgroup : group->groups)
            pending.emplace_back(node.append_child("Group"), &subgroup);
    }
}

class DeviceWriter final : public pugi::xml_writer {
public:
    explicit DeviceWriter(QIODevice& device)
        : m_device(device)
    {
    }
    void write(const void* data, size_t size) override
    {
        m_ok = m_device.write(static_cast<const char*>(data), qint64(size)) == qint64(size) && m_ok;
    }
    bool ok() const { return m_ok; }

private:
    QIODevice& m_device;
    bool m_ok = true;
};

} // namespace

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
    readGroup(rootGroup, root, notCarried);
    return true;
}

bool write(QIODevice& device, const ForeignGroup& root)
{
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "utf-8";
    declaration.append_attribute("standalone") = "yes";
    pugi::xml_node file = document.append_child("KeePassFile");
    file.append_child("Meta").append_child("Generator").text().set("Zantrove");
    writeGroup(file.append_child("Root").append_child("Group"), root);
    DeviceWriter writer(device);
    document.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
    return writer.ok();
}

} // namespace KeePassXml
