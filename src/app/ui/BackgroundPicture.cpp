#include "app/ui/BackgroundPicture.h"

#include <QEvent>
#include <QPainter>

BackgroundPicture* BackgroundPicture::showBehind(QWidget* window, const QPixmap& picture)
{
    if (picture.isNull())
        return nullptr;
    return new BackgroundPicture(window, picture);
}

BackgroundPicture::BackgroundPicture(QWidget* window, const QPixmap& picture)
    : QWidget(window)
    , m_picture(picture)
{
    setObjectName(QStringLiteral("Image"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(window->rect());
    lower();
    window->installEventFilter(this);
}

bool BackgroundPicture::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void BackgroundPicture::resizeEvent(QResizeEvent* event)
{
    // Scaled once per size, not on every paint.
    m_scaled = m_picture.scaled(size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    QWidget::resizeEvent(event);
}

void BackgroundPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPoint centred((width() - m_scaled.width()) / 2, (height() - m_scaled.height()) / 2);
    painter.drawPixmap(centred, m_scaled);
}
