#include "document/DocumentTitle.h"

#include <QFileInfo>

namespace DocumentTitle {

namespace {

const QString Dash = QStringLiteral(" \u2014 ");
const QChar Ellipsis(0x2026);

// At most length UTF-16 units, marked with an ellipsis when cut, without
// splitting a surrogate pair.
QString shortened(const QString& text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    if (length <= 0)
        return {};
    QString cut = text.left(length - 1);
    if (!cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1);
    return cut + Ellipsis;
}

} // namespace

QString programTitle()
{
    return QStringLiteral("Zantrove 1.1");
}

QString windowTitle(const QString& filePath, bool modified, const QString& untitledName, const QString& readOnlyMark)
{
    const QString name = filePath.isEmpty() ? (modified ? untitledName : QString()) : QFileInfo(filePath).fileName();
    if (name.isEmpty())
        return programTitle();
    const QString mark = readOnlyMark.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(readOnlyMark);
    return name + (modified ? QStringLiteral("*") : QString()) + mark + Dash + programTitle();
}

QString trayHint(const TrayHint& parts, int limit)
{
    const QString lockedSuffix = parts.lockedMark.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(parts.lockedMark);
    const QString statusLine = parts.status.isEmpty() ? QString() : QLatin1Char('\n') + parts.status;
    const QString fileName = QFileInfo(parts.filePath).fileName();
    const QString namePrefix = fileName.isEmpty() ? QString() : programTitle() + Dash;
    const qsizetype room = limit - namePrefix.size() - lockedSuffix.size() - statusLine.size();
    const QString head = fileName.isEmpty() ? programTitle() : namePrefix + shortened(fileName, room);
    return (head + lockedSuffix + statusLine).left(limit);
}

} // namespace DocumentTitle
