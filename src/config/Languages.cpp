#include "config/Languages.h"

#include <QDir>

#include <algorithm>

QStringList ListLanguages(const QString& languagesFolder)
{
    QStringList languages;
    // An empty path would mean the working folder to QDir; it names no folder here.
    if (!languagesFolder.isEmpty())
        languages = QDir(languagesFolder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    languages.removeOne(QLatin1String(EnglishLanguage));
    // The file system's own order is arbitrary; names that differ only in
    // letter case still come in a fixed order.
    std::sort(languages.begin(), languages.end(), [](const QString& a, const QString& b) {
        const int caseless = a.compare(b, Qt::CaseInsensitive);
        return caseless != 0 ? caseless < 0 : a < b;
    });
    languages.prepend(QLatin1String(EnglishLanguage));
    return languages;
}
