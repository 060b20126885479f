#include "datafile/ConflictCopies.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace ConflictCopies {

QStringList beside(const QString& path)
{
    const QFileInfo file(path);
    const QString name = QRegularExpression::escape(file.completeBaseName());
    const QRegularExpression copy(QStringLiteral(R"(^%1(\.sync-conflict-.*| \(conflicted copy.*\))\.zvx?$)").arg(name),
                                  QRegularExpression::CaseInsensitiveOption);
    QStringList copies;
    const QFileInfoList entries = file.dir().entryInfoList(QDir::Files, QDir::Time);
    for (const QFileInfo& entry : entries) {
        if (copy.match(entry.fileName()).hasMatch())
            copies << entry.absoluteFilePath();
    }
    return copies;
}

} // namespace ConflictCopies
