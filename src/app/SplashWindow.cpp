#include "app/SplashWindow.h"

#include "app/BackgroundPicture.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

TFormSplash::TFormSplash(const QPixmap& picture, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("FormSplash"));
    setFixedSize(500, 300);
    BackgroundPicture::showBehind(this, picture);

    m_timer->setObjectName(QStringLiteral("TimerSplash"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(2000);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
}

void TFormSplash::showNow()
{
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    QApplication::processEvents();
    m_timer->start();
}
