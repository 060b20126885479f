#include "app/Artwork.h"

#include "config/ProgramPaths.h"

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
    const QPixmap picture(programIconFile(paths));
    return picture.isNull() ? QIcon() : QIcon(picture);
}

} // namespace Artwork
