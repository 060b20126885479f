#include "config/FileAssociation.h"

#include "base/StagedFile.h"
#include "config/ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QXmlStreamWriter>

#include <algorithm>
#include <utility>

namespace {

// The two types of data file. The protected one is also known by its first
// bytes, so a renamed file is still recognised.
struct DataFileType {
    QString mimeType;
    QString comment;
    QString glob;
    QString magic; // empty: known by its name alone
};
const QList<DataFileType> dataFileTypes = {
    {QStringLiteral("application/x-zvfile"), QStringLiteral("Zantrove file"), QStringLiteral("*.zv"), QString()},
    {QStringLiteral("application/x-zvxfile"), QStringLiteral("Zantrove protected file"), QStringLiteral("*.zvx"),
     QStringLiteral("ZANTROVX")},
};
// Not the installed entry's name: a user's entry of the same name would hide it.
const QString desktopId = QStringLiteral("zantrove-zvfile.desktop");
const QString iconName = QStringLiteral("zantrove");
const QString defaultApplicationsGroup = QStringLiteral("[Default Applications]");

QStringList mimeTypes()
{
    QStringList types;
    for (const DataFileType& type : dataFileTypes)
        types << type.mimeType;
    return types;
}

// Read at every call: the folders follow the environment of the moment.
QString dataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString mimeFolder()
{
    return dataHome() + QStringLiteral("/mime");
}

QString mimePackagePath()
{
    return mimeFolder() + QStringLiteral("/packages/zantrove-zvfile.xml");
}

QString applicationsFolder()
{
    return dataHome() + QStringLiteral("/applications");
}

QString desktopEntryPath()
{
    return applicationsFolder() + u'/' + desktopId;
}

// The program's own icon files and where the desktop looks for them, so that
// .zv files show it also for a copy that was never installed.
QList<std::pair<QString, QString>> iconCopies(const QString& programFilePath)
{
    const QString source = ProgramPaths(programFilePath).iconsFolder() + iconName;
    const QString target = dataHome() + QStringLiteral("/icons/hicolor/");
    return {
        {source + QStringLiteral(".png"), target + QStringLiteral("256x256/apps/") + iconName + QStringLiteral(".png")},
        {source + QStringLiteral(".svg"),
         target + QStringLiteral("scalable/apps/") + iconName + QStringLiteral(".svg")}};
}

QString mimeAppsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/mimeapps.list");
}

void writeCreatingFolder(const QString& path, const QByteArray& bytes)
{
    if (QDir().mkpath(QFileInfo(path).absolutePath()))
        writeFileAtomically(path, bytes);
}

QByteArray mimePackage(bool withGlob)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeDefaultNamespace(QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    writer.writeStartElement(QStringLiteral("mime-info"));
    for (const DataFileType& type : dataFileTypes) {
        writer.writeStartElement(QStringLiteral("mime-type"));
        writer.writeAttribute(QStringLiteral("type"), type.mimeType);
        writer.writeTextElement(QStringLiteral("comment"), type.comment);
        writer.writeEmptyElement(QStringLiteral("icon"));
        writer.writeAttribute(QStringLiteral("name"), iconName);
        if (withGlob) {
            writer.writeEmptyElement(QStringLiteral("glob"));
            writer.writeAttribute(QStringLiteral("pattern"), type.glob);
            if (!type.magic.isEmpty()) {
                writer.writeStartElement(QStringLiteral("magic"));
                writer.writeEmptyElement(QStringLiteral("match"));
                writer.writeAttribute(QStringLiteral("type"), QStringLiteral("string"));
                writer.writeAttribute(QStringLiteral("value"), type.magic);
                writer.writeAttribute(QStringLiteral("offset"), QStringLiteral("0"));
                writer.writeEndElement();
            }
        }
        writer.writeEndElement();
    }
    writer.writeEndDocument();
    return xml;
}

// One argument of an Exec line: quoted as a whole, with the characters that
// stay special inside the quotes escaped, and percent signs doubled so they
// are not taken for field codes.
QString quotedExecArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
        if (c == u'%')
            quoted += u'%';
    }
    return quoted + u'"';
}

