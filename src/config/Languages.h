#pragma once

#include <QString>
#include <QStringList>

inline constexpr char EnglishLanguage[] = "English";

// The languages offered: "English" first, whether or not a folder has that
// name, then the subfolders of languagesFolder sorted by name, ignoring letter
// case. A missing folder gives "English" alone.
QStringList ListLanguages(const QString& languagesFolder);
