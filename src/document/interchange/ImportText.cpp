#include "document/interchange/ImportText.h"

#include "base/SecureWipe.h"
#include "base/TextEncoding.h"

#include <QStringDecoder>

namespace ImportText {

namespace {

bool startsUtf16(const QByteArray& input)
{
    return input.startsWith("\xFF\xFE") || input.startsWith("\xFE\xFF");
}

// Qt's decoder passes a surrogate without its partner on.
bool hasLoneSurrogate(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            return true;
    }
    return false;
}

} // namespace

bool isBinary(const QByteArray& input)
{
    if (startsUtf16(input))
        return false;
    // Only the first line is looked at: a text's first line holds no NUL.
    const qsizetype lineEnd = input.indexOf('\n');
    return QByteArrayView(input).first(lineEnd < 0 ? input.size() : lineEnd).contains('\0');
}

std::optional<Decoded> decode(QByteArray input, QString* error)
{
    Decoded decoded;
    if (startsUtf16(input)) {
        QStringDecoder utf16(input.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        QString text = utf16(input);
        const bool wellFormed = !utf16.hasError() && input.size() % 2 == 0 && !hasLoneSurrogate(text);
        SecureWipe::wipe(input);
        if (!wellFormed) {
            SecureWipe::wipe(text);
            if (error)
                *error = QStringLiteral("the text is not well-formed UTF-16");
            return std::nullopt;
        }
        decoded.utf8 = text.toUtf8();
        SecureWipe::wipe(text);
    } else if (TextEncoding::isValidUtf8(input)) {
        decoded.utf8 = std::move(input);
    } else {
        decoded.codePage = TextEncoding::olderFilesCodePage().name();
        QString text = TextEncoding::olderFilesCodePage().decode(input);
        SecureWipe::wipe(input);
        decoded.utf8 = text.toUtf8();
        SecureWipe::wipe(text);
    }
    if (const qsizetype nul = decoded.utf8.indexOf('\0'); nul >= 0) {
        if (error)
            *error = QStringLiteral("line %1: a NUL character, which no text export holds")
                         .arg(decoded.utf8.first(nul).count('\n') + 1);
        SecureWipe::wipe(decoded.utf8);
        return std::nullopt;
    }
    return decoded;
}

} // namespace ImportText
