#pragma once

#include "config/CaptionTable.h"
#include "config/ProgramPaths.h"
#include "config/SettingsStore.h"

#include <memory>

class DesktopLauncher;
class MessageService;
class TFormAbout;
class TFormMain;
class TFormPassword;
class TFormSplash;
class TrayShell;

// The platform services the program runs on; tests give doubles.
struct PlatformServices {
    MessageService& messages;
    DesktopLauncher& launcher;
    TrayShell& trayShell;
};

// The program from start to end: settings and captions first, the splash, the
// windows created once each in their fixed order, the start-up file, and the
// settings file written on the way out.
class Program {
public:
    Program(const ProgramPaths& paths, const PlatformServices& platform);
    ~Program();

    // Everything up to the message loop: createWindows, then openStartupFile.
    void start(const QString& commandLineFile);
    // Settings and captions, the splash (when asked), and every window.
    void createWindows(bool showSplash = false);
    // The start-up file, then the main window shown unless it starts hidden.
    void openStartupFile(const QString& commandLineFile);
    // The settings list to its file; the last step before the process ends.
    void finish();

    TFormMain& mainWindow() const { return *m_main; }
    TFormPassword& passwordWindow() const { return *m_password; }
    SettingsStore& settings() { return m_settings; }

private:
    ProgramPaths m_paths;
    PlatformServices m_platform;
    SettingsStore m_settings;
    CaptionTable m_captions;
    std::unique_ptr<TFormSplash> m_splash;
    std::unique_ptr<TFormMain> m_main;
    TFormPassword* m_password = nullptr;
    TFormAbout* m_about = nullptr;
};
