#include "app/Program.h"

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/SplashWindow.h"
#include "datafile/PasswordWindow.h"
#include "document/TypeIcons.h"
#include "document/UnitGroupSelect.h"
#include "document/UnitNewField.h"
#include "document/UnitNewGroup.h"
#include "document/UnitNewRecord.h"
#include "platform/TrayShell.h"

#include <QApplication>

Program::Program(const ProgramPaths& paths, const PlatformServices& platform)
    : m_paths(paths)
    , m_platform(platform)
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
    m_captions.load(m_paths.languageFile(m_settings.GetSetting(SettingKey::Language)));

    if (showSplash) {
        m_splash = std::make_unique<TFormSplash>();
        m_splash->showNow();
    }
    QApplication::setApplicationDisplayName(QStringLiteral("Zantrove"));

    m_main = std::make_unique<TFormMain>(
        MainWindowServices{m_paths, m_settings, m_captions, m_platform.messages, m_platform.launcher,
                           m_platform.trayShell, m_platform.idleTime});
    TFormMain* main = m_main.get();
    // Ends at once: no close question, no saving; the settings file is still written.
    QObject::connect(main, &TFormMain::endRequested, main, [] { QCoreApplication::exit(0); });
    const QList<QIcon> icons = treeIcons();

    m_newRecord = new TFormNewRecord(m_captions, m_platform.messages, *main, icons, main);
    if (!m_newRecord->LoadCatalogue(m_paths, m_settings.GetSetting(SettingKey::Language)))
        return false;
    m_newGroup = new TFormNewGroup(m_captions, m_platform.messages, icons, main);
    m_newField = new TFormNewField(m_captions, m_platform.messages, main);
    main->setCreationWindows(m_newGroup, m_newRecord, m_newField);

    m_password = new TFormPassword(m_captions, m_platform.messages, main);
    main->setPasswordWindow(m_password);
    m_lockPrompt = new TFormPassword(m_captions, m_platform.messages, main);
    main->setLockPrompt(m_lockPrompt);

    m_groupSelect = new TFormGroupSelect(m_captions, *main, icons, main);
    m_groupSelect->setNewGroupWindow(m_newGroup);
    m_newGroup->setGroupSelectWindow(m_groupSelect);
    m_newRecord->setGroupSelectWindow(m_groupSelect);

    m_about = new TFormAbout(m_captions, m_platform.launcher, main);
    main->setAboutWindow(m_about);

    for (TrackedDialog* dialog : std::initializer_list<TrackedDialog*>{m_newRecord, m_newGroup, m_newField, m_password})
        main->trackDialog(dialog);
    return true;
}

void Program::openStartupFile(const QString& commandLineFile)
{
    const bool hidden = m_settings.isOn(SettingKey::Hidden);
    m_main->OpenStartupFile(commandLineFile);

    // Starting hidden needs the tray icon to come back through; without a
    // notification area the window is shown all the same.
    const bool trayReachable = m_settings.isOn(SettingKey::SysTray) && m_platform.trayShell.isAvailable();
    if (!(hidden && trayReachable))
        m_main->show();
}

void Program::finish()
{
    m_settings.SaveSettingsFile();
}
