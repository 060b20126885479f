#include "app/ui/FormMain.h"

#include "app/DocumentSession.h"
#include "app/ui/Artwork.h"
#include "app/ui/BackgroundPicture.h"
#include "app/ui/DocumentStatusDisplay.h"
#include "app/ui/FormAbout.h"
#include "app/ui/HealthTools.h"
#include "app/ui/MenuBarCornerButton.h"
#include "app/ui/MenuMnemonics.h"
#include "app/ui/PasswordWindowPrompt.h"
#include "app/ui/ToolRow.h"
#include "app/ui/TreeFilterBar.h"
#include "app/ui/UndoCommands.h"
#include "config/CaptionTable.h"
#include "config/MessageBoxTitles.h"
#include "config/ProgramPaths.h"
#include "config/SettingsStore.h"
#include "config/ui/FormSettings.h"
#include "document/Schema.h"
#include "document/ui/DocumentTreeModel.h"
#include "document/ui/TypeIcons.h"
#include "editor/FieldElements.h"
#include "editor/ui/RecordEditor.h"
#include "health/ui/HealthReportWindow.h"
#include "platform/MessageService.h"
#include "platform/ui/TrayShell.h"
#include "platform/ui/WindowPlacement.h"
#include "search/ui/FormSearch.h"
#include "tray/ui/SysTray.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QColor Background(189, 222, 242);

} // namespace

TFormMain::TFormMain(const FormMainServices& services, QWidget* parent)
    : QMainWindow(parent)
    , m_paths(services.paths)
    , m_settings(services.settings)
    , m_captions(services.captions)
    , m_messages(services.messages)
    , m_helpLinks(services.paths, services.captions, services.messages, services.launcher)
    , m_actions(*this, services.paths)
    , m_fileWork(this)
    , m_session(new DocumentSession(services.messages, services.captions, services.settings, m_fileWork, this))
    , m_document(m_session->document())
    , m_editing(m_document, m_session->history(), services.captions)
{
    setObjectName(QStringLiteral("FormMain"));
    // A fixed single border with system menu and minimise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    connectActions();
    createMenus();
    createCentralArea();
    createTray(services.trayShell);
    m_statusDisplay = new DocumentStatusDisplay(m_captions, *this, *m_sysTray);
    // Before the size is fixed; the window keeps one size, so there is no grip.
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(false);
    m_healthTools = new HealthTools(m_document, m_settings, m_captions, *statusBar(), this);
    connect(m_healthTools, &HealthTools::recordChosen, this, &TFormMain::selectReportedRecord);
    connect(m_actions.healthReport, &QAction::triggered, m_healthTools, &HealthTools::showReport);
    ApplyMainMenuCaptions();
    // The client area's designed size, fixed: no resizing and no maximising.
    centralWidget()->setFixedSize(727, 566);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
    connect(m_session, &DocumentSession::statusChanged, this, &TFormMain::showDocumentStatus);
    connect(m_session, &DocumentSession::documentReplaced, this, &TFormMain::showReplacedDocument);
    connect(m_session, &DocumentSession::documentMerged, this, &TFormMain::showReplacedDocument);
    connect(m_session, &DocumentSession::news, statusBar(),
            [this](const QString& text) { statusBar()->showMessage(text); });
    // A document read again must not pull the items from under an open
    // window, and nothing is asked while the program is locked.
    m_session->setUserBusy(
        [this] { return QApplication::activeModalWidget() != nullptr || (m_autoLock && m_autoLock->Locked()); });
    showDocumentStatus();
    if (m_settings.isOn(SettingKey::SysTray))
        m_sysTray->setVisible(true);

    // Where it first shows, also after a start hidden in the notification area.
    WindowPlacement::centreOnScreen(*this);
}

