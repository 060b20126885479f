#include "app/ui/AutoLock.h"

#include "app/ui/BackgroundWork.h"
#include "app/ui/ClipboardGuard.h"
#include "config/SettingsStore.h"
#include "datafile/DataFile.h"
#include "datafile/ui/PasswordWindow.h"
#include "platform/ui/IdleTime.h"
#include "platform/ui/TrackedDialog.h"

#include <QApplication>
#include <QTimer>

namespace {

// The main window and dialogs; not the splash, menus or tooltips.
bool worksWithUser(const QWidget* window)
{
    const Qt::WindowType type = window->windowType();
    return window->isVisible() && (type == Qt::Window || type == Qt::Dialog);
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

} // namespace

AutoLock::AutoLock(const SettingsStore& settings, IdleTimeSource& idleTime, LockedDocument document,
                   std::function<QWidgetList()> windows, QWidget& mainWindow)
    : QObject(&mainWindow)
    , m_settings(settings)
    , m_idleTime(idleTime)
    , m_document(std::move(document))
    , m_windows(std::move(windows))
    , m_mainWindow(mainWindow)
    , m_clipboard(new ClipboardGuard(this))
    , m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &AutoLock::TimerTimer);
    m_timer->start();
}

void AutoLock::setPrompt(TFormPassword* prompt)
{
    m_prompt = prompt;
    m_prompt->setLockGuard([this] { return m_locked; }, [this](const QString& typed) { return unlocks(typed); });
}

// Never while a file is being read or written: the lock would show windows
// and take input that must wait for the end of that work. The idle check
// comes again a second later; a lock asked for follows once the work is done.
void AutoLock::TimerTimer()
{
    if (m_prompt && !BackgroundWork::running() && idleLimitReached())
        lock();
}

bool AutoLock::lockPossible() const
{
    return m_prompt && !m_locked && !m_document.password().isEmpty();
}

void AutoLock::lockNow()
{
    if (BackgroundWork::running())
        QTimer::singleShot(BackgroundWork::ProgressDelayMs, this, &AutoLock::lockNow);
    else if (lockPossible())
        lock();
}

// A document never saved has no password to ask for, so it never locks.
bool AutoLock::idleLimitReached()
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

void AutoLock::lock()
{
    m_timer->stop();
    emit aboutToLock();
    const QList<QPointer<QWidget>> concealed = concealWindows();
    m_clipboard->clearOwned();
    m_prompt->setFile(m_document.fileName(), m_document.format());
    m_prompt->SetPasswordMode(false);
    m_locked = true;
    emit lockedChanged(true);
    const bool unlocked = m_prompt->exec() == QDialog::Accepted;
    m_locked = false;
    if (!unlocked) {
        emit endRequested();
        return;
    }
    emit lockedChanged(false);
    revealWindows(concealed);
    m_timer->start();
}

QList<QPointer<QWidget>> AutoLock::concealWindows()
{
    QList<QPointer<QWidget>> topmostFirst;
    // The modal chain first: each dialog concealed leaves the one that opened
    // it as the active modal window. One that will not hide ends the chain.
    for (QWidget* modal = QApplication::activeModalWidget(); modal && !topmostFirst.contains(modal);
         modal = QApplication::activeModalWidget()) {
        conceal(modal);
        topmostFirst.append(modal);
    }
    for (QWidget* window : m_windows()) {
        if (window != m_prompt && worksWithUser(window)) {
            conceal(window);
            topmostFirst.append(window);
        }
    }
    return topmostFirst;
}

void AutoLock::revealWindows(const QList<QPointer<QWidget>>& topmostFirst)
{
    m_mainWindow.showNormal();
    QWidget* topmost = &m_mainWindow;
    for (auto window = topmostFirst.crbegin(); window != topmostFirst.crend(); ++window) {
        if (!*window || *window == &m_mainWindow)
            continue;
        reveal(*window);
        topmost = *window;
    }
    topmost->raise();
    topmost->activateWindow();
}
