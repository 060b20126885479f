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
// finish() ends the last line.
class StoredTextWriter final : public pugi::xml_writer {
public:
    explicit StoredTextWriter(pugi::xml_writer& destination);

    void write(const void* data, size_t size) override;
    void finish();

private:
    pugi::xml_writer& m_destination;
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
