#pragma once

#include "config/CaptionTable.h"
#include "config/FileAssociation.h"
#include "config/ProgramPaths.h"

#include "config/SettingsStore.h"
#include "config/StockTranslations.h"

#include <QStringList>

#include <memory>

class CapsLockState;
class DesktopLauncher;
class IdleTimeSource;
class MessageService;
class SecretClipboard;
class SessionEvents;
class TFormAbout;
class TFormGroupSelect;
class TFormNewField;
class TFormNewGroup;
class TFormNewRecord;
class TFormMain;
class TFormPassword;
class TFormSearch;
class TFormSettings;
class TFormSplash;
class TrayShell;

// The platform services the program runs on; tests give doubles.
struct PlatformServices {
    MessageService& messages;
    DesktopLauncher& launcher;
    TrayShell& trayShell;
    IdleTimeSource& idleTime;
    SessionEvents& sessionEvents;
    CapsLockState& capsLock;
};

// The program from start to end: settings and captions first, the splash, the
// windows created once each in their fixed order, the start-up file, and the
// settings file written on the way out.
class Program {
public:
    Program(const ProgramPaths& paths, const PlatformServices& platform);
    ~Program();

    // Everything up to the message loop: createWindows, then openStartupFile.
    // False when the program cannot run and must end at once.
    bool start(const QString& commandLineFile);
    // Settings and captions, the splash (when asked), and every window. False
    // when there is no record-type catalogue: the user has been told.
    bool createWindows(bool showSplash = false);
    // The start-up file, then the main window shown unless it starts hidden.
    void openStartupFile(const QString& commandLineFile);
    // The settings list to its file; the last step before the process ends.
    void finish();

    // Options > Settings: Ok stores the window's settings and reloads the
    // language; Cancel puts the stored ones back. Either way the association
    // and the tray icon follow the settings.
    void ActionSettingsExecute();
    // Loads the chosen language's captions and gives every window its texts,
    // the catalogue included. A language without a catalogue is not taken:
    // the one in use stays, and the program ends after the close question
    // unless the user cancels it.
    void ReloadLanguage();
    void LanguageMenuItemClick(int index);

    TFormMain& mainWindow() const { return *m_main; }
    TFormSettings& settingsWindow() const { return *m_settingsWindow; }
    TFormSearch& searchWindow() const { return *m_searchWindow; }
    TFormPassword& passwordWindow() const { return *m_password; }
    TFormPassword& lockPrompt() const { return *m_lockPrompt; }
    TFormNewGroup& newGroupWindow() const { return *m_newGroup; }
    TFormNewRecord& newRecordWindow() const { return *m_newRecord; }
    TFormNewField& newFieldWindow() const { return *m_newField; }
    TFormGroupSelect& groupSelectWindow() const { return *m_groupSelect; }
    SettingsStore& settings() { return m_settings; }
    // The chosen language's texts, from construction on.
    const CaptionTable& captions() const { return m_captions; }

private:
    // The buttons beside the fields, and copying from them and from the tree
    // with the clipboard's countdown in the status bar.
    void connectFieldTools();
    // The lock over every window, with its own prompt, so a password prompt
    // that the lock interrupts keeps its state.
    void createLock();
    // The pictures behind the controls of the dialogs.
    void decorateDialogs() const;
    // Qt's own texts, and the form of dates and times, in language.
    void applyStockTranslations(const QString& language);
    // For a language without a catalogue: the one in use is put back, then
    // the close question; unless it is cancelled, the main window closes.
    void keepLanguageOrEnd();
    // The words passphrases are drawn from; none when the list is missing.
    const QStringList& wordList();

    ProgramPaths m_paths;
    QStringList m_wordList;
    PlatformServices m_platform;
    SettingsStore m_settings;
    CaptionTable m_captions;
    StockTranslations m_stockTranslations;
    // The language whose catalogue is loaded.
    QString m_language;
    FileAssociation m_association;
    std::unique_ptr<TFormSplash> m_splash;
    std::unique_ptr<TFormMain> m_main;
    TFormPassword* m_password = nullptr;
    TFormPassword* m_lockPrompt = nullptr;
    TFormNewRecord* m_newRecord = nullptr;
    TFormNewGroup* m_newGroup = nullptr;
    TFormNewField* m_newField = nullptr;
    TFormSettings* m_settingsWindow = nullptr;
    TFormSearch* m_searchWindow = nullptr;
    TFormGroupSelect* m_groupSelect = nullptr;
    TFormAbout* m_about = nullptr;
    SecretClipboard* m_secretClipboard = nullptr;
};
