#pragma once

#include <QPixmap>
#include <QSize>

// The pictures of the splash and about windows, drawn by the program.
namespace Artwork {

QPixmap splashPicture(QSize size);
QPixmap aboutPicture(QSize size);
// The program's own icon (window, tray).
QPixmap programIcon(int size);

} // namespace Artwork
