#include "app/SplashWindow.h"

#include "app/Artwork.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

TFormSplash::TFormSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("FormSplash"));
    setFixedSize(500, 300);
    auto* picture = new QLabel(this);
    picture->setPixmap(Artwork::splashPicture(size()));
    picture->setGeometry(rect());

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
