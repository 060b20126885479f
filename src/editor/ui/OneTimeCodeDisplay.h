#pragma once

#include "document/OneTimeCode.h"

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QTimer;

// The current one-time code of a field beside it, with a thin bar of the
// seconds it stays valid, refreshed every second from the field's value as
// it stands (so an edited seed shows its code at once). A value that makes
// no code shows a dash.
class OneTimeCodeDisplay : public QWidget {
    Q_OBJECT
public:
    OneTimeCodeDisplay(std::function<QString()> seed, UnixClock clock, QWidget* parent = nullptr);

    // The code shown; empty when the value makes none.
    QString currentCode() const { return m_code; }
    void refresh();

private:
    std::function<QString()> m_seed;
    UnixClock m_clock;
    QString m_code;
    QLabel* m_label;
    QProgressBar* m_countdown;
    QTimer* m_timer;
};
