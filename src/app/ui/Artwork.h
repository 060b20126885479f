#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class ProgramPaths;

// The program's pictures and icons, rendered into its folder when it is built
// (data/artwork holds their drawings). A missing or unreadable file gives a
// null picture or icon, and the windows show their plain colours instead.
namespace Artwork {

enum class Picture {
    Splash,             // 500 x 300, the whole splash window
    About,              // 497 x 299, the whole about window
    MainBackground,     // behind the main window's controls
    DialogBackground,   // behind the controls of the small windows
    SettingsBackground, // behind the settings window's controls
};

QString pictureFile(const ProgramPaths& paths, Picture picture);
QPixmap picture(const ProgramPaths& paths, Picture picture);

QString programIconFile(const ProgramPaths& paths);
// The program's icon for its windows and the tray.
QIcon programIcon(const ProgramPaths& paths);

// The main window's commands that have a tool button, and the small buttons
// beside a field in the record editor.
enum class ActionIcon {
    NewGroup,
    NewRecord,
    NewField,
    Delete,
    Find,
    Settings,
    RevealField,
    CopyField,
    GenerateField,
};

// The file name, without folder and suffix, of an action's icon:
// "action-new-group" .. "action-generate-field". The 16 pixel picture is
// "<name>.png", the 32 pixel one "<name>@2x.png".
QString actionIconName(ActionIcon icon);
// Both sizes in one icon: the menus take the small one, the tool buttons the
// large one.
QIcon actionIcon(const ProgramPaths& paths, ActionIcon icon);

} // namespace Artwork
