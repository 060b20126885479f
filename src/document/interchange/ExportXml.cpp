#include "document/interchange/ExportXml.h"

#include "base/TextEncoding.h"

#include <algorithm>
#include <cstring>

namespace ExportXml {

namespace {

// An export's lines run to hundreds of bytes: memchr passes over each at once.
qsizetype lineBreaksIn(QByteArrayView text)
{
    qsizetype count = 0;
    const char* const end = text.data() + text.size();
    for (const char* at = text.data(); at < end; ++at, ++count) {
        at = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)));
        if (!at)
            break;
    }
    return count;
}

} // namespace

qsizetype lineAt(const QByteArray& text, ptrdiff_t offset)
{
    return lineBreaksIn(text.first(std::clamp<qsizetype>(offset, 0, text.size()))) + 1;
}

bool parse(QByteArray& text, pugi::xml_document& document, QString* error)
{
    const auto refuse = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    // pugixml would read it as the end of the value.
    for (qsizetype at = TextEncoding::indexOfCharacterReference(text); at >= 0;
         at = TextEncoding::indexOfCharacterReference(text, at + 2)) {
        qsizetype end = at + 2;
        if (end < text.size() && (text.at(end) == 'x' || text.at(end) == 'X'))
            ++end;
        const qsizetype digits = end;
        while (end < text.size() && text.at(end) == '0')
            ++end;
        if (end > digits && end < text.size() && text.at(end) == ';')
            return refuse(QStringLiteral("line %1: a reference to character 0 (%2), which no XML text may hold")
                              .arg(lineAt(text, at))
                              .arg(QString::fromLatin1(text.sliced(at, end + 1 - at))));
    }
    // Parsing shortens the values it has passed, never what follows the
    // place where it stops: the lines are counted back from the end.
    const qsizetype lines = lineBreaksIn(text);
    const pugi::xml_parse_result parsed = document.load_buffer_inplace(
        text.data(), size_t(text.size()), pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata,
        pugi::encoding_utf8);
    if (!parsed) {
        const qsizetype offset = std::clamp<qsizetype>(parsed.offset, 0, text.size());
        return refuse(QStringLiteral("line %1: %2")
                          .arg(lines - lineBreaksIn(QByteArrayView(text).sliced(offset)) + 1)
                          .arg(parsed.description()));
    }
    return true;
}

QByteArray documentElementName(QByteArrayView text)
{
    for (qsizetype at = text.indexOf('<'); at >= 0 && at + 1 < text.size(); at = text.indexOf('<', at + 1)) {
        const char next = text.at(at + 1);
        if (next == '?' || next == '!')
            continue;
        qsizetype end = at + 1;
        while (end < text.size() && !QChar::isSpace(uchar(text.at(end))) && text.at(end) != '>' && text.at(end) != '/')
            ++end;
        return text.sliced(at + 1, end - at - 1).toByteArray();
    }
    return {};
}

QString textOf(const pugi::xml_node& element)
{
    return QString::fromUtf8(element.child_value());
}

} // namespace ExportXml
