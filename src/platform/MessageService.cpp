#include "platform/MessageService.h"

#include <QFileInfo>
#include <QRegularExpression>

QString MessageService::suffixOf(const QString& filter)
{
    static const QRegularExpression firstPattern(QStringLiteral(R"(\(\*\.([^ )]+))"));
    return firstPattern.match(filter).captured(1);
}

int MessageService::typeOfName(const QString& path, const QStringList& filters, int chosen)
{
    const QString extension = QFileInfo(path).suffix();
    for (qsizetype type = 0; type < filters.size(); ++type) {
        if (extension.compare(suffixOf(filters.at(type)), Qt::CaseInsensitive) == 0)
            return int(type);
    }
    return chosen;
}
