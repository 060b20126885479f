#include "document/interchange/GroupText.h"

#include "base/SecureWipe.h"

#include <algorithm>

namespace {

constexpr QByteArrayView GroupEnd("</folder>");
constexpr qsizetype FirstRoom = 4096;
constexpr qsizetype MostRoom = 16 * 1024 * 1024;

} // namespace

GroupText::GroupText(QByteArrayView openingTag)
{
    m_groups.push_back({openingTag.toByteArray(), {}, 1});
}

GroupText::~GroupText()
{
    for (Group& group : m_groups) {
        for (Part& part : group.parts)
            SecureWipe::wipe(part.text);
        SecureWipe::wipe(group.openingTag);
    }
}

GroupText::Id GroupText::addGroup(Id parent, QByteArrayView openingTag)
{
    const Id added = Id(m_groups.size());
    const int level = m_groups.at(size_t(parent)).level + 1;
    m_groups.push_back({openingTag.toByteArray(), {}, level});
    m_groups[size_t(parent)].parts.push_back({{}, added});
    return added;
}

// The last run of the group's text, with room for at least room more bytes.
// A full run is not copied into a larger one: a new run follows it, twice
// as large up to MostRoom, so a long text is never held twice.
QByteArray& GroupText::textAtEnd(Id group, qsizetype room)
{
    std::vector<Part>& parts = m_groups[size_t(group)].parts;
    if (parts.empty() || parts.back().child >= 0 || parts.back().text.capacity() - parts.back().text.size() < room) {
        const qsizetype last = parts.empty() ? 0 : parts.back().text.capacity();
        parts.push_back({});
        parts.back().text.reserve(std::max({FirstRoom, std::min(last * 2, MostRoom), room}));
    }
    return parts.back().text;
}

void GroupText::write(Id group, QByteArrayView markup)
{
    textAtEnd(group, markup.size()).append(markup);
}

void GroupText::writeEscaped(Id group, QByteArrayView utf8)
{
    appendEscaped(textAtEnd(group, escapedSize(utf8)), utf8);
}

// Room for the worst case, six bytes a character, would be six times a
// value of a hundred megabytes: the exact size costs one more pass.
qsizetype GroupText::escapedSize(QByteArrayView utf8)
{
    qsizetype size = utf8.size();
    for (const char c : utf8) {
        switch (c) {
        case '&': size += 4; break;
        case '<':
        case '>': size += 3; break;
        case '"': size += 5; break;
        default:
            if (uchar(c) < 0x20)
                size += uchar(c) < 10 ? 3 : 4;
        }
    }
    return size;
}

qsizetype GroupText::sizeOf(const Group& group)
{
    qsizetype size = group.openingTag.size() + GroupEnd.size();
    for (const Part& part : group.parts)
        size += part.text.size();
    return size;
}

void GroupText::assemble(Id group, QByteArray& out)
{
    Group& assembled = m_groups[size_t(group)];
    out.append(assembled.openingTag);
    for (Part& part : assembled.parts) {
        if (part.child >= 0)
            assemble(part.child, out);
        out.append(part.text);
        SecureWipe::wipe(part.text);
        part.text = QByteArray();
    }
    out.append(GroupEnd);
}

QByteArray GroupText::take(QByteArrayView before, QByteArrayView after)
{
    qsizetype size = before.size() + after.size();
    for (const Group& group : m_groups)
        size += sizeOf(group);
    QByteArray text;
    text.reserve(size);
    text.append(before);
    assemble(Top, text);
    text.append(after);
    return text;
}

QByteArray GroupText::openingTagOf(QByteArrayView name, QByteArrayView type)
{
    QByteArray tag("<folder name=\"");
    appendEscaped(tag, name);
    tag.append("\" type=\"");
    appendEscaped(tag, type);
    tag.append("\">");
    return tag;
}

void GroupText::appendEscaped(QByteArray& out, QByteArrayView utf8)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const uchar c = uchar(utf8[i]);
        if (c >= 0x20 && c != '&' && c != '<' && c != '>' && c != '"')
            continue;
        out.append(utf8.sliced(from, i - from));
        switch (c) {
        case '&': out.append("&amp;"); break;
        case '<': out.append("&lt;"); break;
        case '>': out.append("&gt;"); break;
        case '"': out.append("&quot;"); break;
        default: out.append("&#").append(QByteArray::number(c)).append(';');
        }
        from = i + 1;
    }
    out.append(utf8.sliced(from));
}
