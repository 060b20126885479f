#pragma once

#include <QPixmap>
#include <QWidget>

class QTimer;

// Shown while the program starts, nothing but its picture; hides itself after
// two seconds.
class TFormSplash : public QWidget {
    Q_OBJECT
public:
    explicit TFormSplash(const QPixmap& picture, QWidget* parent = nullptr);
    // Shows and paints at once, so it is visible while the other windows are made.
    void showNow();

private:
    QTimer* m_timer;
};
