#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// Turns the artwork's SVG sources into the image files the program loads.
namespace SvgArtwork {

// The drawing stretched over size; a null image when the file is no valid SVG.
QImage render(const QString& svgFile, QSize size);

// The format follows the file's suffix. PNG keeps the transparency; JPEG has
// none, so the picture is laid on white first. False when nothing was written.
bool write(const QImage& image, const QString& outputFile);

// Every icon in a cell of a grid, in the order given: at 16 pixels, at 32
// pixels and the 16 pixel rendering magnified four times, so the set can be
// judged by eye. A null image when one of the files is no valid SVG.
QImage contactSheet(const QStringList& svgFiles);

} // namespace SvgArtwork
