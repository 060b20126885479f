#include "config/Languages.h"

#include <QDir>

QStringList ListLanguages(const QString& languagesFolder)
{
    QStringList languages;
    // An empty path would mean the working folder to QDir; it names no folder here.
    if (!languagesFolder.isEmpty()) {
        // Unsorted keeps the file system's own order; hidden folders are folders too.
        languages = QDir(languagesFolder)
            .entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
    }
    if (!languages.contains(QLatin1String(EnglishLanguage), Qt::CaseSensitive))
        languages.prepend(QLatin1String(EnglishLanguage));
    return languages;
}
