#pragma once

#include "cli/TerminalText.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QTextStream>

#include <pugixml.hpp>

// Hands a document's UTF-8 text on to a text stream as it is written, in
// small pieces, so that no copy of a long value is ever whole. A character
// split between two writes is completed by the next. On a terminal the text
// goes through TerminalText's filter; a pipe gets it unchanged: while the
// text is whole characters of valid UTF-8, which decoding and encoding again
// would give back as they are, its bytes go straight to the stream's device.
// From the first byte that is not, the rest is decoded as on a terminal, so
// that it comes out with the same replacement characters either way.
class DocumentOutput final : public QIODevice {
public:
    DocumentOutput(QTextStream& out, bool terminal);
    // Hands on what the filter still holds.
    ~DocumentOutput() override;

    // For pugixml, which serialises into a writer of its own kind.
    pugi::xml_writer& xmlWriter() { return m_xmlWriter; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    // Writes what of text is whole characters of valid UTF-8 to the device
    // and holds an unfinished last character back; what is left once it meets
    // anything else is for writeDecoded, the decoder already given the
    // character held back.
    QByteArrayView writeDirectly(QByteArrayView text);
    void writeDecoded(QByteArrayView text);
    // The decoder takes over from writeDirectly, handed the character held back.
    void stopWritingDirectly();

    class XmlWriter final : public pugi::xml_writer {
    public:
        explicit XmlWriter(DocumentOutput& output)
            : m_output(output)
        {
        }
        void write(const void* data, size_t size) override
        {
            m_output.write(static_cast<const char*>(data), static_cast<qint64>(size));
        }

    private:
        DocumentOutput& m_output;
    };

    QTextStream& m_out;
    const bool m_terminal;
    QStringDecoder m_decode{QStringDecoder::Utf8};
    TerminalText::DocumentFilter m_filter;
    XmlWriter m_xmlWriter{*this};
    // Null while the text is decoded.
    QIODevice* m_device = nullptr;
    bool m_wroteDirectly = false;
    // The start of a character the last write ended in.
    QByteArray m_heldBack;
};