TFormMain::~TFormMain()
{
    // Closing the window on the way out may still commit an open caption
    // editor or field; what is left of this window must not receive it.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

void TFormMain::connectActions()
{
    connect(m_actions.newFile, &QAction::triggered, this, &TFormMain::New1Click);
    connect(m_actions.open, &QAction::triggered, this, &TFormMain::Open1Click);
    connect(m_actions.save, &QAction::triggered, this, &TFormMain::Save1Click);
    connect(m_actions.saveAs, &QAction::triggered, this, &TFormMain::Saveas1Click);
    connect(m_actions.changePassword, &QAction::triggered, this, &TFormMain::Changepassword1Click);
    connect(m_actions.merge, &QAction::triggered, m_session, &DocumentSession::mergeFile);
    connect(m_actions.newGroup, &QAction::triggered, this, &TFormMain::ActionNewGroupExecute);
    connect(m_actions.newRecord, &QAction::triggered, this, &TFormMain::ActionNewRecordExecute);
    connect(m_actions.newField, &QAction::triggered, this, &TFormMain::ActionNewFieldExecute);
    connect(m_actions.deleteItem, &QAction::triggered, this, &TFormMain::ActionDeleteExecute);
    connect(m_actions.find, &QAction::triggered, this, &TFormMain::ActionFindExecute);
    connect(m_actions.findNext, &QAction::triggered, this, &TFormMain::FindNext1Click);
    connect(m_actions.exit, &QAction::triggered, this, &QWidget::close);
    connect(m_actions.trayExit, &QAction::triggered, m_actions.exit, &QAction::trigger);
    connect(m_actions.showHide, &QAction::triggered, this, &TFormMain::ToggleMainWindow);
    connect(m_actions.manual, &QAction::triggered, this, [this] { m_helpLinks.openManual(); });
    connect(m_actions.about, &QAction::triggered, this, &TFormMain::About1Click);
    connect(m_actions.mobileVersion, &QAction::triggered, this, [this] { m_helpLinks.openWebSite(); });
}

void TFormMain::createMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    m_fileMenu = bar->addMenu(QString());
    m_fileMenu->addActions({m_actions.newFile});
    m_fileMenu->addSeparator();
    m_fileMenu->addActions({m_actions.open, m_actions.save, m_actions.saveAs, m_actions.merge, m_actions.importFile,
                            m_actions.exportFile});
    m_fileMenu->addSeparator();
    m_fileMenu->addActions({m_actions.lockNow, m_actions.exit});

    m_editMenu = bar->addMenu(QString());
    m_editMenu->addActions({m_actions.undo, m_actions.redo});
    m_editMenu->addSeparator();
    m_editMenu->addActions({m_actions.newGroup, m_actions.newRecord, m_actions.newField});
    m_editMenu->addSeparator();
    m_editMenu->addActions({m_actions.rename, m_actions.deleteItem});

    m_searchMenu = bar->addMenu(QString());
    m_searchMenu->setObjectName(QStringLiteral("Search1"));
    m_searchMenu->addActions({m_actions.find, m_actions.findNext, m_actions.filter});

    m_toolsMenu = bar->addMenu(QString());
    m_toolsMenu->setObjectName(QStringLiteral("Tools1"));
    m_toolsMenu->addAction(m_actions.healthReport);

    m_optionsMenu = bar->addMenu(QString());
    m_optionsMenu->addAction(m_actions.settings);
    m_languageMenu = m_optionsMenu->addMenu(QString());
    m_languageMenu->setObjectName(QStringLiteral("Language1"));
    m_optionsMenu->addSeparator();
    m_optionsMenu->addAction(m_actions.changePassword);

    m_helpMenu = bar->addMenu(QString());
    m_helpMenu->addAction(m_actions.manual);
    m_helpMenu->addSeparator();
    // Also here, where keyboard navigation of the menus reaches it.
    m_helpMenu->addActions({m_actions.about, m_actions.mobileVersion});

    new MenuBarCornerButton(QStringLiteral("JvXPButtonMobileVersion"), m_actions.mobileVersion, bar);

    m_popupMenuTree = new QMenu(this);
    m_popupMenuTree->setObjectName(QStringLiteral("PopupMenuTree"));
    m_popupMenuTree->addActions({m_actions.newGroup, m_actions.newRecord});
    m_popupMenuTree->addSeparator();
    m_popupMenuTree->addActions({m_actions.newField, m_actions.rename, m_actions.deleteItem});
    m_deleteFieldMenu = m_popupMenuTree->addMenu(QString());
    m_deleteFieldMenu->setObjectName(QStringLiteral("DeleteField1"));

    m_popupMenuTray = new QMenu(this);
    m_popupMenuTray->setObjectName(QStringLiteral("PopupMenuTray"));
    m_popupMenuTray->addActions({m_actions.showHide, m_actions.lockNow, m_actions.unlock, m_actions.trayExit});
}

