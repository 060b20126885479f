#pragma once

#include <QIcon>
#include <QList>
#include <QString>

namespace TypeIcons {

// The file name, without folder and suffix, of the tree icon at an image
// index: its two-digit index and its type key in lower case, "00-auto" ..
// "25-web-site", and "26-root". The 16 pixel picture is "<name>.png", the
// 32 pixel one "<name>@2x.png".
QString treeIconName(int index);

// The 27 tree icons by image index, read from the icons folder of the program:
// 8 group types, 18 record types, then the root of the group selection tree.
// An icon whose files are missing or unreadable is null, so a broken
// installation shows the tree without pictures.
QList<QIcon> treeIcons(const QString& iconsFolder);

} // namespace TypeIcons
