#include "app/ui/FormSplash.h"

#include "app/ui/BackgroundPicture.h"
#include "platform/ui/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
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
    WindowPlacement::centreOnScreen(*this);
    show();
    repaint();
    QApplication::processEvents();
    m_timer->start();
    qApp->installEventFilter(this);
}

bool TFormSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->windowType() == Qt::Dialog)
        hide();
    return QWidget::eventFilter(watched, event);
}

void TFormSplash::hideEvent(QHideEvent* event)
{
    qApp->removeEventFilter(this);
    QWidget::hideEvent(event);
}
