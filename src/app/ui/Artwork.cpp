#include "app/ui/Artwork.h"

#include "config/ProgramPaths.h"

#include <QStringList>

namespace {

QString pictureName(Artwork::Picture picture)
{
    switch (picture) {
    case Artwork::Picture::Splash: return QStringLiteral("splash.jpg");
    case Artwork::Picture::About: return QStringLiteral("about.jpg");
    case Artwork::Picture::MainBackground: return QStringLiteral("background-main.jpg");
    case Artwork::Picture::DialogBackground: return QStringLiteral("background-dialog.jpg");
    case Artwork::Picture::SettingsBackground: return QStringLiteral("background-settings.jpg");
    }
    return {};
}

// One icon of every picture that could be read, each at its size in pixels;
// null when none could. The reader takes "@2x" in a name for a double density,
// which would make the 32 pixel picture a sharper 16 pixel one and leave the
// tool buttons with none of their size.
QIcon iconFromFiles(const QStringList& files)
{
    QIcon icon;
    for (const QString& file : files) {
        QPixmap picture(file);
        if (picture.isNull())
            continue;
        picture.setDevicePixelRatio(1);
        icon.addPixmap(picture);
    }
    return icon;
}

} // namespace

namespace Artwork {

QString pictureFile(const ProgramPaths& paths, Picture picture)
{
    return paths.picturesFolder() + pictureName(picture);
}

QPixmap picture(const ProgramPaths& paths, Picture picture)
{
    return QPixmap(pictureFile(paths, picture));
}

QString programIconFile(const ProgramPaths& paths)
{
    return paths.iconsFolder() + QStringLiteral("zantrove.png");
}

QIcon programIcon(const ProgramPaths& paths)
{
    return iconFromFiles({programIconFile(paths)});
}

QString actionIconName(ActionIcon icon)
{
    switch (icon) {
    case ActionIcon::NewGroup: return QStringLiteral("action-new-group");
    case ActionIcon::NewRecord: return QStringLiteral("action-new-record");
    case ActionIcon::NewField: return QStringLiteral("action-new-field");
    case ActionIcon::Delete: return QStringLiteral("action-delete");
    case ActionIcon::Find: return QStringLiteral("action-find");
    case ActionIcon::Settings: return QStringLiteral("action-settings");
    case ActionIcon::RevealField: return QStringLiteral("action-reveal-field");
    case ActionIcon::CopyField: return QStringLiteral("action-copy-field");
    case ActionIcon::GenerateField: return QStringLiteral("action-generate-field");
    }
    return {};
}

QIcon actionIcon(const ProgramPaths& paths, ActionIcon icon)
{
    const QString base = paths.iconsFolder() + actionIconName(icon);
    return iconFromFiles({base + QLatin1String(".png"), base + QLatin1String("@2x.png")});
}

} // namespace Artwork
