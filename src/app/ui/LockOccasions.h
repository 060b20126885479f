#pragma once

#include <QObject>

class AutoLock;
class CaptionTable;
class MessageService;
class SessionEvents;
class SettingsStore;
class QWidget;

// The occasions besides idling on which the program locks, each as its
// setting allows: the desktop locking its screen or going to sleep, the main
// window minimised or hidden to the notification area, and the user's own
// "Lock now". Every lock is AutoLock's, started from the event loop, so that
// its prompt never runs inside the handling of the event that asked for it.
class LockOccasions : public QObject {
    Q_OBJECT
public:
    LockOccasions(const SettingsStore& settings, const CaptionTable& captions, MessageService& messages,
                  AutoLock& autoLock, SessionEvents& sessionEvents, QWidget& mainWindow);

    // "Lock now": locks, or says why there is nothing to lock.
    void lockNowCommand();
    // The main window left for the notification area.
    void mainWindowHidden();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lockIf(const char* settingKey, bool onByDefault);
    void lockSoon();

    const SettingsStore& m_settings;
    const CaptionTable& m_captions;
    MessageService& m_messages;
    AutoLock& m_autoLock;
    QWidget& m_mainWindow;
};
