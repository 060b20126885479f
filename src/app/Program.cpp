#include "app/Program.h"

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/SplashWindow.h"
#include "datafile/PasswordWindow.h"
#include "platform/TrayShell.h"

#include <QApplication>

Program::Program(const ProgramPaths& paths, const PlatformServices& platform)
    : m_paths(paths)
    , m_platform(platform)
{
}

Program::~Program() = default;

void Program::start(const QString& commandLineFile)
{
    createWindows(true);
    openStartupFile(commandLineFile);
}

void Program::createWindows(bool showSplash)
{
    m_settings.LoadSettings(m_paths);
    m_captions.load(m_paths.languageFile(m_settings.GetSetting(SettingKey::Language)));

    if (showSplash) {
        m_splash = std::make_unique<TFormSplash>();
        m_splash->showNow();
    }
    QApplication::setApplicationDisplayName(QStringLiteral("Zantrove"));

    m_main = std::make_unique<TFormMain>(
        MainWindowServices{m_paths, m_settings, m_captions, m_platform.messages, m_platform.launcher, m_platform.trayShell});
    m_password = new TFormPassword(m_captions, m_platform.messages, m_main.get());
    m_main->setPasswordWindow(m_password);
    m_main->trackDialog(m_password);
    m_about = new TFormAbout(m_captions, m_platform.launcher, m_main.get());
    m_main->setAboutWindow(m_about);
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