void TFormMain::createCentralArea()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ImageFont"));
    central->setAutoFillBackground(true);
    QPalette palette = central->palette();
    palette.setColor(QPalette::Window, Background);
    central->setPalette(palette);
    BackgroundPicture::showBehind(central, Artwork::picture(m_paths, Artwork::Picture::MainBackground));

    QHBoxLayout* toolRow = ToolRow::create(central, {{"JvXPButtonNewGroup", m_actions.newGroup},
                                                     {"JvXPButtonNewRecord", m_actions.newRecord},
                                                     {"JvXPButtonNewField", m_actions.newField},
                                                     {"JvXPButtonDelete", m_actions.deleteItem},
                                                     {"JvXPButtonSearch", m_actions.find},
                                                     {"JvXPButtonSettings", m_actions.settings}});

    m_imageListIcons = TypeIcons::treeIcons(m_paths.iconsFolder());
    m_treeModel = new DocumentTreeModel(m_imageListIcons, this);
    m_treeView = new DocumentTreeView(central);
    m_treeView->setModel(m_treeModel);
    m_treeView->setMinimumWidth(208);
    m_treeView->setMaximumWidth(320);
    m_treeView->setContextMenu(m_popupMenuTree);
    m_treeView->addAction(m_actions.rename);
    connect(m_actions.rename, &QAction::triggered, m_treeView, &DocumentTreeView::renameCurrent);
    // The window opens with the keyboard in the tree, where the work starts.
    m_treeView->setFocus();
    connect(m_popupMenuTree, &QMenu::aboutToShow, this, &TFormMain::PopupMenuTreePopup);
    connect(m_treeView, &DocumentTreeView::entered, this, &TFormMain::TreeViewEnter);
    connect(m_treeView, &DocumentTreeView::deleteRequested, m_actions.deleteItem, &QAction::trigger);
    connect(m_treeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { TreeViewChange(current); });

    m_editor = new RecordEditor(m_captions, m_editing, central);
    connect(m_editor, &RecordEditor::captionRefreshNeeded, this, &TFormMain::refreshSelectedCaption);
    connect(m_editor, &RecordEditor::panelEntered, this, [this] { m_actions.deleteItem->setEnabled(false); });

    m_treeCommands = std::make_unique<TreeCommands>(m_editing, *m_treeModel, *m_treeView->selectionModel(), *m_treeView,
                                                    m_captions, m_messages);
    m_undoCommands =
        new UndoCommands(m_session->history(), *m_treeCommands, m_captions, *m_actions.undo, *m_actions.redo, this);
    m_filterBar = new TreeFilterBar(m_document, *m_treeModel, *m_treeView, *m_treeCommands, central);
    m_filterBar->setMaximumWidth(320);
    connect(m_actions.filter, &QAction::triggered, m_filterBar, [this] { m_filterBar->start(); });
    connect(m_treeView, &DocumentTreeView::filterTyped, m_filterBar, &TreeFilterBar::start);
    // Undo and redo change the document too.
    connect(&m_session->history(), &DocumentHistory::changed, m_filterBar, &TreeFilterBar::documentEdited);
    connect(m_treeCommands.get(), &TreeCommands::treeBecameEmpty, this, &TFormMain::treeBecameEmpty);
    connect(m_treeCommands.get(), &TreeCommands::fieldAdded, m_editor, &RecordEditor::focusLastField);
    connect(m_treeCommands.get(), &TreeCommands::recordFieldsChanged, m_editor, [this](const pugi::xml_node& record) {
        m_editor->ClearRecordEditor();
        m_editor->FillRecordEditor(record.first_child());
    });

    auto* body = new QHBoxLayout;
    body->setSpacing(40);
    auto* treeColumn = new QVBoxLayout;
    treeColumn->setSpacing(6);
    treeColumn->addWidget(m_filterBar);
    treeColumn->addWidget(m_treeView, 1);
    body->addLayout(treeColumn);
    body->addWidget(m_editor, 1);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(22, 22, 20, 18);
    layout->setSpacing(34);
    layout->addLayout(toolRow);
    layout->addLayout(body, 1);
    setCentralWidget(central);
}

