#include "document/interchange/GroupText.h"

#include "base/SecureWipe.h"

#include <algorithm>

namespace {

constexpr QByteArrayView GroupEnd("</folder>");
constexpr qsizetype FirstRoom = 4096;

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
// It grows into a new allocation as a vector does, the old one wiped.
QByteArray& GroupText::textAtEnd(Id group, qsizetype room)
{
    std::vector<Part>& parts = m_groups[size_t(group)].parts;
    if (parts.empty() || parts.back().child >= 0)
        parts.push_back({});
    QByteArray& text = parts.back().text;
    if (text.capacity() - text.size() < room) {
        QByteArray larger;
        larger.reserve(std::max({FirstRoom, text.capacity() * 2, text.size() + room}));
        larger.append(text);
        SecureWipe::wipe(text);
        text = std::move(larger);
    }
    return text;
}

void GroupText::write(Id group, QByteArrayView markup)
{
    textAtEnd(group, markup.size()).append(markup);
}

void GroupText::writeEscaped(Id group, QByteArrayView utf8)
{
    // A reference is at most six bytes.
    appendEscaped(textAtEnd(group, utf8.size() * 6), utf8);
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
