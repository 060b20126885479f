#include "document/DataDocument.h"

#include "base/SecureWipe.h"
#include "base/TextEncoding.h"
#include "document/ParsedContent.h"
#include "document/StoredTextWriter.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// What pugixml may still allocate for the tree of the text being parsed; no
// limit outside parsing.
thread_local std::optional<size_t> treeAllowance;

void* allocateBlock(size_t size)
{
    if (treeAllowance) {
        if (size > *treeAllowance)
            return nullptr;
        *treeAllowance -= size;
    }
    return std::malloc(size);
}

// Limits the tree of one parse to what its text may need.
class TreeAllowance {
public:
    explicit TreeAllowance(qsizetype textSize)
    {
        treeAllowance = std::max<size_t>(DataDocument::MinTreeAllowance,
                                         static_cast<size_t>(textSize) * DataDocument::MaxTreeSizeFactor);
    }
    ~TreeAllowance() { treeAllowance.reset(); }
    TreeAllowance(const TreeAllowance&) = delete;
    TreeAllowance& operator=(const TreeAllowance&) = delete;
};

void freeWiped(void* block)
{
    if (block)
        SecureWipe::wipe(block, malloc_usable_size(block));
    std::free(block);
}

// pugixml's pages hold the nodes and every value set after parsing, that is
// deciphered text; every block it frees is zeroed first, so a document dropped
// after a password test, replaced by another file or ended with the program
// leaves nothing readable behind. The blocks come from malloc either way, so
// documents allocated before this was installed are freed correctly too.
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
    m_setAside = pugi::xml_node();
    SecureWipe::wipe(m_buffer);
    m_buffer = std::move(buffer);
}

void DataDocument::swap(DataDocument& other) noexcept
{
    std::swap(m_document, other.m_document);
    std::swap(m_buffer, other.m_buffer);
    std::swap(m_setAside, other.m_setAside);
}

pugi::xml_node DataDocument::root() const
{
    return m_document->document_element();
}

QByteArray DataDocument::toText() const
{
    QByteArray text;
    appendText(text);
    return text;
}

void DataDocument::appendText(QByteArray& out) const
{
    // A document read from a file is written back at about the size it had.
    WipingByteArrayWriter bytes(out, m_buffer.size() + m_buffer.size() / 16 + 2);
    writeText(bytes);
}

void DataDocument::writeText(pugi::xml_writer& destination) const
{
    StoredTextWriter writer(destination);
    // Node by node, as the whole document would be written, leaving out what is kept for undo.
    for (const pugi::xml_node& node : m_document->children()) {
        if (node != m_setAside)
            node.print(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    }
    writer.finish();
}

pugi::xml_node DataDocument::setAsideArea()
{
    // Known by its handle, not its name: a loaded document may hold anything after `data`.
    if (!m_setAside)
        m_setAside = m_document->append_child("set-aside");
    return m_setAside;
}

void DataDocument::setAside(pugi::xml_node node)
{
    setAsideArea().append_move(node);
}

void DataDocument::putBack(pugi::xml_node node, pugi::xml_node parent, pugi::xml_node next)
{
    if (next)
        parent.insert_move_before(node, next);
    else
        parent.append_move(node);
}

void DataDocument::discard(pugi::xml_node node)
{
    setAsideArea().remove_child(node);
}

pugi::xml_node DataDocument::keepCopy(const pugi::xml_node& original, bool withContent)
{
    if (withContent)
        return setAsideArea().append_copy(original);
    pugi::xml_node copy = setAsideArea().append_child(original.name());
    for (const pugi::xml_attribute& attribute : original.attributes())
        copy.append_copy(attribute);
    return copy;
}

bool DataDocument::loadText(QByteArray text, QString* error)
{
    // Text converted from 8-bit grows, its markup does not.
    const qsizetype textSize = text.size();
    QByteArray utf8 = TextEncoding::toUtf8(text);
    // A converted original is ours to wipe; an unconverted one is released so
    // that the buffer below is not shared, and parsing in it copies nothing.
    if (utf8.constData() != text.constData())
        SecureWipe::wipe(text);
    text = QByteArray();
    // Parsing rewrites the buffer, so what it holds is looked at first.
    const bool hasCharacterReferences = TextEncoding::indexOfCharacterReference(utf8) >= 0;
    auto parsed = std::make_unique<pugi::xml_document>();
    pugi::xml_parse_result result;
    {
        // Only the tree the text makes is limited, not later changes to it.
        const TreeAllowance allowance(textSize);
        result = parsed->load_buffer_inplace(utf8.data(), static_cast<size_t>(utf8.size()), ParseOptions,
                                             pugi::encoding_utf8);
    }
    const auto refuse = [&](const QString& reason) {
        if (error)
            *error = reason;
        parsed.reset();
        SecureWipe::wipe(utf8);
        return false;
    };
    if (result.status == pugi::status_out_of_memory)
        return refuse(QStringLiteral("the tree would take more than %1 times the text's size").arg(MaxTreeSizeFactor));
    if (!result)
        return refuse(QString::fromUtf8(result.description()));
    const pugi::xml_node first = parsed->first_child();
    if (first.type() != pugi::node_element || std::strcmp(first.name(), "data") != 0)
        return refuse(QStringLiteral("the document has no data element"));
    // The whole document, as all of it is saved again: what may follow the data
    // element too. Its top-level nodes, `data` among them, are at level 1.
    ParsedContent::Survey survey = ParsedContent::survey(*parsed, hasCharacterReferences);
    if (survey.levels - 1 > MaxNesting)
        return refuse(QStringLiteral("elements nested more than %1 levels deep").arg(MaxNesting));
    ParsedContent::normalise(survey);
    replaceContent(std::move(parsed), std::move(utf8));
    return true;
}

const char* DataDocument::onlyText(const pugi::xml_node& element)
{
    const pugi::xml_node child = element.first_child();
    if (!child)
        return *element.value() != '\0' ? element.value() : nullptr;
    if (child.type() == pugi::node_pcdata && !child.next_sibling())
        return child.value();
    return nullptr;
}

void DataDocument::clearContent(pugi::xml_node element)
{
    element.remove_children();
    // Setting text on an element without any would add an empty node.
    if (*element.value() != '\0')
        element.text().set("");
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
