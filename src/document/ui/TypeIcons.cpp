#include "document/ui/TypeIcons.h"

#include "document/Schema.h"

#include <QPixmap>

namespace {

QString keyOfIndex(int index)
{
    if (index == Schema::RootIcon)
        return QStringLiteral("ROOT");
    if (index >= Schema::FirstRecordIcon)
        return Schema::TypeKeyForIndex(index - Schema::FirstRecordIcon, true);
    return Schema::TypeKeyForIndex(index, false);
}

QIcon iconFromFiles(const QStringList& files)
{
    QIcon icon;
    for (const QString& file : files) {
        const QPixmap picture(file);
        if (!picture.isNull())
            icon.addPixmap(picture);
    }
    return icon;
}

} // namespace

namespace TypeIcons {

QString treeIconName(int index)
{
    // "DRIVER'S LICENSE" becomes "drivers-license".
    const QString key =
        keyOfIndex(index).toLower().remove(QLatin1Char('\'')).replace(QLatin1Char(' '), QLatin1Char('-'));
    return QStringLiteral("%1-%2").arg(index, 2, 10, QLatin1Char('0')).arg(key);
}

QList<QIcon> treeIcons(const QString& iconsFolder)
{
    QList<QIcon> icons;
    for (int index = 0; index <= Schema::RootIcon; ++index) {
        const QString base = iconsFolder + treeIconName(index);
        icons << iconFromFiles({base + QLatin1String(".png"), base + QLatin1String("@2x.png")});
    }
    return icons;
}

} // namespace TypeIcons
