#include "app/ui/Program.h"

#include "app/ui/Artwork.h"
#include "app/ui/AutoLock.h"
#include "app/ui/BackgroundPicture.h"
#include "app/ui/DocumentStatusDisplay.h"
#include "app/ui/FormAbout.h"
#include "app/ui/FormMain.h"
#include "app/ui/FormSplash.h"
#include "app/ui/InterchangeCommands.h"
#include "app/ui/SecretClipboard.h"
#include "app/ui/TrayLockMenu.h"
#include "base/TextEncoding.h"
#include "config/Languages.h"
#include "config/ui/FormSettings.h"
#include "datafile/Passphrase.h"
#include "datafile/ui/FormGenerator.h"
#include "datafile/ui/FormPassword.h"
#include "document/Catalogue.h"
#include "document/ui/FormGroupSelect.h"
#include "document/ui/FormNewField.h"
#include "document/ui/FormNewGroup.h"
#include "document/ui/FormNewRecord.h"
#include "editor/ui/QuickCopyShortcuts.h"
#include "editor/ui/RecordEditor.h"
#include "platform/MessageService.h"
#include "platform/ui/TrayShell.h"
#include "search/ui/FormSearch.h"
#include "tray/ui/SysTray.h"

#include <QAction>

#include <QApplication>
#include <QFileInfo>
#include <QStatusBar>

namespace {

constexpr int NothingToCopyShownMs = 5000;

} // namespace

Program::Program(const ProgramPaths& paths, const PlatformServices& platform)
    : m_paths(paths)
    , m_platform(platform)
    , m_association(paths.programFile())
{
}

Program::~Program() = default;

bool Program::start(const QString& commandLineFile)
{
    if (!createWindows(true))
        return false;
    openStartupFile(commandLineFile);
    return true;
}

bool Program::createWindows(bool showSplash)
{
    m_settings.LoadSettings(m_paths);
    TextEncoding::setOlderFilesCodePage(m_settings.olderFilesCodePage());
    m_captions.load(m_paths.languageFile(m_settings.GetSetting(SettingKey::Language)));
    applyStockTranslations(m_settings.GetSetting(SettingKey::Language));

    if (showSplash) {
        m_splash = std::make_unique<TFormSplash>(Artwork::picture(m_paths, Artwork::Picture::Splash));
        m_splash->showNow();
    }
    QApplication::setApplicationName(QStringLiteral("Zantrove"));

    m_main = std::make_unique<TFormMain>(FormMainServices{m_paths, m_settings, m_captions, m_platform.messages,
                                                          m_platform.launcher, m_platform.trayShell});
    TFormMain* main = m_main.get();
    // The close question was answered at the lock; the settings file is written on the way out.
    QObject::connect(main, &TFormMain::endRequested, main, [main] {
        main->FormClose();
        QCoreApplication::exit(0);
    });
    const QList<QIcon>& icons = main->ImageListIcons();
    connectFieldTools();

    m_newRecord = new TFormNewRecord(m_captions, m_platform.messages, main->treeCommands(), icons, main);
    if (!m_newRecord->LoadCatalogue(m_paths, m_settings.GetSetting(SettingKey::Language)))
        return false;
    m_newGroup = new TFormNewGroup(m_captions, m_platform.messages, icons, main);
    m_newField = new TFormNewField(m_captions, m_platform.messages, main);
    main->setCreationWindows(m_newGroup, m_newRecord, m_newField);
    auto* interchange = new InterchangeCommands(m_captions, m_platform.messages, m_newRecord->catalogue(),
                                                main->session(), main->treeCommands(), *main);
    QObject::connect(main->actions().importFile, &QAction::triggered, interchange, &InterchangeCommands::importFile);
    QObject::connect(main->actions().exportFile, &QAction::triggered, interchange, &InterchangeCommands::exportFile);

    m_password = new TFormPassword(m_captions, m_platform.messages, m_platform.capsLock, main);
    m_password->setRevealIcon(Artwork::actionIcon(m_paths, Artwork::ActionIcon::RevealField));
    m_password->setGeneratedPasswordSource([this](QWidget* parent, PasswordGenerator::Purpose purpose) {
        return askGeneratedPassword(parent, m_captions, m_settings, purpose, wordList());
    });
    main->setPasswordWindow(m_password);
    m_lockPrompt = new TFormPassword(m_captions, m_platform.messages, m_platform.capsLock, main);
    createLock();

    m_settingsWindow = new TFormSettings(m_captions, m_paths, main);
    m_settingsWindow->LoadSettingsIntoWindow(m_settings);
    m_language = m_settingsWindow->selectedLanguage();
    m_association.ApplyAssociationSetting(m_settingsWindow->associationChecked());
    main->setSettingsWindow(m_settingsWindow);
    QObject::connect(main->actions().settings, &QAction::triggered, main, [this] { ActionSettingsExecute(); });
    QObject::connect(main, &TFormMain::languageChosen, main, [this](int index) { LanguageMenuItemClick(index); });
    main->BuildLanguageMenu(Languages::ListLanguages(m_paths.languagesFolder()));
    main->MarkCurrentLanguage(m_settingsWindow->selectedLanguageIndex());

    m_searchWindow = new TFormSearch(m_captions, main);
    main->setSearchWindow(m_searchWindow);

    m_groupSelect = new TFormGroupSelect(m_captions, main->treeCommands(), icons, main);
    m_groupSelect->setNewGroupWindow(m_newGroup);
    m_newGroup->setGroupSelectWindow(m_groupSelect);
    m_newRecord->setGroupSelectWindow(m_groupSelect);

    m_about = new TFormAbout(m_captions, main->helpLinks(), Artwork::picture(m_paths, Artwork::Picture::About), main);
    main->setAboutWindow(m_about);

    decorateDialogs();
    return true;
}

