#include "app/ui/MainActions.h"

#include "app/ui/Artwork.h"
#include "config/CaptionTable.h"

#include <QAction>

namespace {

QAction* make(QObject& owner, const char* name, const QKeySequence& shortcut = {})
{
    auto* created = new QAction(&owner);
    created->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        created->setShortcut(shortcut);
    return created;
}

QAction* makeWithIcon(QObject& owner, const ProgramPaths& paths, const char* name, Artwork::ActionIcon icon,
                      const QKeySequence& shortcut = {})
{
    QAction* created = make(owner, name, shortcut);
    created->setIcon(Artwork::actionIcon(paths, icon));
    return created;
}

// Off until the window has something for the command to work on.
QAction* disabled(QAction* action)
{
    action->setEnabled(false);
    return action;
}

// In the tree only: F2 in a field is the field's own.
QAction* treeOnly(QAction* action)
{
    action->setShortcutContext(Qt::WidgetShortcut);
    return action;
}

QAction* withShortcuts(QAction* action, const QList<QKeySequence>& shortcuts)
{
    action->setShortcuts(shortcuts);
    return action;
}

QAction* hidden(QAction* action)
{
    action->setVisible(false);
    return action;
}

} // namespace

// Made in the order the window always made them, so that the object tree
// keeps its order.
MainActions::MainActions(QObject& owner, const ProgramPaths& paths)
    : newGroup(makeWithIcon(owner, paths, "ActionNewGroup", Artwork::ActionIcon::NewGroup))
    , newRecord(makeWithIcon(owner, paths, "ActionNewRecord", Artwork::ActionIcon::NewRecord))
    , newField(disabled(makeWithIcon(owner, paths, "ActionNewField", Artwork::ActionIcon::NewField)))
    , deleteItem(disabled(makeWithIcon(owner, paths, "ActionDelete", Artwork::ActionIcon::Delete)))
    , rename(treeOnly(disabled(make(owner, "ActionRename", QKeySequence(Qt::Key_F2)))))
    , find(disabled(
          makeWithIcon(owner, paths, "ActionFind", Artwork::ActionIcon::Find, QKeySequence(Qt::CTRL | Qt::Key_F))))
    , settings(makeWithIcon(owner, paths, "ActionSettings", Artwork::ActionIcon::Settings, QKeySequence(Qt::Key_F12)))
    // Window-wide, yet a text box with the keyboard keeps Ctrl+Z for its own undo.
    , undo(make(owner, "ActionUndo", QKeySequence(Qt::CTRL | Qt::Key_Z)))
    , redo(withShortcuts(make(owner, "ActionRedo"),
                         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}))
    , newFile(make(owner, "New1", QKeySequence(Qt::CTRL | Qt::Key_N)))
    , open(make(owner, "Open1", QKeySequence(Qt::CTRL | Qt::Key_O)))
    , save(make(owner, "Save1", QKeySequence(Qt::CTRL | Qt::Key_S)))
    , saveAs(make(owner, "Saveas1"))
    , merge(make(owner, "ActionMerge"))
    , importFile(make(owner, "ActionImport"))
    , exportFile(make(owner, "ActionExport"))
    , lockNow(make(owner, "LockNow1", QKeySequence(Qt::CTRL | Qt::Key_L)))
    , exit(make(owner, "Exit1", QKeySequence(Qt::ALT | Qt::Key_F4)))
    , findNext(disabled(make(owner, "FindNext1", QKeySequence(Qt::Key_F3))))
    , filter(make(owner, "ActionFilter", QKeySequence(Qt::CTRL | Qt::Key_E)))
    , healthReport(make(owner, "ActionHealthReport"))
    , changePassword(disabled(make(owner, "Changepassword1")))
    , manual(make(owner, "Manual1", QKeySequence(Qt::Key_F1)))
    , about(make(owner, "About1"))
    , mobileVersion(make(owner, "Getmobileversion1"))
    , showHide(make(owner, "Show1"))
    , unlock(hidden(make(owner, "Unlock1")))
    , trayExit(make(owner, "Exit2"))
{
}

void MainActions::applyCaptions(const CaptionTable& captions) const
{
    const auto text = [&captions](QAction* action, const char* key, const char* englishDefault) {
        action->setText(captions.GetCaption(QString::fromLatin1(key), QString::fromUtf8(englishDefault)));
    };
    text(newFile, "MainSubMenuNew", "New");
    text(open, "MainSubMenuOpen", "Open");
    text(save, "MainSubMenuSave", "Save");
    text(saveAs, "MainSubMenuSaveAs", "Save as...");
    text(merge, "MainSubMenuMerge", "Merge…");
    text(importFile, "MainSubMenuImport", "Import…");
    text(exportFile, "MainSubMenuExport", "Export…");
    text(lockNow, "MainSubMenuLockNow", "Lock now");
    text(exit, "MainSubMenuExit", "Exit");
    text(trayExit, "MainSubMenuExit", "Exit");
    text(newGroup, "MainActionNewGroup", "New Group");
    text(newRecord, "MainActionNewRecord", "New Record");
    text(newField, "MainActionNewField", "New Field");
    text(deleteItem, "MainActionDelete", "Delete");
    text(rename, "MainActionRename", "Rename");
    text(find, "MainActionFind", "Find");
    text(findNext, "MainSubMenuFindNext", "Find Next");
    text(filter, "MainActionFilter", "Filter");
    text(healthReport, "MainActionHealthReport", "Health report");
    text(settings, "MainActionSettings", "Settings");
    text(changePassword, "MainSubMenuChangePassword", "Change Password");
    text(manual, "MainSubMenuManual", "Manual");
    text(about, "MainSubMenuAbout", "About");
    text(mobileVersion, "MainMenuMobileVersion", "Get Mobile Version");
    mobileVersion->setText(mobileVersion->text() + QLatin1Char('!'));
    text(showHide, "MainTrayPopupShowHide", "Show/Hide");
    text(unlock, "MainTrayPopupUnlock", "Unlock");
}
