#include "app/ui/AutoLock.h"

#include "app/ui/BackgroundWork.h"
#include "app/ui/ClipboardGuard.h"
#include "config/CaptionTable.h"
#include "config/SettingsStore.h"
#include "datafile/ui/FormPassword.h"
#include "platform/MessageService.h"
#include "platform/SessionEvents.h"
#include "platform/ui/DesktopIdleTimeSource.h"
#include "platform/ui/TrackedDialog.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <utility>

namespace {

using StackedWindows = QList<QPointer<QWidget>>;

// How often the lock looks whether the file work it waits for is done.
constexpr int WorkPollMs = 100;

// The main window and dialogs; not the splash, menus or tooltips, nor a
// window the window manager never sees, such as the one in which Qt docks
// the tray icon into an X11 notification area: hidden, that one would not
// dock again.
bool worksWithUser(const QWidget* window)
{
    const Qt::WindowType type = window->windowType();
    return window->isVisible() && (type == Qt::Window || type == Qt::Dialog)
           && !window->windowFlags().testFlag(Qt::BypassWindowManagerHint);
}

void conceal(QWidget* window)
{
    if (auto* tracked = qobject_cast<TrackedDialog*>(window))
        tracked->conceal();
    else if (qobject_cast<QDialog*>(window))
        // QDialog's own hiding would end a running exec(); the plain widget's does not.
        window->QWidget::setVisible(false);
    else
        window->hide();
}

void reveal(QWidget* window)
{
    if (auto* tracked = qobject_cast<TrackedDialog*>(window))
        tracked->reveal();
    else
        window->show();
}

// Hides the windows the user works in, all but except; gives them topmost first.
StackedWindows concealWindows(const QWidgetList& windows, const QWidget* except)
{
    StackedWindows topmostFirst;
    // The modal chain first: each dialog concealed leaves the one that opened
    // it as the active modal window. One that will not hide ends the chain.
    for (QWidget* modal = QApplication::activeModalWidget(); modal && !topmostFirst.contains(modal);
         modal = QApplication::activeModalWidget()) {
        conceal(modal);
        topmostFirst.append(modal);
    }
    for (QWidget* window : windows) {
        if (window != except && worksWithUser(window)) {
            conceal(window);
            topmostFirst.append(window);
        }
    }
    return topmostFirst;
}

// The main window first, then the others bottom up; the topmost gets the focus.
void revealWindows(const StackedWindows& topmostFirst, QWidget& mainWindow)
{
    mainWindow.showNormal();
    QWidget* topmost = &mainWindow;
    for (auto window = topmostFirst.crbegin(); window != topmostFirst.crend(); ++window) {
        if (!*window || *window == &mainWindow)
            continue;
        reveal(*window);
        topmost = *window;
    }
    topmost->raise();
    topmost->activateWindow();
}

} // namespace

AutoLock::AutoLock(const LockServices& services, LockedDocument document, std::function<QWidgetList()> windows,
                   QWidget& mainWindow, TFormPassword& prompt)
    : QObject(&mainWindow)
    , m_settings(services.settings)
    , m_captions(services.captions)
    , m_messages(services.messages)
    , m_idleTime(services.idleTime)
    , m_document(std::move(document))
    , m_windows(std::move(windows))
    , m_mainWindow(mainWindow)
    , m_prompt(prompt)
    , m_clipboard(new ClipboardGuard(this))
    , m_timer(new QTimer(this))
{
    m_prompt.setLockGuard([this] { return m_locked; }, [this](const QString& typed) { return unlocks(typed); });
    connect(&services.sessionEvents, &SessionEvents::screenLocked, this,
            [this] { lockIf(SettingKey::LockOnScreenLock, true); });
    connect(&services.sessionEvents, &SessionEvents::sleeping, this,
            [this] { lockIf(SettingKey::LockBeforeSleep, true); });
    m_mainWindow.installEventFilter(this);
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &AutoLock::checkIdleTime);
    m_timer->start();
}

void AutoLock::checkIdleTime()
{
    if (idleLimitReached())
        lock();
}

void AutoLock::lockNowCommand()
{
    if (lockPossible())
        lockSoon();
    else if (!m_locked)
        m_messages.show(
            MessageService::Kind::Information,
            m_captions.GetCaption(QStringLiteral("MessageNothingToLock"),
                                  QStringLiteral("Only a file that has been opened or saved can be locked")));
}

void AutoLock::mainWindowHidden()
{
    lockIf(SettingKey::LockWhenMinimised, false);
}

void AutoLock::showPrompt()
{
    if (!m_locked || !m_prompt.isVisible())
        return;
    m_prompt.raise();
    m_prompt.activateWindow();
}

bool AutoLock::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_mainWindow && event->type() == QEvent::WindowStateChange && m_mainWindow.isMinimized())
        lockIf(SettingKey::LockWhenMinimised, false);
    return QObject::eventFilter(watched, event);
}

bool AutoLock::lockPossible() const
{
    return !m_locked && !m_document.password().isEmpty();
}

// A document never saved has no password to ask for, so it never locks.
bool AutoLock::idleLimitReached() const
{
    if (!m_settings.isOn(SettingKey::AutoBlocking) || m_document.password().isEmpty())
        return false;
    const std::optional<int> minutes = lockMinutesFrom(m_settings.GetSetting(SettingKey::BlockingTime));
    return minutes && m_idleTime.IdleMilliseconds() / 1000 >= quint64(*minutes) * 60;
}

bool AutoLock::unlocks(const QString& typed) const
{
    return DataFile::samePassword(typed, m_document.password(), m_document.format());
}

void AutoLock::lockIf(const char* settingKey, bool onByDefault)
{
    const QString key = QLatin1String(settingKey);
    if (onByDefault ? m_settings.isNotOff(key) : m_settings.isOn(key))
        lockSoon();
}

void AutoLock::lockSoon()
{
    QMetaObject::invokeMethod(this, &AutoLock::lockNow, Qt::QueuedConnection);
}

void AutoLock::lockNow()
{
    if (lockPossible())
        lock();
}

void AutoLock::lock()
{
    hideWindows();
    askWhenWorkIsDone();
}

void AutoLock::hideWindows()
{
    m_timer->stop();
    emit aboutToLock();
    m_concealed = concealWindows(m_windows(), &m_prompt);
    m_clipboard->clearOwned();
    m_locked = true;
    emit lockedChanged(true);
}

void AutoLock::askWhenWorkIsDone()
{
    if (BackgroundWork::running())
        QTimer::singleShot(WorkPollMs, this, &AutoLock::askWhenWorkIsDone);
    else
        askPassword();
}

void AutoLock::askPassword()
{
    m_prompt.setFile(m_document.fileName(), m_document.format());
    m_prompt.SetPasswordMode(false);
    m_prompt.setWindowTitle(
        m_captions.GetCaption(QStringLiteral("PasswordCaptionLocked"), QStringLiteral("Zantrove is locked")));
    // While locked the prompt closes only with the right password or Exit;
    // anything else means the event loops are ending with the program.
    int result = m_prompt.exec();
    while (result == TFormPassword::ExitChosen) {
        if (m_document.mayEnd()) {
            emit endRequested();
            return;
        }
        result = m_prompt.exec();
    }
    if (result != QDialog::Accepted)
        return;
    m_locked = false;
    emit lockedChanged(false);
    revealWindows(std::exchange(m_concealed, {}), m_mainWindow);
    m_timer->start();
}