void Program::connectFieldTools()
{
    TFormMain* main = m_main.get();
    QStatusBar* status = main->statusBar();
    m_secretClipboard = new SecretClipboard(m_settings, m_captions, main);
    main->recordEditor().setFieldButtonIcons({Artwork::actionIcon(m_paths, Artwork::ActionIcon::RevealField),
                                              Artwork::actionIcon(m_paths, Artwork::ActionIcon::CopyField),
                                              Artwork::actionIcon(m_paths, Artwork::ActionIcon::GenerateField)});
    QObject::connect(&main->recordEditor(), &RecordEditor::copyRequested, m_secretClipboard, &SecretClipboard::copy);
    QObject::connect(m_secretClipboard, &SecretClipboard::countdownChanged, status,
                     [status](const QString& text) { status->showMessage(text); });
    // Also seen while the window is hidden in the notification area.
    QObject::connect(m_secretClipboard, &SecretClipboard::countdownChanged, &main->statusDisplay(),
                     &DocumentStatusDisplay::showStatus);
    main->recordEditor().setPasswordSource([this](QWidget* parent) {
        return askGeneratedPassword(parent, m_captions, m_settings, PasswordGenerator::Purpose::AnyField, wordList());
    });
    auto* quickCopy = new QuickCopyShortcuts(main->TreeView(), main->recordEditor(), m_captions);
    QObject::connect(quickCopy, &QuickCopyShortcuts::nothingToCopy, status,
                     [status](const QString& message) { status->showMessage(message, NothingToCopyShownMs); });
}

void Program::createLock()
{
    TFormMain* main = m_main.get();
    const DocumentSession& session = main->session();
    auto* lock =
        new AutoLock({m_settings, m_captions, m_platform.messages, m_platform.idleTime, m_platform.sessionEvents},
                     {[&session] { return session.fileName(); }, [&session] { return session.sealing().format; },
                      [&session] { return session.password(); },
                      [main] { return main->FormCloseQuery(DocumentSession::SaveElsewhere::Refused); }},
                     &QApplication::topLevelWidgets, *main, *m_lockPrompt);
    main->setAutoLock(lock);
    QObject::connect(lock, &AutoLock::endRequested, main, &TFormMain::endRequested);
    QObject::connect(lock, &AutoLock::lockedChanged, &main->statusDisplay(), &DocumentStatusDisplay::showLocked);
    QAction* unlock = main->actions().unlock;
    QObject::connect(lock, &AutoLock::lockedChanged, main,
                     [main, unlock](bool locked) { TrayLockMenu::showLocked(main->PopupMenuTray(), *unlock, locked); });
    QObject::connect(unlock, &QAction::triggered, lock, &AutoLock::showPrompt);
    QObject::connect(lock, &AutoLock::aboutToLock, &main->recordEditor(), &RecordEditor::hideSecrets);
    QObject::connect(main->actions().lockNow, &QAction::triggered, lock, &AutoLock::lockNowCommand);
    QObject::connect(main, &TFormMain::hiddenToTray, lock, &AutoLock::mainWindowHidden);
}

void Program::decorateDialogs() const
{
    const QPixmap dialogPicture = Artwork::picture(m_paths, Artwork::Picture::DialogBackground);
    for (QWidget* dialog : std::initializer_list<QWidget*>{m_newRecord, m_newGroup, m_newField, m_password,
                                                           m_lockPrompt, m_searchWindow, m_groupSelect})
        BackgroundPicture::showBehind(dialog, dialogPicture);
    BackgroundPicture::showBehind(m_settingsWindow, Artwork::picture(m_paths, Artwork::Picture::SettingsBackground));
}