void TFormMain::createTray(TrayShell& shell)
{
    m_sysTray = new TSysTray(shell, this);
    m_sysTray->setObjectName(QStringLiteral("SysTray"));
    m_sysTray->setIcon(QApplication::windowIcon());
    connect(m_sysTray, &TSysTray::activated, this, &TFormMain::trayActivated);
    connect(m_sysTray, &TSysTray::shownChanged, this, &TFormMain::trayShownChanged);
}

void TFormMain::setAutoLock(AutoLock* lock)
{
    m_autoLock = lock;
    connect(m_autoLock, &AutoLock::lockedChanged, m_healthTools, [this](bool locked) {
        if (!locked)
            m_healthTools->remindOfExpiry();
    });
}

void TFormMain::ActionNewGroupExecute()
{
    m_filterBar->end();
    m_treeCommands->newGroup();
}

void TFormMain::ActionNewRecordExecute()
{
    m_filterBar->end();
    m_treeCommands->newRecord();
}

void TFormMain::selectReportedRecord(const pugi::xml_node& record)
{
    m_filterBar->end();
    const QModelIndex node = FindTreeNode(record);
    if (!node.isValid())
        return;
    m_treeView->setCurrentIndex(node);
    m_treeView->scrollTo(node);
}

void TFormMain::setPasswordWindow(TFormPassword* window)
{
    m_passwordPrompt = std::make_unique<PasswordWindowPrompt>(*window, m_captions);
    m_session->setPasswordPrompt(m_passwordPrompt.get());
}

void TFormMain::setAboutWindow(TFormAbout* window)
{
    m_aboutWindow = window;
}

void TFormMain::setSettingsWindow(TFormSettings* window)
{
    m_settingsWindow = window;
}

void TFormMain::setSearchWindow(TFormSearch* window)
{
    m_searchWindow = window;
}

void TFormMain::BuildLanguageMenu(const QStringList& languages)
{
    m_languageMenu->clear();
    for (int index = 0; index < languages.size(); ++index) {
        QAction* item = m_languageMenu->addAction(languages.at(index));
        item->setCheckable(true);
        item->setData(index);
        connect(item, &QAction::triggered, this, [this, index] { emit languageChosen(index); });
    }
}

void TFormMain::MarkCurrentLanguage(int selectedIndex)
{
    const QList<QAction*> items = m_languageMenu->actions();
    for (QAction* item : items)
        item->setChecked(false);
    if (!items.isEmpty())
        items.first()->setChecked(true);
    for (QAction* item : items) {
        if (item->data().toInt() == selectedIndex) {
            items.first()->setChecked(false);
            item->setChecked(true);
        }
    }
}

void TFormMain::ActionFindExecute()
{
    // Find walks the whole document, so its hit must be in the tree.
    m_filterBar->end();
    m_search.clearExhausted();
    if (m_searchWindow->exec() != QDialog::Accepted)
        return;
    if (m_search.SearchFromTop(m_document.root(), m_searchWindow->options())) {
        selectHitAndFocusIt();
        m_actions.findNext->setEnabled(true);
        return;
    }
    if (m_search.position().exhausted)
        m_messages.show(MessageService::Kind::Information,
                        caption("MessageSearchCompleted", "Search Completed. Nothing found"));
    m_actions.findNext->setEnabled(false);
}

void TFormMain::FindNext1Click()
{
    if (m_treeModel->nodeCount() == 0)
        return;
    const TTreeNodeData* selected = selectedNode();
    m_search.position().hitNode = selected ? selected->element : pugi::xml_node();
    if (m_search.SearchBelow(m_document.root()))
        selectHitAndFocusIt();
    else
        m_messages.show(MessageService::Kind::Information,
                        caption("MessageNotFound", "Nothing found below the current record"));
}

