#pragma once

#include <QByteArray>

#include <pugixml.hpp>

// Passes the serialised text on to another writer as pugixml produces it,
// with the stored line endings. Line breaks can only come from text content:
// pugixml escapes them in attributes. CR LF pairs stay as they are (they end
// lines); a lone CR or LF becomes a character reference so that it survives
// the CR LF line ending of the stored form. pugixml hands over a run of text
// in one piece, so a pair is not split between chunks; were it split, each
// half would become a reference and the value still read back the same.
// finish() ends the last line and hands over what is still held. The pieces
// between line breaks are gathered into chunks first, so the destination sees
// a few large writes rather than one per line.
class StoredTextWriter final : public pugi::xml_writer {
public:
    explicit StoredTextWriter(pugi::xml_writer& destination);
    ~StoredTextWriter() override;

    void write(const void* data, size_t size) override;
    void finish();

private:
    void put(const char* data, size_t size);
    void flush();

    pugi::xml_writer& m_destination;
    char m_chunk[64 * 1024];
    size_t m_held = 0;
};

// Appends what it is given to a byte array. Grows the array by hand rather
// than letting append() reallocate, which would leave the text written so far
// behind in freed memory.
class WipingByteArrayWriter final : public pugi::xml_writer {
public:
    // expectedSize: about how long the text will be, so that it is rarely
    // moved while it grows.
    WipingByteArrayWriter(QByteArray& out, qsizetype expectedSize);

    void write(const void* data, size_t size) override;

private:
    void reserveRoom(qsizetype bytes);

    QByteArray& m_out;
};
