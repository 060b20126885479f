#pragma once

#include <QString>
#include <QStringList>

inline constexpr char EnglishLanguage[] = "English";

// The languages offered: the subfolders of languagesFolder in the order the
// file system lists them, with "English" in front unless a folder of exactly
// that name is among them. A missing folder gives "English" alone.
QStringList ListLanguages(const QString& languagesFolder);
