#include "config/ProgramPaths.h"

#include "config/Languages.h"

#include <QDir>
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
    const QFileInfo folder(m_folder);
    const bool besideProgram = folder.isDir() && folder.isWritable() && !isInstalled();
    return besideProgram ? settingsFileBesideProgram() : userSettingsFile();
}

QString ProgramPaths::settingsFileBesideProgram() const
{
    QString name = QFileInfo(m_programFile).fileName();
    // Only a dot after the first character starts an extension: ".zantrove"
    // is a name, not an extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return m_folder + name + QLatin1String(".ini");
}

QString ProgramPaths::userSettingsFile()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + QLatin1String("/.config");
    return QDir::cleanPath(configHome) + QLatin1String("/zantrove/zantrove.ini");
}

QString ProgramPaths::installMarkerFile() const
{
    return m_folder + QLatin1String("installed");
}

bool ProgramPaths::isInstalled() const
{
    return QFileInfo(installMarkerFile()).isFile();
}

QString ProgramPaths::languagesFolder() const
{
    return m_folder + QLatin1String("languages/");
}

QString ProgramPaths::languageFolder(const QString& language) const
{
    if (language.isEmpty())
        return {};
    const bool listed = Languages::ListLanguages(languagesFolder()).contains(language);
    return languagesFolder() + (listed ? language : QLatin1String(Languages::EnglishLanguage)) + QLatin1Char('/');
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

QString ProgramPaths::wordListFile() const
{
    return m_folder + QLatin1String("eff_large_wordlist.txt");
}

QString ProgramPaths::iconsFolder() const
{
    return m_folder + QLatin1String("icons/");
}

QString ProgramPaths::picturesFolder() const
{
    return m_folder + QLatin1String("pictures/");
}
