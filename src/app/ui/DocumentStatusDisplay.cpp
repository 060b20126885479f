#include "app/ui/DocumentStatusDisplay.h"

#include "config/CaptionTable.h"
#include "tray/ui/SysTray.h"

#include <QWidget>

namespace {

QIcon greyed(const QIcon& icon)
{
    QIcon grey;
    for (const int size : {16, 22, 24, 32, 48, 64})
        grey.addPixmap(icon.pixmap(QSize(size, size), QIcon::Disabled));
    return grey;
}

} // namespace

DocumentStatusDisplay::DocumentStatusDisplay(const CaptionTable& captions, QWidget& window, TSysTray& tray)
    : QObject(&window)
    , m_captions(captions)
    , m_window(window)
    , m_tray(tray)
    , m_unlockedIcon(tray.Icon())
{
    refresh();
}

void DocumentStatusDisplay::showDocument(const QString& filePath, bool modified, bool readOnly)
{
    m_hint.filePath = filePath;
    m_modified = modified;
    m_readOnly = readOnly;
    refresh();
}

void DocumentStatusDisplay::showLocked(bool locked)
{
    m_locked = locked;
    m_tray.setIcon(locked ? greyed(m_unlockedIcon) : m_unlockedIcon);
    refresh();
}

void DocumentStatusDisplay::showStatus(const QString& status)
{
    m_hint.status = status;
    refresh();
}

void DocumentStatusDisplay::refresh()
{
    m_window.setWindowTitle(DocumentTitle::windowTitle(
        m_hint.filePath, m_modified,
        m_captions.GetCaption(QStringLiteral("MainTitleUntitled"), QStringLiteral("Untitled")),
        m_readOnly ? m_captions.GetCaption(QStringLiteral("MainTitleReadOnly"), QStringLiteral("read-only"))
                   : QString()));
    m_hint.lockedMark =
        m_locked ? m_captions.GetCaption(QStringLiteral("TrayHintLocked"), QStringLiteral("locked")) : QString();
    m_tray.setHint(DocumentTitle::trayHint(m_hint, TSysTray::HintLimit));
}
