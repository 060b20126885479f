#pragma once

#include <QPixmap>
#include <QWidget>

// A picture that fills a window behind its controls: scaled to cover the
// whole window without distortion, centred, and kept so as the window changes
// size. It takes no input; the controls in front of it work as before.
class BackgroundPicture : public QWidget {
    Q_OBJECT
public:
    // Puts picture behind the controls of window. A null picture (a missing
    // file) puts nothing there and gives nullptr: the window keeps its colour.
    static BackgroundPicture* showBehind(QWidget* window, const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BackgroundPicture(QWidget* window, const QPixmap& picture);

    QPixmap m_picture;
    QPixmap m_scaled;
};