// The escapes every string value of a desktop entry gets; applied after the
// Exec quoting, so a literal backslash ends up as four.
QString escapedDesktopValue(const QString& value)
{
    QString escaped;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

QByteArray desktopEntry(const QString& programFilePath)
{
    const QString exec = quotedExecArgument(programFilePath) + QStringLiteral(" %f");
    // The installed entry's fields; hidden from the menus, which list the
    // installed entry, while file managers still offer it for the type.
    const QStringList lines = {
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=Zantrove"),
        QStringLiteral("GenericName=Password Keeper"),
        QStringLiteral("Comment=Keep your private records in one password-protected file"),
        QStringLiteral("Exec=") + escapedDesktopValue(exec),
        QStringLiteral("Icon=") + iconName,
        QStringLiteral("Terminal=false"),
        QStringLiteral("Categories=Utility;Security;"),
        QStringLiteral("Keywords=password;passwords;vault;safe;login;credentials;PIN;card;encryption;"),
        QStringLiteral("MimeType=") + mimeTypes().join(u';') + u';',
        QStringLiteral("NoDisplay=true"),
    };
    return (lines.join(u'\n') + u'\n').toUtf8();
}

bool isGroupHeader(const QString& line)
{
    return line.trimmed().startsWith(u'[');
}

bool isOurTypeLine(const QString& line)
{
    const qsizetype equals = line.indexOf(u'=');
    return equals > 0 && mimeTypes().contains(line.left(equals).trimmed());
}

// The mimeapps.list text with our types' defaults set to us; every other line
// and group stays as it was.
QString withOurDefault(const QString& mimeApps)
{
    QStringList lines = mimeApps.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QStringList ourLines;
    for (const QString& type : mimeTypes())
        ourLines << type + u'=' + desktopId;

    const auto headerLine = std::find_if(
        lines.cbegin(), lines.cend(), [](const QString& line) { return line.trimmed() == defaultApplicationsGroup; });
    const qsizetype header = headerLine - lines.cbegin();
    if (headerLine == lines.cend()) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines << defaultApplicationsGroup << ourLines;
        return lines.join(u'\n') + u'\n';
    }
    qsizetype groupEnd = header + 1;
    while (groupEnd < lines.size() && !isGroupHeader(lines.at(groupEnd)))
        ++groupEnd;
    for (qsizetype i = groupEnd - 1; i > header; --i) {
        if (isOurTypeLine(lines.at(i))) {
            lines.removeAt(i);
            --groupEnd;
        }
    }
    // Blank lines that end the group stay in front of the next one.
    qsizetype insertAt = header + 1;
    for (qsizetype i = header + 1; i < groupEnd; ++i) {
        if (!lines.at(i).trimmed().isEmpty())
            insertAt = i + 1;
    }
    for (const QString& line : ourLines)
        lines.insert(insertAt++, line);
    return lines.join(u'\n') + u'\n';
}

// A list that exists but cannot be read is left alone rather than replaced by
// one holding only our line.
void setOurDefaultApplication()
{
    const QString path = mimeAppsPath();
    QFile file(path);
    QString text;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return;
        text = QString::fromUtf8(file.readAll());
    }
    writeCreatingFolder(path, withOurDefault(text).toUtf8());
}

// Started without waiting and with its output dropped: the caches only make
// the change visible sooner, and the caller must never hang on them.
void runToolIfPresent(const QString& tool, const QString& folder)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return;
    QProcess process;
    process.setProgram(program);
    process.setArguments({folder});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

} // namespace

FileAssociation::FileAssociation(QString programFilePath)
    : m_programFilePath(std::move(programFilePath))
{
}

void FileAssociation::RegisterFileType()
{
    writeCreatingFolder(mimePackagePath(), mimePackage(true));
    writeCreatingFolder(desktopEntryPath(), desktopEntry(m_programFilePath));
    for (const auto& [source, target] : iconCopies(m_programFilePath)) {
        QFile icon(source);
        if (icon.open(QIODevice::ReadOnly))
            writeCreatingFolder(target, icon.readAll());
    }
    setOurDefaultApplication();
    runToolIfPresent(QStringLiteral("update-mime-database"), mimeFolder());
    runToolIfPresent(QStringLiteral("update-desktop-database"), applicationsFolder());
}

void FileAssociation::UnregisterFileType()
{
    for (const auto& copy : iconCopies(m_programFilePath))
        QFile::remove(copy.second);
    if (QFile::remove(desktopEntryPath()))
        runToolIfPresent(QStringLiteral("update-desktop-database"), applicationsFolder());
    if (!QFileInfo::exists(mimePackagePath()))
        return;
    writeFileAtomically(mimePackagePath(), mimePackage(false));
    runToolIfPresent(QStringLiteral("update-mime-database"), mimeFolder());
}

void FileAssociation::ApplyAssociationSetting(bool checked)
{
    if (checked)
        RegisterFileType();
    else
        UnregisterFileType();
}