void Program::applyStockTranslations(const QString& language)
{
    // A name that is not exactly a listed language loads English captions,
    // and the settings window shows English for it: so do Qt's texts.
    const bool listed = Languages::ListLanguages(m_paths.languagesFolder()).contains(language);
    const QLocale locale = Languages::LanguageLocale(listed ? language : QLatin1String(Languages::EnglishLanguage));
    m_stockTranslations.apply(locale);
    // Dates and times, in the editor and in what the search compares, read
    // as in the language.
    QLocale::setDefault(locale);
}

void Program::openStartupFile(const QString& commandLineFile)
{
    const bool hidden = m_settingsWindow->hiddenChecked();
    // Absolute, so that the last-file setting still names it from another folder.
    m_main->OpenStartupFile(commandLineFile.isEmpty() ? QString() : QFileInfo(commandLineFile).absoluteFilePath());

    // Starting hidden needs the tray icon to come back through; where it
    // does not show, the window is shown all the same.
    if (!(hidden && m_main->SysTray().shown()))
        m_main->show();
}

void Program::ActionSettingsExecute()
{
    // Measured at the first protected save, perhaps since the window was filled.
    m_settingsWindow->showNewFileCost(m_settings.newFileCost());
    if (m_settingsWindow->exec() == QDialog::Accepted) {
        m_settings.StoreSettingsFromWindow(m_settingsWindow->windowState(m_main->CurrentFileName()));
        ReloadLanguage();
    } else {
        m_settingsWindow->LoadSettingsIntoWindow(m_settings);
        m_language = m_settingsWindow->selectedLanguage();
    }
    m_association.ApplyAssociationSetting(m_settingsWindow->associationChecked());
    m_main->SysTray().setVisible(m_settings.isOn(SettingKey::SysTray));
}

void Program::ReloadLanguage()
{
    const QString language = m_settings.GetSetting(SettingKey::Language);
    // Checked before anything changes, so that the language the program has
    // is still whole if it must stay.
    if (!findCatalogueFile(m_paths, language)) {
        m_platform.messages.show(
            MessageService::Kind::Error,
            m_captions.GetCaption(QLatin1String(MessageConfigNotFoundKey), QLatin1String(MessageConfigNotFoundText)));
        keepLanguageOrEnd();
        return;
    }
    // The language's own code page, unless another is chosen; before its
    // file is read, which may be in it.
    const CodePage codePage = m_settings.olderFilesCodePage();
    TextEncoding::setOlderFilesCodePage(codePage);
    m_settingsWindow->selectCodePage(codePage);
    m_captions.load(m_paths.languageFile(language));
    applyStockTranslations(language);
    m_main->ApplyMainMenuCaptions();
    m_newGroup->ApplyNewGroupCaptions();
    // Fails only for a catalogue removed since the check; the message is
    // shown, and the catalogue read before stays.
    if (!m_newRecord->ApplyNewRecordCaptions(m_paths, language)) {
        keepLanguageOrEnd();
        return;
    }
    m_newField->ApplyNewFieldCaptions();
    m_settingsWindow->ApplySettingsCaptions();
    m_password->ApplyPasswordCaptions();
    m_lockPrompt->ApplyPasswordCaptions();
    m_searchWindow->ApplySearchCaptions();
    m_groupSelect->ApplyGroupSelectCaptions();
    m_about->ApplyAboutCaptions();
    m_settings.SetSetting(SettingKey::Language, m_settingsWindow->selectedLanguage());
    m_language = m_settingsWindow->selectedLanguage();
    m_main->BuildLanguageMenu(Languages::ListLanguages(m_paths.languagesFolder()));
    m_main->MarkCurrentLanguage(m_settingsWindow->selectedLanguageIndex());
}

void Program::keepLanguageOrEnd()
{
    // The language with the catalogue in use comes back, so that Cancel
    // keeps the program running as it was and the settings written at the
    // end start it again.
    m_settings.SetSetting(SettingKey::Language, m_language);
    m_settingsWindow->selectLanguage(m_language);
    m_main->MarkCurrentLanguage(m_settingsWindow->selectedLanguageIndex());
    if (!m_main->FormCloseQuery())
        return;
    // The changes are saved or given up: closing asks nothing more.
    m_main->SetModified(false);
    m_main->close();
}

void Program::LanguageMenuItemClick(int index)
{
    m_settingsWindow->selectLanguageIndex(index);
    m_settings.SetSetting(SettingKey::Language, m_settingsWindow->selectedLanguage());
    ReloadLanguage();
}

void Program::finish()
{
    m_settings.SaveSettingsFile();
}

// Read when the generator first needs it, not at every start.
const QStringList& Program::wordList()
{
    if (m_wordList.isEmpty())
        m_wordList = Passphrase::readWordList(m_paths.wordListFile());
    return m_wordList;
}
