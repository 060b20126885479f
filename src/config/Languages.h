#pragma once

#include "base/CodePage.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace Languages {

inline constexpr char EnglishLanguage[] = "English";

// The languages offered: "English" first, whether or not a folder has that
// name, then the subfolders of languagesFolder sorted by name, ignoring letter
// case. A missing folder gives "English" alone.
QStringList ListLanguages(const QString& languagesFolder);

// The locale a language stands for. Language folders are named after their
// language, as it calls itself ("Deutsch", "Français", "Русский") or in
// English ("German"), in any letter case. English, and a name of no language
// known, give English.
QLocale LanguageLocale(const QString& language);

// The code page of older files written in a language: the ANSI code page
// Windows gives that language (Windows-1251 for Russian), Windows-1252 for
// languages it gives none of ours.
CodePage DefaultCodePage(const QString& language);

} // namespace Languages
