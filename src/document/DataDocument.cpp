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

DataDocument::~DataDocument() = default;

void DataDocument::clear()
{
    m_document->reset();
    m_document->append_child("data");
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
    QByteArray utf8 = TextEncoding::toUtf8(std::move(text));
    auto parsed = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        parsed->load_buffer(utf8.constData(), static_cast<size_t>(utf8.size()), ParseOptions, pugi::encoding_utf8);
    const bool hasCdata = utf8.contains("<![CDATA[");
    const bool hasCharacterReferences = utf8.contains("&#");
    // A converted copy is ours to wipe; the caller wipes what it passed in.
    SecureWipe::wipe(utf8);
    if (!result) {
        if (error)
            *error = QString::fromUtf8(result.description());
        return false;
    }
    const pugi::xml_node first = parsed->first_child();
    if (first.type() != pugi::node_element || std::strcmp(first.name(), "data") != 0) {
        if (error)
            *error = QStringLiteral("the document has no data element");
        return false;
    }
    if (levelsBelow(first) > MaxNesting) {
        if (error)
            *error = QStringLiteral("elements nested more than %1 levels deep").arg(MaxNesting);
        return false;
    }
    if (hasCdata)
        convertCdataToText(first);
    if (hasCharacterReferences) {
        CharacterReferenceRepair repair;
        parsed->traverse(repair);
    }
    m_document = std::move(parsed);
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
