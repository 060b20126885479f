#include "platform/MessageService.h"

#include <QFileInfo>
#include <QRegularExpression>

QString MessageService::title(Kind kind)
{
    switch (kind) {
    case Kind::Error:
        return QStringLiteral("Error");
    case Kind::Information:
        return QStringLiteral("Information");
    case Kind::Confirm:
        return QStringLiteral("Confirm");
    case Kind::Warning:
        return QStringLiteral("Warning");
    }
    return {};
}

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
