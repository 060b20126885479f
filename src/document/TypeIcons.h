#pragma once

#include <QIcon>
#include <QList>

// The 27 tree icons by image index: 8 group types, 18 record types, then the
// root of the group selection tree. Drawn by the program itself, so they scale
// with the screen and need no image files.
QList<QIcon> treeIcons();