void TFormMain::selectHitAndFocusIt()
{
    const SearchPosition& hit = m_search.position();
    const QModelIndex node = FindTreeNode(hit.hitNode);
    m_treeView->setCurrentIndex(node);
    m_treeView->scrollTo(node);
    if (!hit.hitField)
        return;
    // The editor has rows only for fields of the seven types: count the hit
    // among those, so the focus lands on the field that matched.
    const std::vector<pugi::xml_node> shown = FieldElements::shownFieldsFrom(hit.hitNode.first_child());
    const auto row = std::find(shown.begin(), shown.end(), hit.hitField);
    if (row != shown.end())
        m_editor->FocusHitControl(static_cast<int>(row - shown.begin()) + 1);
}

void TFormMain::ApplyMainMenuCaptions()
{
    m_fileMenu->setTitle(caption("MainMenuFile", "File"));
    m_actions.applyCaptions(m_captions);
    m_editMenu->setTitle(caption("MainMenuEdit", "Edit"));
    m_undoCommands->showPlainTexts();
    m_searchMenu->setTitle(caption("MainMenuSearch", "Search"));
    m_filterBar->setPlaceholderText(caption("MainFilterPlaceholder", "Type to filter (Ctrl+E)"));
    m_toolsMenu->setTitle(caption("MainMenuTools", "Tools"));
    m_healthTools->applyCaptions();
    m_optionsMenu->setTitle(caption("MainMenuOptions", "Options"));
    m_languageMenu->setTitle(caption("MainSubMenuLanguage", "Language"));
    m_helpMenu->setTitle(caption("MainMenuHelp", "Help"));
    m_statusDisplay->refresh();
    // Set afresh with the others, so that the mnemonics start from plain texts.
    m_deleteFieldMenu->setTitle(QStringLiteral("Delete Field"));
    MenuMnemonics mnemonics;
    mnemonics.markTitles(*menuBar());
    for (const QMenu* menu : {m_fileMenu, m_editMenu, m_searchMenu, m_toolsMenu, m_optionsMenu, m_helpMenu,
                              m_popupMenuTree, m_popupMenuTray})
        mnemonics.markItems(*menu);
    m_undoCommands->followHistory();
}

void TFormMain::showDocumentStatus()
{
    m_statusDisplay->showDocument(m_session->fileName(), m_session->Modified(), m_session->readOnly());
    const bool hasContent = m_treeModel->nodeCount() > 0 || !m_editor->isEmpty();
    m_actions.save->setEnabled(hasContent);
    m_actions.saveAs->setEnabled(hasContent);
    m_actions.changePassword->setEnabled(!m_session->fileName().isEmpty());
}

void TFormMain::showReplacedDocument()
{
    m_editor->ClearRecordEditor();
    m_filterBar->forget();
    m_healthTools->forget();
    RebuildTree();
    m_healthTools->remindOfExpiry();
    m_actions.find->setEnabled(m_treeModel->nodeCount() > 0);
    // A field that had the keyboard went with the old document.
    m_treeView->setFocus();
}

QString TFormMain::caption(const char* key, const char* englishDefault) const
{
    return m_captions.GetCaption(QString::fromLatin1(key), QString::fromUtf8(englishDefault));
}

void TFormMain::TreeViewChange(const QModelIndex& current)
{
    const TTreeNodeData* data = m_treeModel->nodeData(current);
    if (!data)
        return;
    m_editor->ClearRecordEditor();
    m_actions.deleteItem->setEnabled(true);
    m_actions.rename->setEnabled(true);
    m_actions.newField->setEnabled(true);
    m_actions.find->setEnabled(true);
    m_search.itemSelected();
    if (data->isRecord && data->element) {
        m_editor->FillRecordEditor(data->element.first_child());
        m_treeView->setFocus();
    }
    if (!data->isRecord)
        m_actions.newField->setEnabled(false);
}

