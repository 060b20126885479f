#pragma once

#include "datafile/DataFile.h"

#include <QObject>
#include <QPointer>
#include <QWidgetList>

#include <functional>

class CaptionTable;
class ClipboardGuard;
class IdleTimeSource;
class MessageService;
class QTimer;
class SessionEvents;
class SettingsStore;
class TFormPassword;

// What the lock is given rather than finds for itself, so tests can put
// doubles in place.
struct LockServices {
    const SettingsStore& settings;
    const CaptionTable& captions;
    MessageService& messages;
    IdleTimeSource& idleTime;
    SessionEvents& sessionEvents;
};

// What the lock needs of the open document: the path and format of its file
// and its own password, empty until the document has been saved or opened;
// and whether the program may end from the lock, after the close question
// (which, without the password, offers no saving anywhere else).
struct LockedDocument {
    std::function<QString()> fileName;
    std::function<DataFile::Format()> format;
    std::function<QString()> password;
    std::function<bool()> mayEnd;
};

// The program's lock. It locks once the user has been idle for the chosen
// minutes, and, each as its setting allows, when the desktop locks its
// screen or goes to sleep, when the main window is minimised or hidden to
// the notification area, and on the user's own "Lock now". Locking hides
// every window of the program, takes back the clipboard and selections it
// owns and asks for the document's own password (never the file's on disk,
// which anyone able to write its folder could swap for their own); once it
// is given, the windows come back in their old stacking order, the
// innermost dialog on top and active. Dialogs running their own event loop
// go on running while hidden, with what the user had typed in them, and so
// does file work: the windows hide when the lock is due, and the password is
// asked once the work is done. Escape and the close box leave the program
// locked; it ends from the lock only through the prompt's Exit and the close
// question.
class AutoLock : public QObject {
    Q_OBJECT
public:
    // windows: the program's top-level windows; mainWindow comes back after
    // every unlock, also when it had been hidden to the notification area.
    // prompt asks for the password while locked.
    AutoLock(const LockServices& services, LockedDocument document, std::function<QWidgetList()> windows,
             QWidget& mainWindow, TFormPassword& prompt);

    bool Locked() const { return m_locked; }
    // The once-a-second idle check.
    void checkIdleTime();
    // "Lock now": locks, or says why there is nothing to lock.
    void lockNowCommand();
    // The main window left for the notification area.
    void mainWindowHidden();
    // "Unlock": brings the prompt to the front while locked.
    void showPrompt();

signals:
    // The windows are about to be hidden: what they show must not be seen on the way back.
    void aboutToLock();
    // Exit was chosen at the prompt and the close question allowed it: the
    // program ends.
    void endRequested();
    // The prompt went up (true) or the right password took it down (false).
    void lockedChanged(bool locked);

protected:
    // Minimising the main window is an occasion to lock.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether there is something to lock: the document has a password and
    // the program is not locked already.
    bool lockPossible() const;
    bool idleLimitReached() const;
    bool unlocks(const QString& typed) const;
    void lockIf(const char* settingKey, bool onByDefault);
    // Every occasion locks from the event loop, so that the prompt never runs
    // inside the handling of the event that asked for it.
    void lockSoon();
    // Locks at once; nothing when no lock is possible.
    void lockNow();
    void lock();
    void hideWindows();
    // The prompt waits for the end of file work, which must not see its input.
    void askWhenWorkIsDone();
    // Until the password is given or the program ends from the prompt.
    void askPassword();

    const SettingsStore& m_settings;
    const CaptionTable& m_captions;
    MessageService& m_messages;
    IdleTimeSource& m_idleTime;
    LockedDocument m_document;
    std::function<QWidgetList()> m_windows;
    QWidget& m_mainWindow;
    TFormPassword& m_prompt;
    ClipboardGuard* m_clipboard;
    QTimer* m_timer;
    bool m_locked = false;
    // Hidden by the lock, topmost first; shown again after the unlock.
    QList<QPointer<QWidget>> m_concealed;
};
