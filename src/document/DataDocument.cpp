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

// Writes the serialised text into a byte array as pugixml produces it, with
// the stored line endings. Line breaks can only come from text content:
// pugixml escapes them in attributes. CR LF pairs stay as they are (they end
// lines); a lone CR or LF becomes a character reference so that it survives
// the CR LF line ending of the stored form. pugixml hands over a run of text
// in one piece, so a pair is not split between chunks; were it split, each
// half would become a reference and the value still read back the same.
// finish() ends the last line.
class StoredTextWriter final : public pugi::xml_writer {
public:
    // expectedSize: about how long the text will be, so that it is rarely
    // moved while it grows.
    StoredTextWriter(QByteArray& out, qsizetype expectedSize)
        : m_out(out)
    {
        reserveRoom(expectedSize + 2);
    }

    void write(const void* data, size_t size) override
    {
        // Each byte becomes at most a five-byte reference.
        reserveRoom(static_cast<qsizetype>(size) * 5);
        const char* p = static_cast<const char*>(data);
        const char* end = p + size;
        // The next CR and the next LF, each looked for once.
        const char* cr = find(p, end, '\r');
        const char* lf = find(p, end, '\n');
        while (p < end) {
            const char* brk = std::min(cr, lf);
            m_out.append(p, brk - p);
            if (brk == end)
                return;
            if (brk == cr && lf == cr + 1) {
                m_out.append("\r\n", 2);
                p = brk + 2;
            } else {
                m_out.append(brk == cr ? "&#13;" : "&#10;");
                p = brk + 1;
            }
            if (cr < p)
                cr = find(p, end, '\r');
            if (lf < p)
                lf = find(p, end, '\n');
        }
    }

    void finish()
    {
        reserveRoom(2);
        m_out.append("\r\n", 2);
    }

private:
    static const char* find(const char* from, const char* end, char c)
    {
        const void* at = std::memchr(from, c, static_cast<size_t>(end - from));
        return at ? static_cast<const char*>(at) : end;
    }

    // Grows the text by hand rather than letting append() reallocate, which
    // would leave the text written so far behind in freed memory.
    void reserveRoom(qsizetype bytes)
    {
        if (m_out.capacity() - m_out.size() >= bytes)
            return;
        QByteArray grown;
        grown.reserve(std::max(2 * m_out.capacity(), m_out.size() + bytes));
        grown.append(m_out);
        SecureWipe::wipe(m_out);
        m_out = std::move(grown);
    }

    QByteArray& m_out;
};

bool isContainer(const pugi::xml_node& element)
{
    // Asked of every element with text: the first letter settles most.
    const char* name = element.name();
    switch (name[0]) {
    case 'd':
        return std::strcmp(name, "data") == 0;
    case 'f':
        return std::strcmp(name, "folder") == 0;
    case 'r':
        return std::strcmp(name, "record") == 0;
    default:
        return false;
    }
}

// Text that parsing kept in an element goes back into a node of its own when
// the element holds more than text, or may later (a group or record gains
// children): "the first child node" then means what it says.
bool textNeedsOwnNode(const pugi::xml_node& element)
{
    return element.type() == pugi::node_element && *element.value() != '\0'
           && (element.first_child() || isContainer(element));
}

