#include "app/ui/LockOccasions.h"

#include "app/ui/AutoLock.h"
#include "config/CaptionTable.h"
#include "config/SettingsStore.h"
#include "platform/MessageService.h"
#include "platform/SessionEvents.h"

#include <QEvent>
#include <QWidget>

LockOccasions::LockOccasions(const SettingsStore& settings, const CaptionTable& captions, MessageService& messages,
                             AutoLock& autoLock, SessionEvents& sessionEvents, QWidget& mainWindow)
    : QObject(&mainWindow)
    , m_settings(settings)
    , m_captions(captions)
    , m_messages(messages)
    , m_autoLock(autoLock)
    , m_mainWindow(mainWindow)
{
    connect(&sessionEvents, &SessionEvents::screenLocked, this,
            [this] { lockIf(SettingKey::LockOnScreenLock, true); });
    connect(&sessionEvents, &SessionEvents::sleeping, this, [this] { lockIf(SettingKey::LockBeforeSleep, true); });
    mainWindow.installEventFilter(this);
}

void LockOccasions::lockNowCommand()
{
    if (m_autoLock.lockPossible())
        lockSoon();
    else if (!m_autoLock.Locked())
        m_messages.show(MessageService::Kind::Information,
                        m_captions.GetCaption(QStringLiteral("MessageNothingToLock"),
                                              QStringLiteral("Only a file that has been opened or saved can be locked")));
}

void LockOccasions::mainWindowHidden()
{
    lockIf(SettingKey::LockWhenMinimised, false);
}

bool LockOccasions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_mainWindow && event->type() == QEvent::WindowStateChange && m_mainWindow.isMinimized())
        lockIf(SettingKey::LockWhenMinimised, false);
    return QObject::eventFilter(watched, event);
}

void LockOccasions::lockIf(const char* settingKey, bool onByDefault)
{
    const QString key = QLatin1String(settingKey);
    if (onByDefault ? m_settings.isNotOff(key) : m_settings.isOn(key))
        lockSoon();
}

void LockOccasions::lockSoon()
{
    QMetaObject::invokeMethod(&m_autoLock, &AutoLock::lockNow, Qt::QueuedConnection);
}
