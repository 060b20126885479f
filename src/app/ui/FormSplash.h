#pragma once

#include <QPixmap>
#include <QWidget>

class QTimer;

// Shown while the program starts, nothing but its picture; hides itself after
// two seconds, or as soon as a dialog shows: a prompt or message must never
// wait under a picture that stays on top.
class TFormSplash : public QWidget {
    Q_OBJECT
public:
    explicit TFormSplash(const QPixmap& picture, QWidget* parent = nullptr);
    // Shows and paints at once, so it is visible while the other windows are made.
    void showNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer* m_timer;
};
