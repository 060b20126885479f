#pragma once

#include "app/DocumentSession.h"
#include "app/ui/AutoLock.h"
#include "app/ui/BackgroundWork.h"
#include "app/ui/HelpLinks.h"
#include "app/ui/MainActions.h"
#include "app/ui/TreeCommands.h"
#include "datafile/DataFile.h"
#include "document/DataDocument.h"
#include "document/DocumentEditing.h"
#include "document/ui/DocumentTreeView.h"
#include "platform/MessageService.h"
#include "search/TreeSearch.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QSystemTrayIcon>

#include <memory>

class CaptionTable;
class DocumentStatusDisplay;
class DocumentTreeModel;
class HealthTools;
class PasswordPrompt;
class ProgramPaths;
class QMenu;
class RecordEditor;
class SettingsStore;
class TFormAbout;
class TFormNewField;
class TFormNewGroup;
class TFormNewRecord;
class TFormPassword;
class TFormSearch;
class TFormSettings;
class TreeFilterBar;
class TrayShell;
class TSysTray;
class UndoCommands;

// What the main window is given rather than finds for itself, so tests can
// put temporary folders and test doubles in place.
struct FormMainServices {
    const ProgramPaths& paths;
    SettingsStore& settings;
    const CaptionTable& captions;
    MessageService& messages;
    DesktopLauncher& launcher;
    TrayShell& trayShell;
};

// The main window: the tree of groups and records on the left, the selected
// record's fields on the right, the menus, tool buttons and tray icon. It
// shows the open document, which its DocumentSession keeps.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(const FormMainServices& services, QWidget* parent = nullptr);
    ~TFormMain() override;

    // The windows created after the main window that it shows.
    void setPasswordWindow(TFormPassword* window);
    void setAboutWindow(TFormAbout* window);
    // The lock, made once the windows it hides and its prompt exist.
    void setAutoLock(AutoLock* lock);
    void setCreationWindows(TFormNewGroup* newGroup, TFormNewRecord* newRecord, TFormNewField* newField)
    {
        m_treeCommands->setCreationWindows(newGroup, newRecord, newField);
    }
    void setSettingsWindow(TFormSettings* window);
    void setSearchWindow(TFormSearch* window);

    // Options > Language: one checkable item per language, its position in
    // the list as its tag; the item of selectedIndex is checked, else the first.
    void BuildLanguageMenu(const QStringList& languages);
    void MarkCurrentLanguage(int selectedIndex);

    // The open document's state, kept by its session.
    const DocumentSession& session() const { return *m_session; }
    QString CurrentFileName() const { return m_session->fileName(); }
    QString CurrentPassword() const { return m_session->password(); }
    bool Modified() const { return m_session->Modified(); }
    void SetModified(bool value) { m_session->SetModified(value); }
    bool Locked() const { return m_autoLock->Locked(); }

    DataDocument& XMLDocumentData() { return m_document; }

    bool ReadDataFile(const QString& path) { return m_session->ReadDataFile(path); }
    void OpenStartupFile(const QString& commandLineFile) { m_session->OpenStartupFile(commandLineFile); }

    // The File commands.
    void New1Click() { m_session->newDocument(); }
    void Open1Click() { m_session->open(); }
    bool Save1Click() { return m_session->save(); }
    bool Saveas1Click() { return m_session->saveAs(); }
    bool SaveAsWithPassword(const QString& path, DataFile::Format format)
    {
        return m_session->saveAsWithPassword(path, format);
    }
    void Changepassword1Click() { m_session->changePassword(); }
    bool FormCloseQuery(DocumentSession::SaveElsewhere elsewhere = DocumentSession::SaveElsewhere::Offered)
    {
        return m_session->mayClose(elsewhere);
    }
    // Once closing goes ahead: the settings are stored as the window leaves
    // them, and the tray icon goes.
    void FormClose();

    // The tree's editing commands, and what the creation windows see of the tree.
    TreeCommands& treeCommands() const { return *m_treeCommands; }
    // A new item goes into the whole tree, where it is shown selected.
    void ActionNewGroupExecute();
    void ActionNewRecordExecute();
    void ActionNewFieldExecute() { m_treeCommands->newField(); }
    void ActionDeleteExecute() { m_treeCommands->deleteSelected(); }
    void TreeViewEdited(const QModelIndex& node, const QString& text) { m_treeCommands->rename(node, text); }
    void TreeViewDragDrop(const pugi::xml_node& dragged, const pugi::xml_node& target)
    {
        m_treeCommands->move(dragged, target);
    }
    const TTreeNodeData* selectedNode() const { return m_treeCommands->selectedNode(); }
    void RebuildTree() { m_treeCommands->RebuildTree(); }
    void RebuildAndSelect(const pugi::xml_node& element) { m_treeCommands->RebuildAndSelect(element); }
    QModelIndex FindTreeNode(const pugi::xml_node& element) const { return m_treeCommands->FindTreeNode(element); }

    // Find from the top, and Find Next below the current record.
    void ActionFindExecute();
    void FindNext1Click();

    // The automatic lock's check, run once a second.
    void checkIdleTime() { m_autoLock->checkIdleTime(); }

    void ToggleMainWindow();
    void ShowTrayMenu();
    // The settings list as the settings window would store it on closing.
    void storeSettingsOnClose();

    const MainActions& actions() const { return m_actions; }
    TSysTray& SysTray() const { return *m_sysTray; }
    DocumentStatusDisplay& statusDisplay() const { return *m_statusDisplay; }
    QTreeView& TreeView() const { return *m_treeView; }
    DocumentTreeModel& treeModel() const { return *m_treeModel; }
    // The tree icons by image index, shared with the windows that show groups.
    const QList<QIcon>& ImageListIcons() const { return m_imageListIcons; }
    RecordEditor& recordEditor() const { return *m_editor; }
    TreeFilterBar& filterBar() const { return *m_filterBar; }
    HealthTools& healthTools() const { return *m_healthTools; }
    QMenu& PopupMenuTree() const { return *m_popupMenuTree; }
    QMenu& PopupMenuTray() const { return *m_popupMenuTray; }
    AutoLock& autoLock() const { return *m_autoLock; }
    HelpLinks& helpLinks() { return m_helpLinks; }

    void ApplyMainMenuCaptions();