bool isTextNode(const pugi::xml_node& node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// The stored form writes spaces, tabs and CR LF pairs as they are; a lone CR
// or LF becomes a reference.
bool writtenAsBareWhitespace(const QByteArray& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == ' ' || text[i] == '\t')
            continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

// Adjacent text nodes under parent become one, as they read back after a
// save. A run that would be written as bare whitespace beside elements is
// dropped, as reading it back would drop it, and so is an empty one, and any
// outside every element (a CDATA section after the data element).
void mergeTextRuns(pugi::xml_node parent)
{
    const bool outsideElements = parent.type() == pugi::node_document;
    const bool besideElements = static_cast<bool>(parent.find_child([](const pugi::xml_node& child) {
        return child.type() == pugi::node_element;
    }));
    for (pugi::xml_node run = parent.first_child(); run;) {
        pugi::xml_node next = run.next_sibling();
        if (run.type() != pugi::node_pcdata) {
            run = next;
            continue;
        }
        QByteArray text(run.value());
        const bool merged = next.type() == pugi::node_pcdata;
        while (next.type() == pugi::node_pcdata) {
            text += next.value();
            parent.remove_child(next);
            next = run.next_sibling();
        }
        if (outsideElements || text.isEmpty() || (besideElements && writtenAsBareWhitespace(text)))
            parent.remove_child(run);
        else if (merged)
            run.set_value(text.constData());
        SecureWipe::wipe(text);
        run = next;
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

void repairAttribute(pugi::xml_attribute attribute)
{
    if (std::optional<QByteArray> repaired = repairedUtf8(attribute.value())) {
        attribute.set_value(repaired->constData());
        SecureWipe::wipe(*repaired);
    }
}

void repairText(pugi::xml_text text)
{
    if (std::optional<QByteArray> repaired = repairedUtf8(text.get())) {
        text.set(repaired->constData());
        SecureWipe::wipe(*repaired);
    }
}

// pugixml turns every numeric character reference into bytes, also one that
// names no character (a surrogate, a number beyond U+10FFFF). Those bytes are
// not UTF-8: saved as they are, they would make the whole file read back as
// Windows-1252, so each becomes U+FFFD here instead.
void repairCharacterReferences(pugi::xml_node node)
{
    const bool holdsText = node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata
                           || (node.type() == pugi::node_element && *node.value() != '\0');
    if (holdsText)
        repairText(node.text());
    for (pugi::xml_attribute attribute : node.attributes())
        repairAttribute(attribute);
}

// What one walk over freshly parsed content finds: how deep its elements nest
// (the children of the root at level 1) and the nodes normaliseContent changes.
struct ContentSurvey {
    int levels = 0;
    std::vector<pugi::xml_node> sections;
    std::vector<pugi::xml_node> textHolders;
    std::vector<pugi::xml_node> textParents;
};

// The walk also repairs character references on the way when the text held
// any, so a large file is walked once.
ContentSurvey surveyContent(pugi::xml_node root, bool repairReferences)
{
    ContentSurvey survey;
    int level = 0;
    for (pugi::xml_node n = root;;) {
        if (repairReferences)
            repairCharacterReferences(n);
        if (n.type() == pugi::node_element)
            survey.levels = std::max(survey.levels, level);
        else if (n.type() == pugi::node_cdata)
            survey.sections.push_back(n);
        if (textNeedsOwnNode(n))
            survey.textHolders.push_back(n);
        if (isTextNode(n) && (n.type() == pugi::node_cdata || n.previous_sibling() || n.next_sibling()))
            survey.textParents.push_back(n.parent());
        if (n.first_child()) {
            n = n.first_child();
            ++level;
            continue;
        }
        while (n != root && !n.next_sibling()) {
            n = n.parent();
            --level;
        }
        if (n == root)
            break;
        n = n.next_sibling();
    }
    return survey;
}

// Brings parsed content into the shape the rest of the program relies on and
// that reads back the same after a save: text kept in elements as above; CDATA
// sections as plain text of the same value, so the writer above only ever
// meets line breaks in escaped text; runs of text as mergeTextRuns leaves them.
// A file the program wrote has none of these, and so nothing to change.
void normaliseContent(ContentSurvey& survey)
{
    for (pugi::xml_node element : survey.textHolders) {
        element.prepend_child(pugi::node_pcdata).set_value(element.value());
        element.text().set("");
        survey.textParents.push_back(element);
    }
    for (pugi::xml_node section : survey.sections) {
        pugi::xml_node parent = section.parent();
        parent.insert_child_before(pugi::node_pcdata, section).set_value(section.value());
        parent.remove_child(section);
    }
    std::vector<pugi::xml_node>& parents = survey.textParents;
    std::sort(parents.begin(), parents.end());
    parents.erase(std::unique(parents.begin(), parents.end()), parents.end());
    for (pugi::xml_node parent : parents)
        mergeTextRuns(parent);
}

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
    QByteArray text;
    appendText(text);
    return text;
}

void DataDocument::appendText(QByteArray& out) const
{
    // A document read from a file is written back at about the size it had.
    StoredTextWriter writer(out, m_buffer.size() + m_buffer.size() / 16);
    m_document->save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    writer.finish();
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
    const bool hasCharacterReferences =
        memmem(utf8.constData(), static_cast<size_t>(utf8.size()), "&#", 2) != nullptr;
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
    // The whole document, as all of it is saved again: what may follow the data
    // element too. Its top-level nodes, `data` among them, are at level 1.
    ContentSurvey survey = surveyContent(*parsed, hasCharacterReferences);
    if (survey.levels - 1 > MaxNesting)
        return refuse(QStringLiteral("elements nested more than %1 levels deep").arg(MaxNesting));
    normaliseContent(survey);
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
