#include "app/ui/SecretClipboard.h"

#include "config/CaptionTable.h"
#include "config/SettingsStore.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QRandomGenerator>

namespace {

// Read by the clipboard managers of KDE and others: "do not record this".
const QString PasswordManagerHint = QStringLiteral("x-kde-passwordManagerHint");
const QString CopyMarkFormat = QStringLiteral("application/x-zantrove-copy");

} // namespace

SecretClipboard::SecretClipboard(const SettingsStore& settings, const CaptionTable& captions, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_captions(captions)
{
    m_second.setInterval(1000);
    connect(&m_second, &QTimer::timeout, this, &SecretClipboard::tick);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &SecretClipboard::clipboardChanged);
}

void SecretClipboard::copy(const QString& value)
{
    m_copyMark = QByteArray::number(QRandomGenerator::system()->generate64(), 16);
    auto* data = new QMimeData;
    data->setText(value);
    data->setData(PasswordManagerHint, QByteArrayLiteral("secret"));
    data->setData(CopyMarkFormat, m_copyMark);
    QGuiApplication::clipboard()->setMimeData(data);

    m_secondsLeft = clipboardSecondsFrom(m_settings.GetSetting(QLatin1String(SettingKey::ClipboardSeconds)));
    if (m_secondsLeft == 0) {
        stopCountdown();
        return;
    }
    m_second.start();
    emit countdownChanged(countdownText());
}

QString SecretClipboard::countdownText() const
{
    if (!m_second.isActive())
        return {};
    return m_captions.GetCaption(QStringLiteral("MessageClipboardClearsIn"), QStringLiteral("Clipboard clears in %1 s"))
        .replace(QLatin1String("%1"), QString::number(m_secondsLeft));
}

void SecretClipboard::tick()
{
    if (--m_secondsLeft > 0) {
        emit countdownChanged(countdownText());
        return;
    }
    if (stillHoldsCopy())
        QGuiApplication::clipboard()->clear();
    stopCountdown();
}

bool SecretClipboard::stillHoldsCopy() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && !m_copyMark.isEmpty() && data->data(CopyMarkFormat) == m_copyMark;
}

// Something else took the clipboard's place, or it was emptied at the lock:
// nothing is left to count down for.
void SecretClipboard::clipboardChanged()
{
    if (m_second.isActive() && !stillHoldsCopy())
        stopCountdown();
}

void SecretClipboard::stopCountdown()
{
    const bool wasCounting = m_second.isActive();
    m_second.stop();
    m_copyMark.clear();
    if (wasCounting)
        emit countdownChanged(QString());
}
