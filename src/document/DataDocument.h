#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <memory>

// The one in-memory XML document that holds all user data: the element `data`
// with groups (`folder`) and records (`record`) under it. Items are referred to
// by their element; there are no identifiers.
class DataDocument {
public:
    DataDocument();
    ~DataDocument();
    DataDocument(const DataDocument&) = delete;
    DataDocument& operator=(const DataDocument&) = delete;

    // Back to the empty document: the `data` element alone.
    void clear();
    // Exchanges the contents; node handles go with their content.
    void swap(DataDocument& other) noexcept;

    pugi::xml_node root() const;
    pugi::xml_document& xml() { return *m_document; }
    const pugi::xml_document& xml() const { return *m_document; }

    // The document's XML text as it is stored: UTF-8, no indentation, every
    // line ended by CR LF (the last one too). Line breaks that are not CR LF
    // pairs are written as character references, so every value reads back
    // exactly as it was.
    QByteArray toText() const;
    // The same text appended to out, so that it can be written straight after
    // a file header without a copy of the whole document.
    void appendText(QByteArray& out) const;
    // The same text handed to destination piece by piece, so that it can be
    // written out without ever being whole in memory.
    void writeText(pugi::xml_writer& destination) const;

    // Replaces the content with the parsed text (UTF-8, else the code page of older files).
    // Text that is not well-formed XML with `data` as its document element is
    // refused and leaves the content as it was. Node handles taken before a
    // successful load are invalid afterwards.
    // The document is parsed in place and keeps the text's buffer as its own
    // storage, wiping it when the content is replaced or dropped. Text moved in
    // is used without a copy; the caller keeps (and wipes) a copy it did not
    // move.
    bool loadText(QByteArray text, QString* error = nullptr);

    // No element lies more than MaxNesting levels below the data element (its
    // children are at level 1): deeper text is refused when loaded, and edits
    // never go deeper. Far beyond any real tree of groups, and shallow enough
    // for the tree views, whose own code recurses once per level.
    static constexpr int MaxNesting = 1000;

    // The tree of a document takes at most MaxTreeSizeFactor times the size
    // of its text (and is always allowed MinTreeAllowance): text whose tree
    // would need more is refused when loaded. In pugixml's compact layout a
    // real file's tree is under its text's size and a document of nothing but
    // empty groups about 1.1 times it; only text made of little else than
    // empty elements comes near the limit (about 5 times), so a hostile file
    // cannot make the tree many times larger than the file.
    static constexpr size_t MaxTreeSizeFactor = 4;
    static constexpr size_t MinTreeAllowance = 1024 * 1024;

    // Items taken out of the tree but kept for undo: moved, not copied, to an
    // element of their own after `data`, which is never written, so handles
    // to them and everything inside them stay valid. setAside takes node out
    // of its parent; putBack returns it under parent before next (last when
    // next is null); discard drops it for good. Replacing the content drops
    // everything set aside with it.
    void setAside(pugi::xml_node node);
    void putBack(pugi::xml_node node, pugi::xml_node parent, pugi::xml_node next);
    void discard(pugi::xml_node node);
    // A copy of original, set aside as above, to restore it from later: with
    // everything it holds, or (withContent false) its name and attributes only,
    // which is all a change of its attributes needs of a large group.
    pugi::xml_node keepCopy(const pugi::xml_node& original, bool withContent);

    // The levels of elements under element: 0 when it has no child element.
    static int levelsBelow(const pugi::xml_node& element);
    // The number of elements above node: 1 for the children of `data`.
    static int levelOf(const pugi::xml_node& node);

    // How data documents are parsed: line breaks and whitespace-only values are
    // kept exactly, whitespace between elements is not. Text that is all an
    // element holds is kept in the element itself rather than in a node of its
    // own (a third fewer nodes for a typical file); anything else keeps the
    // usual shape. Without parse_doctype a DOCTYPE is skipped, and pugixml
    // never expands entities it declares nor loads external ones: such
    // references stay literal text.
    static constexpr unsigned ParseOptions = (pugi::parse_default & ~pugi::parse_eol & ~pugi::parse_wconv_attribute)
                                             | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

    // The text of element when text is all it holds, in either shape; nullptr
    // when it holds nothing or more than text.
    static const char* onlyText(const pugi::xml_node& element);
    // Removes everything element holds, its text in either shape included.
    static void clearContent(pugi::xml_node element);

private:
    // Drops the content, then wipes the buffer that held its text.
    void replaceContent(std::unique_ptr<pugi::xml_document> document, QByteArray buffer);

    // The element that holds what is set aside, made when first needed.
    pugi::xml_node setAsideArea();

    std::unique_ptr<pugi::xml_document> m_document;
    pugi::xml_node m_setAside;
    // The parsed text, in which names and values of m_document point.
    QByteArray m_buffer;
};

// Text of nodes and attributes as QString (the document holds UTF-8).
inline QString qText(const pugi::char_t* utf8)
{
    return QString::fromUtf8(utf8);
}
inline QString qText(const pugi::xml_attribute& attribute)
{
    return QString::fromUtf8(attribute.value());
}
inline QString qText(const pugi::xml_text& text)
{
    return QString::fromUtf8(text.get());
}
