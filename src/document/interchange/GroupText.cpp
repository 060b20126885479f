#include "document/interchange/GroupText.h"

#include "base/FilledBuffer.h"
#include "base/SecureWipe.h"
#include "document/DataDocument.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr QByteArrayView GroupEnd("</folder>");

// How each ASCII character is written in a value, as the document writes it
// (size 0: as itself). Control characters become references of two digits at
// least; NUL, which no reference can stand for, becomes U+FFFD as reading
// makes it. Element text keeps tabs and CR LF pairs, and only a lone CR or LF
// becomes a reference, as the stored form ends its lines with CR LF.
class References {
public:
    explicit References(GroupText::Place place)
        : m_keepsLineBreaks(place == GroupText::Place::Text)
    {
        for (int c = 0; c < 0x20; ++c)
            set(c, "&#" + QByteArray::number(c).rightJustified(2, '0') + ';');
        set(0, "\xEF\xBF\xBD");
        set('&', "&amp;");
        set('<', "&lt;");
        if (m_keepsLineBreaks) {
            set('>', "&gt;");
            set('\t', {});
        } else {
            set('"', "&quot;");
        }
    }

    QByteArrayView of(char16_t c) const { return {m_text[c], m_size[c]}; }
    // Whether the units at at are a CR LF pair kept as it stands.
    template <typename Unit>
    bool pairAt(const Unit* units, qsizetype at, qsizetype size) const
    {
        return m_keepsLineBreaks && units[at] == '\r' && at + 1 < size && units[at + 1] == '\n';
    }

private:
    void set(int c, const QByteArray& reference)
    {
        std::copy(reference.begin(), reference.end(), m_text[c]);
        m_size[c] = reference.size();
    }

    bool m_keepsLineBreaks;
    char m_text[0x80][8] = {};
    qsizetype m_size[0x80] = {};
};

const References& references(GroupText::Place place)
{
    static const References text(GroupText::Place::Text);
    static const References attribute(GroupText::Place::Attribute);
    return place == GroupText::Place::Text ? text : attribute;
}

constexpr QByteArrayView LineBreak("\r\n");

// Hands put text's UTF-8, escaped, piece by piece: once to measure it, once
// to write it, so the two never disagree.
template <typename Put>
void forEachEscapedPiece(QStringView text, const References& table, Put&& put)
{
    const qsizetype size = text.size();
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (unit < 0x80) {
            const QByteArrayView reference = table.of(unit);
            if (table.pairAt(units, i, size)) {
                put(LineBreak.data(), LineBreak.size());
                ++i;
            } else if (reference.isEmpty()) {
                const char byte = char(unit);
                put(&byte, 1);
            } else {
                put(reference.data(), reference.size());
            }
        } else if (unit < 0x800) {
            const char bytes[] = {char(0xC0 | (unit >> 6)), char(0x80 | (unit & 0x3F))};
            put(bytes, 2);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])) {
            const char32_t code = QChar::surrogateToUcs4(unit, units[++i]);
            const char bytes[] = {char(0xF0 | (code >> 18)), char(0x80 | ((code >> 12) & 0x3F)),
                                  char(0x80 | ((code >> 6) & 0x3F)), char(0x80 | (code & 0x3F))};
            put(bytes, 4);
        } else if (QChar::isSurrogate(unit)) {
            // Alone it is no character: written as Qt's own conversion writes it.
            const QByteArray converted = text.sliced(i, 1).toUtf8();
            put(converted.constData(), converted.size());
        } else {
            const char bytes[] = {char(0xE0 | (unit >> 12)), char(0x80 | ((unit >> 6) & 0x3F)),
                                  char(0x80 | (unit & 0x3F))};
            put(bytes, 3);
        }
    }
}

template <typename Put>
void forEachEscapedPiece(QByteArrayView utf8, const References& table, Put&& put)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const uchar c = uchar(utf8[i]);
        if (c >= 0x80 || table.of(c).isEmpty())
            continue;
        put(utf8.data() + from, i - from);
        if (table.pairAt(utf8.data(), i, utf8.size())) {
            put(LineBreak.data(), LineBreak.size());
            ++i;
        } else {
            put(table.of(c).data(), table.of(c).size());
        }
        from = i + 1;
    }
    put(utf8.data() + from, utf8.size() - from);
}

