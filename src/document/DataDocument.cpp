#include "document/DataDocument.h"

#include "datafile/SecureWipe.h"
#include "datafile/TextEncoding.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {

struct ByteArrayWriter final : pugi::xml_writer {
    QByteArray bytes;
    void write(const void* data, size_t size) override
    {
        bytes.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }
};

// Line breaks in the serialised text can only come from text content: pugixml
// escapes them in attributes. CR LF pairs stay as they are (they end lines);
// a lone CR or LF becomes a character reference so that it survives the
// CR LF line ending of the stored form. Then the last line gets its CR LF.
QByteArray withCrLfLines(const QByteArray& raw)
{
    QByteArray text;
    text.reserve(raw.size() + 2);
    const char* p = raw.constData();
    const char* end = p + raw.size();
    while (p < end) {
        const char* brk = p;
        while (brk < end && *brk != '\r' && *brk != '\n')
            ++brk;
        text.append(p, brk - p);
        if (brk == end)
            break;
        if (brk[0] == '\r' && brk + 1 < end && brk[1] == '\n') {
            text.append("\r\n", 2);
            p = brk + 2;
        } else {
            text.append(brk[0] == '\r' ? "&#13;" : "&#10;");
            p = brk + 1;
        }
    }
    text.append("\r\n", 2);
    return text;
}

// CDATA sections become plain text of the same value, so the writer above only
// ever meets line breaks in escaped text.
void convertCdataToText(pugi::xml_node node)
{
    std::vector<pugi::xml_node> sections;
    for (pugi::xml_node n = node.first_child(); n;) {
        if (n.type() == pugi::node_cdata)
            sections.push_back(n);
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && !n.next_sibling() && n != node)
            n = n.parent();
        if (!n || n == node)
            break;
        n = n.next_sibling();
    }
    for (pugi::xml_node section : sections) {
        pugi::xml_node parent = section.parent();
        parent.insert_child_before(pugi::node_pcdata, section).set_value(section.value());
        parent.remove_child(section);
    }
}

// The UTF-8 form of text with every sequence that is not UTF-8 replaced by
// U+FFFD; nothing when text is UTF-8 already.
std::optional<QByteArray> repairedUtf8(const char* text)
{
    const QByteArray bytes = QByteArray::fromRawData(text, static_cast<qsizetype>(std::strlen(text)));
    if (TextEncoding::isValidUtf8(bytes))
        return std::nullopt;
    QString decoded = QString::fromUtf8(bytes);
    QByteArray repaired = decoded.toUtf8();
    SecureWipe::wipe(decoded);
    return repaired;
}

template <typename Item>
void repairValue(Item item)
{
    if (std::optional<QByteArray> repaired = repairedUtf8(item.value())) {
        item.set_value(repaired->constData());
        SecureWipe::wipe(*repaired);
    }
}

// pugixml turns every numeric character reference into bytes, also one that
// names no character (a surrogate, a number beyond U+10FFFF). Those bytes are
// not UTF-8: saved as they are, they would make the whole file read back as
// Windows-1252, so each becomes U+FFFD here instead.
struct CharacterReferenceRepair final : pugi::xml_tree_walker {
    bool for_each(pugi::xml_node& node) override
    {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            repairValue(node);
        for (pugi::xml_attribute attribute : node.attributes())
            repairValue(attribute);
        return true;
    }
};

void* allocateBlock(size_t size)
{
    return std::malloc(size);
}

void freeWiped(void* block)
{
    if (block)
        SecureWipe::wipe(block, malloc_usable_size(block));
    std::free(block);
}

// pugixml's parse buffers and pages hold deciphered text; every block it frees
// is zeroed first, so a document dropped after a password test, replaced by
// another file or ended with the program leaves nothing readable behind. The
// blocks come from malloc either way, so documents allocated before this was
// installed are freed correctly too.
void installWipingAllocator()
{
    [[maybe_unused]] static const bool installed = [] {
        pugi::set_memory_management_functions(allocateBlock, freeWiped);
        return true;
    }();
}

} // namespace

DataDocument::DataDocument()
{
    installWipingAllocator();
    m_document = std::make_unique<pugi::xml_document>();
    clear();
}

DataDocument::~DataDocument()
{
    replaceContent(nullptr, QByteArray());
}

void DataDocument::clear()
{
    auto empty = std::make_unique<pugi::xml_document>();
    empty->append_child("data");
    replaceContent(std::move(empty), QByteArray());
}

void DataDocument::replaceContent(std::unique_ptr<pugi::xml_document> document, QByteArray buffer)
{
    m_document = std::move(document);
    SecureWipe::wipe(m_buffer);
    m_buffer = std::move(buffer);
}

pugi::xml_node DataDocument::root() const
{
    return m_document->document_element();
}

QByteArray DataDocument::toText() const
{
    ByteArrayWriter writer;
    m_document->save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    QByteArray text = withCrLfLines(writer.bytes);
    SecureWipe::wipe(writer.bytes);
    return text;
}

bool DataDocument::loadText(QByteArray text, QString* error)
{
    QByteArray utf8 = TextEncoding::toUtf8(text);
    // A converted original is ours to wipe; an unconverted one is released so
    // that the buffer below is not shared, and parsing in it copies nothing.
    if (utf8.constData() != text.constData())
        SecureWipe::wipe(text);
    text = QByteArray();
    // Parsing rewrites the buffer, so what it holds is looked at first.
    const bool hasCdata = utf8.contains("<![CDATA[");
    const bool hasCharacterReferences = utf8.contains("&#");
    auto parsed = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        parsed->load_buffer_inplace(utf8.data(), static_cast<size_t>(utf8.size()), ParseOptions, pugi::encoding_utf8);
    const auto refuse = [&](const QString& reason) {
        if (error)
            *error = reason;
        parsed.reset();
        SecureWipe::wipe(utf8);
        return false;
    };
    if (!result)
        return refuse(QString::fromUtf8(result.description()));
    const pugi::xml_node first = parsed->first_child();
    if (first.type() != pugi::node_element || std::strcmp(first.name(), "data") != 0)
        return refuse(QStringLiteral("the document has no data element"));
    if (levelsBelow(first) > MaxNesting)
        return refuse(QStringLiteral("elements nested more than %1 levels deep").arg(MaxNesting));
    if (hasCdata)
        convertCdataToText(first);
    if (hasCharacterReferences) {
        CharacterReferenceRepair repair;
        parsed->traverse(repair);
    }
    replaceContent(std::move(parsed), std::move(utf8));
    return true;
}

int DataDocument::levelsBelow(const pugi::xml_node& element)
{
    int deepest = 0;
    int level = 0;
    pugi::xml_node node = element;
    for (;;) {
        if (const pugi::xml_node child = node.first_child()) {
            node = child;
            ++level;
        } else {
            while (node != element && !node.next_sibling()) {
                node = node.parent();
                --level;
            }
            if (node == element)
                return deepest;
            node = node.next_sibling();
        }
        if (node.type() == pugi::node_element)
            deepest = std::max(deepest, level);
    }
}

int DataDocument::levelOf(const pugi::xml_node& node)
{
    int level = 0;
    for (pugi::xml_node above = node.parent(); above.type() == pugi::node_element; above = above.parent())
        ++level;
    return level;
}
