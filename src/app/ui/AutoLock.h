#pragma once

#include "datafile/DataFile.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidgetList>

#include <functional>

class ClipboardGuard;
class IdleTimeSource;
class QTimer;
class SettingsStore;
class TFormPassword;

// What the lock needs of the open document: the path and format of its file
// and its own password, empty until the document has been saved or opened.
struct LockedDocument {
    std::function<QString()> fileName;
    std::function<DataFile::Format()> format;
    std::function<QString()> password;
};

// The automatic lock. Once a second it compares the user's idle time with
// the chosen minutes; when they have passed it hides every window of the
// program, takes back the clipboard and selections it owns, asks for the
// document's own password (never the file's on disk, which anyone able to
// write its folder could swap for their own) and, once it is given,
// shows the windows again in their old stacking order, the innermost dialog
// on top and active. Dialogs running their own event loop go on running
// while hidden, with what the user had typed in them.
class AutoLock : public QObject {
    Q_OBJECT
public:
    // windows: the program's top-level windows; mainWindow comes back after
    // every unlock, also when it had been hidden to the notification area.
    AutoLock(const SettingsStore& settings, IdleTimeSource& idleTime, LockedDocument document,
             std::function<QWidgetList()> windows, QWidget& mainWindow);

    // The prompt that asks for the password while locked.
    void setPrompt(TFormPassword* prompt);
    bool Locked() const { return m_locked; }
    // Whether there is something to lock: the document has a password and
    // the program is not locked already.
    bool lockPossible() const;
    // The same lock as after the idle minutes, at once; nothing when no lock
    // is possible.
    void lockNow();
    // The once-a-second check.
    void TimerTimer();

signals:
    // The windows are about to be hidden: what they show must not be seen on the way back.
    void aboutToLock();
    // The prompt was cancelled: the program ends at once, without questions.
    void endRequested();
    // The prompt went up (true) or the right password took it down (false).
    void lockedChanged(bool locked);

private:
    bool idleLimitReached();
    bool unlocks(const QString& typed) const;
    void lock();
    // Hides the windows the user works in; gives them topmost first.
    QList<QPointer<QWidget>> concealWindows();
    void revealWindows(const QList<QPointer<QWidget>>& topmostFirst);

    const SettingsStore& m_settings;
    IdleTimeSource& m_idleTime;
    LockedDocument m_document;
    std::function<QWidgetList()> m_windows;
    QWidget& m_mainWindow;
    TFormPassword* m_prompt = nullptr;
    ClipboardGuard* m_clipboard;
    QTimer* m_timer;
    bool m_locked = false;
};