signals:
    // The program ends from the lock, its close question answered.
    void endRequested();
    // An item of the Language submenu was chosen.
    void languageChosen(int index);
    // The window went to the notification area, as minimising does with the icon shown.
    void hiddenToTray();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectActions();
    void createMenus();
    void createCentralArea();
    void createTray(TrayShell& shell);

    void TreeViewChange(const QModelIndex& current);
    void treeBecameEmpty();
    void TreeViewEnter();
    void PopupMenuTreePopup();
    void DeleteFieldItemClick(int position) { m_treeCommands->deleteField(position); }
    void refreshSelectedCaption();

    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    void trayShownChanged(bool shown);
    bool messageBoxOrDialogOpen() const;

    void showDocumentStatus();
    void showReplacedDocument();
    QString caption(const char* key, const char* englishDefault) const;

    void selectHitAndFocusIt();
    // A record chosen in the health report, shown in the whole tree.
    void selectReportedRecord(const pugi::xml_node& record);
    void About1Click();

    const ProgramPaths& m_paths;
    SettingsStore& m_settings;
    const CaptionTable& m_captions;
    MessageService& m_messages;
    HelpLinks m_helpLinks;
    const MainActions m_actions;

    // Reading and writing the data file, with this window's progress.
    BackgroundWork m_fileWork;
    DocumentSession* m_session;
    // The session's document, which the tree and the search work on.
    DataDocument& m_document;
    // Every change the window makes to it, through its history.
    DocumentEditing m_editing;
    std::unique_ptr<PasswordPrompt> m_passwordPrompt;
    // Made after the tree and gone before the document it edits.
    std::unique_ptr<TreeCommands> m_treeCommands;
    UndoCommands* m_undoCommands = nullptr;

    AutoLock* m_autoLock = nullptr;
    DocumentStatusDisplay* m_statusDisplay = nullptr;
    TFormAbout* m_aboutWindow = nullptr;
    TFormSettings* m_settingsWindow = nullptr;
    TFormSearch* m_searchWindow = nullptr;
    TreeSearch m_search;

    DocumentTreeView* m_treeView = nullptr;
    TreeFilterBar* m_filterBar = nullptr;
    HealthTools* m_healthTools = nullptr;
    QList<QIcon> m_imageListIcons;
    DocumentTreeModel* m_treeModel = nullptr;
    RecordEditor* m_editor = nullptr;
    QMenu* m_popupMenuTree = nullptr;
    QMenu* m_deleteFieldMenu = nullptr;
    QMenu* m_popupMenuTray = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_searchMenu = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QMenu* m_optionsMenu = nullptr;
    QMenu* m_languageMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    TSysTray* m_sysTray = nullptr;
};
