#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <pugixml.hpp>

// The parsing shared by the XML exports other managers write.
namespace ExportXml {

// text, UTF-8, as a document; false, with error naming the line, for text
// that is not well-formed or that refers to character 0 ("&#0;"), which no
// XML text may hold and which would cut a value short. The text is parsed in
// place, so no copy of an export is made: the document's values lie in it,
// and it must outlive the document.
bool parse(QByteArray& text, pugi::xml_document& document, QString* error);

// The name of the first element of text, past its declaration and
// comments; empty where there is none.
QByteArray documentElementName(QByteArrayView text);

// The line of the byte at offset in text, counting from 1.
qsizetype lineAt(const QByteArray& text, ptrdiff_t offset);

// The element's text, with line breaks as the export wrote them.
QString textOf(const pugi::xml_node& element);

} // namespace ExportXml
