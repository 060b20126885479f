#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>

class CaptionTable;
class SettingsStore;

// Puts a field's value on the clipboard for the user to paste elsewhere,
// marked so that clipboard managers do not keep it, and takes it off again
// after the seconds of the setting clipboardseconds (0: never). Only the
// value this copy put there is taken off: whatever the user copied since
// stays. The lock and the end of the program empty the clipboard anyway
// (ClipboardGuard); the countdown notices and stops.
class SecretClipboard : public QObject {
    Q_OBJECT
public:
    SecretClipboard(const SettingsStore& settings, const CaptionTable& captions, QObject* parent = nullptr);

    void copy(const QString& value);
    // How long one second of the countdown lasts: a real second unless a
    // test shortens it to see the countdown end without waiting for it.
    void setSecondLength(std::chrono::milliseconds length) { m_second.setInterval(length); }
    // "Clipboard clears in 17 s" while the countdown runs, else empty.
    QString countdownText() const;

signals:
    // The countdown's text changed: once a second, and empty at its end.
    void countdownChanged(const QString& text);

private:
    void tick();
    bool stillHoldsCopy() const;
    void stopCountdown();
    void clipboardChanged();

    const SettingsStore& m_settings;
    const CaptionTable& m_captions;
    QTimer m_second;
    int m_secondsLeft = 0;
    // Tells this copy apart from anything put on the clipboard since,
    // without keeping the value itself.
    QByteArray m_copyMark;
};
