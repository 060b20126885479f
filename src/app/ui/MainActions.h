#pragma once

class CaptionTable;
class ProgramPaths;
class QAction;
class QObject;

// The main window's commands, made in one place and reached by name in code,
// so that a misspelt command does not compile. Each keeps the object name by
// which tests find it. The menus, tool buttons and the program take the ones
// they use; the actions belong to owner.
struct MainActions {
    MainActions(QObject& owner, const ProgramPaths& paths);

    // The texts of the chosen language; Undo and Redo name what they undo,
    // so UndoCommands gives them theirs.
    void applyCaptions(const CaptionTable& captions) const;

    // The tool row's commands, with pictures.
    QAction* const newGroup;
    QAction* const newRecord;
    QAction* const newField;
    QAction* const deleteItem;
    QAction* const rename;
    QAction* const find;
    QAction* const settings;

    QAction* const undo;
    QAction* const redo;
    QAction* const newFile;
    QAction* const open;
    QAction* const save;
    QAction* const saveAs;
    QAction* const merge;
    QAction* const importFile;
    QAction* const exportFile;
    QAction* const lockNow;
    QAction* const exit;
    QAction* const findNext;
    QAction* const filter;
    QAction* const healthReport;
    QAction* const changePassword;
    QAction* const manual;
    QAction* const about;
    QAction* const mobileVersion;

    // The tray menu's own items.
    QAction* const showHide;
    QAction* const unlock;
    QAction* const trayExit;
};