void TFormMain::treeBecameEmpty()
{
    m_actions.deleteItem->setEnabled(false);
    m_actions.rename->setEnabled(false);
    m_actions.newField->setEnabled(false);
    m_actions.find->setEnabled(false);
    m_editor->ClearRecordEditor();
}

void TFormMain::TreeViewEnter()
{
    if (m_treeView->currentIndex().isValid())
        m_actions.deleteItem->setEnabled(true);
}

void TFormMain::PopupMenuTreePopup()
{
    m_deleteFieldMenu->clear();
    const QList<QWidget*>& controls = m_editor->controlList();
    for (int entry = 0; entry + 1 < controls.size(); entry += 2) {
        const auto* label = qobject_cast<QLabel*>(controls.at(entry));
        const int position = entry / 2 + 1;
        // A field's name is shown as it stands, an '&' in it included.
        QString name = label ? label->text() : QString();
        QAction* item = m_deleteFieldMenu->addAction(name.replace(u'&', QStringLiteral("&&")));
        connect(item, &QAction::triggered, this, [this, position] { DeleteFieldItemClick(position); });
    }
    m_deleteFieldMenu->setEnabled(!m_deleteFieldMenu->isEmpty());
}

void TFormMain::refreshSelectedCaption()
{
    const QModelIndex current = m_treeView->currentIndex();
    const TTreeNodeData* data = m_treeModel->nodeData(current);
    if (data && data->isRecord)
        m_treeModel->captionChanged(current);
}

// While locked, a click stands for Unlock.
void TFormMain::trayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger && Locked())
        m_actions.unlock->trigger();
    else if (reason == QSystemTrayIcon::Trigger)
        ToggleMainWindow();
    else if (reason == QSystemTrayIcon::Context)
        ShowTrayMenu();
}

// Any dialog of ours counts, and any window titled like a message box.
bool TFormMain::messageBoxOrDialogOpen() const
{
    QStringList boxTitles;
    for (MessageService::Kind kind : {MessageService::Kind::Confirm, MessageService::Kind::Information,
                                      MessageService::Kind::Error, MessageService::Kind::Warning})
        boxTitles.append(MessageBoxTitles::title(m_captions, kind));
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [&boxTitles](const QWidget* window) {
        return window->isVisible()
               && (qobject_cast<const QDialog*>(window) || boxTitles.contains(window->windowTitle()));
    });
}

// The window is hidden only where the tray icon shows, its way back.
void TFormMain::ToggleMainWindow()
{
    if (Locked() || messageBoxOrDialogOpen())
        return;
    if (isMinimized() || !isVisible()) {
        showNormal();
        raise();
        activateWindow();
    } else if (m_sysTray->shown()) {
        hide();
        emit hiddenToTray();
    }
}

// Without its icon a window hidden to the notification area is out of reach.
void TFormMain::trayShownChanged(bool shown)
{
    if (!shown && !isVisible() && !Locked())
        showNormal();
}

void TFormMain::ShowTrayMenu()
{
    m_popupMenuTray->popup(QCursor::pos());
}

// With the tray icon on, minimising stands for the toggle: the window hides
// to the notification area, or stays as it was while a dialog is open. Where
// no icon shows, it minimises as usual.
void TFormMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_settings.isOn(SettingKey::SysTray)
        && m_sysTray->shown()) {
        QTimer::singleShot(0, this, [this] {
            // The platform may report the same minimising once more.
            if (!isMinimized())
                return;
            setWindowState(windowState() & ~Qt::WindowMinimized);
            ToggleMainWindow();
        });
    }
}

// The desktop's session may close the window while the program is locked:
// then, as at the lock's Exit, nothing is saved anywhere but in its file.
void TFormMain::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery(Locked() ? DocumentSession::SaveElsewhere::Refused : DocumentSession::SaveElsewhere::Offered)) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TFormMain::FormClose()
{
    storeSettingsOnClose();
    m_sysTray->setVisible(false);
}

void TFormMain::storeSettingsOnClose()
{
    m_settings.StoreSettingsFromWindow(m_settingsWindow->windowState(m_session->fileName()));
}

void TFormMain::About1Click()
{
    if (m_aboutWindow)
        m_aboutWindow->exec();
}
