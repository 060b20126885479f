#pragma once

#include <QString>

#include <memory>

class QTextDocument;

// The user manual, typeset from its Markdown source and printed to A4 PDF.
namespace ManualPdf {

// The Markdown laid out in the manual's fonts: sized headings with room
// above them, ruled tables whose header row repeats on every page, code
// blocks on a grey ground, and pictures, named relative to sourceFolder,
// narrower than the text.
std::unique_ptr<QTextDocument> typeset(const QString& markdown, const QString& sourceFolder);

// Prints the document to an A4 PDF at path, its pages numbered at the foot,
// with the text of its first block as the PDF's title. The file is replaced
// only by a complete PDF; false when it cannot be written.
bool write(const QTextDocument& document, const QString& path);

} // namespace ManualPdf
