#include "document/DataDocument.h"

#include "datafile/TextEncoding.h"

#include <cstring>
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

} // namespace

DataDocument::DataDocument()
    : m_document(std::make_unique<pugi::xml_document>())
{
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
    return withCrLfLines(writer.bytes);
}

bool DataDocument::loadText(QByteArray text, QString* error)
{
    text = TextEncoding::toUtf8(std::move(text));
    auto parsed = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        parsed->load_buffer(text.constData(), static_cast<size_t>(text.size()), ParseOptions, pugi::encoding_utf8);
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
    if (text.contains("<![CDATA["))
        convertCdataToText(first);
    m_document = std::move(parsed);
    return true;
}
