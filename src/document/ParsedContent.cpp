#include "document/ParsedContent.h"

#include "base/SecureWipe.h"
#include "base/TextEncoding.h"
#include "document/Schema.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

bool isContainer(const pugi::xml_node& element)
{
    return Schema::isGroup(element) || Schema::isRecord(element)
           || std::strcmp(element.name(), Schema::DataElement) == 0;
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
    const bool besideElements = static_cast<bool>(
        parent.find_child([](const pugi::xml_node& child) { return child.type() == pugi::node_element; }));
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
// not UTF-8: saved as they are, they would make the whole file read back in
// the code page of older files, so each becomes U+FFFD here instead.
void repairCharacterReferences(pugi::xml_node node)
{
    const bool holdsText = node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata
                           || (node.type() == pugi::node_element && *node.value() != '\0');
    if (holdsText)
        repairText(node.text());
    for (pugi::xml_attribute attribute : node.attributes())
        repairAttribute(attribute);
}

} // namespace

namespace ParsedContent {

Survey survey(pugi::xml_node root, bool repairReferences)
{
    Survey found;
    int level = 0;
    for (pugi::xml_node n = root;;) {
        if (repairReferences)
            repairCharacterReferences(n);
        if (n.type() == pugi::node_element)
            found.levels = std::max(found.levels, level);
        else if (n.type() == pugi::node_cdata)
            found.sections.push_back(n);
        if (textNeedsOwnNode(n))
            found.textHolders.push_back(n);
        if (isTextNode(n) && (n.type() == pugi::node_cdata || n.previous_sibling() || n.next_sibling()))
            found.textParents.push_back(n.parent());
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
    return found;
}

void normalise(Survey& survey)
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

} // namespace ParsedContent