// Writes pieces one after another from at on.
class PieceWriter {
public:
    explicit PieceWriter(char* at)
        : m_at(at)
    {
    }
    void operator()(const char* bytes, qsizetype count)
    {
        std::memcpy(m_at, bytes, size_t(count));
        m_at += count;
    }

private:
    char* m_at;
};

} // namespace

GroupText::GroupText(QByteArrayView openingTag)
{
    m_groups.push_back({openingTag.toByteArray(), {}, TopLevel});
}

bool GroupText::groupFitsBelow(int level)
{
    return level < DataDocument::MaxNesting;
}

bool GroupText::entryFitsIn(int level)
{
    return level + 2 <= DataDocument::MaxNesting;
}

GroupText::~GroupText()
{
    for (Group& group : m_groups)
        SecureWipe::wipe(group.openingTag);
}

GroupText::Id GroupText::addGroup(Id parent, QByteArrayView openingTag)
{
    const Id added = Id(m_groups.size());
    const int level = m_groups.at(size_t(parent)).level + 1;
    m_groups.push_back({openingTag.toByteArray(), {}, level});
    m_groups[size_t(parent)].parts.push_back({{}, added});
    return added;
}

// Runs follow each other in the arena as they are written, so a group
// written without another in between grows one run.
char* GroupText::roomAtEnd(Id group, qsizetype size)
{
    std::vector<Part>& parts = m_groups[size_t(group)].parts;
    if (!parts.empty() && parts.back().child < 0) {
        TextArena::Run& run = parts.back().text;
        const qsizetype end = run.size;
        if (m_arena.extend(run, size))
            return run.data + end;
    }
    parts.push_back({m_arena.start(size), -1});
    return parts.back().text.data;
}

void GroupText::write(Id group, QByteArrayView markup)
{
    if (!markup.isEmpty())
        std::memcpy(roomAtEnd(group, markup.size()), markup.data(), size_t(markup.size()));
}

void GroupText::writeEscaped(Id group, QStringView text)
{
    if (const qsizetype size = escapedSize(text); size > 0)
        forEachEscapedPiece(text, references(Place::Text), PieceWriter(roomAtEnd(group, size)));
}

qsizetype GroupText::escapedSize(QStringView text)
{
    qsizetype size = 0;
    forEachEscapedPiece(text, references(Place::Text), [&size](const char*, qsizetype count) { size += count; });
    return size;
}

void GroupText::assemble(Id group, QByteArray& out)
{
    Group& assembled = m_groups[size_t(group)];
    // Closed in its start tag when empty, as the document writes it.
    if (assembled.parts.empty()) {
        out.append(QByteArrayView(assembled.openingTag).chopped(1)).append("/>");
        return;
    }
    out.append(assembled.openingTag);
    for (Part& part : assembled.parts) {
        if (part.child >= 0)
            assemble(part.child, out);
        out.append(part.text.data, part.text.size);
        m_arena.release(part.text);
    }
    out.append(GroupEnd);
}

QByteArray GroupText::take(QByteArrayView before, QByteArrayView after)
{
    QByteArray text;
    appendTo(text, before, after);
    return text;
}

void GroupText::appendTo(QByteArray& out, QByteArrayView before, QByteArrayView after)
{
    qsizetype size = before.size() + after.size();
    for (const Group& group : m_groups) {
        size += group.openingTag.size() + GroupEnd.size();
        for (const Part& part : group.parts)
            size += part.text.size;
    }
    const qsizetype start = out.size();
    out.reserve(start + size);
    FilledBuffer::preparePages(out.data() + start, size);
    out.append(before);
    assemble(Top, out);
    out.append(after);
}

QByteArray GroupText::openingTagOf(QByteArrayView name, QByteArrayView type)
{
    QByteArray tag("<folder name=\"");
    appendEscaped(tag, name, Place::Attribute);
    tag.append("\" type=\"");
    appendEscaped(tag, type, Place::Attribute);
    tag.append("\">");
    return tag;
}

void GroupText::appendEscaped(QByteArray& out, QByteArrayView utf8, Place place)
{
    forEachEscapedPiece(utf8, references(place),
                        [&out](const char* bytes, qsizetype count) { out.append(bytes, count); });
}
