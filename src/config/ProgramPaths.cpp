#include "config/ProgramPaths.h"

#include <QFileInfo>

ProgramPaths::ProgramPaths(const QString& programFilePath)
    : m_programFile(QFileInfo(programFilePath).absoluteFilePath())
    , m_folder(QFileInfo(m_programFile).absolutePath() + QLatin1Char('/'))
{
}

QString ProgramPaths::programFile() const
{
    return m_programFile;
}

QString ProgramPaths::folder() const
{
    return m_folder;
}

QString ProgramPaths::settingsFile() const
{
    QString name = QFileInfo(m_programFile).fileName();
    // Only a dot after the first character starts an extension: ".zantrove"
    // is a name, not an extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return m_folder + name + QLatin1String(".ini");
}

QString ProgramPaths::languagesFolder() const
{
    return m_folder + QLatin1String("languages/");
}

QString ProgramPaths::languageFolder(const QString& language) const
{
    if (language.isEmpty())
        return {};
    return languagesFolder() + language + QLatin1Char('/');
}

QString ProgramPaths::languageFile(const QString& language) const
{
    if (language.isEmpty())
        return {};
    return languageFolder(language) + QLatin1String("lang.ini");
}

QString ProgramPaths::manualFile() const
{
    return m_folder + QLatin1String("manual.pdf");
}
