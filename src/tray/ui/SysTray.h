#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <chrono>

class TrayShell;

// One icon in the desktop's notification area: keeps its picture and tooltip
// up to date and passes the shell's activations of it on as signals.
// The notification area may come and go while the program runs (a panel
// started late, restarted or removed); once a second the component looks, and
// puts its icon back when the area returns. The shell object may go away
// before the component; requests are then dropped.
class TSysTray : public QObject {
    Q_OBJECT
public:
    // The tooltip's length limit of the notification area.
    static constexpr int HintLimit = 63;

    TSysTray(TrayShell& shell, QObject* owner);
    ~TSysTray() override;

    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    // The icon is on and a notification area is there to show it.
    bool shown() const;
    // How often the component looks for the notification area: once a
    // second unless a test looks more often.
    void setShellWatchInterval(std::chrono::milliseconds interval) { m_shellWatch.setInterval(interval); }

    QIcon Icon() const { return m_icon; }
    void setIcon(const QIcon& icon);

    QString Hint() const { return m_hint; }
    void setHint(const QString& hint);

    QMenu* PopupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu* menu);

    // The picture shown: the component's own icon, or the application's when
    // it has none.
    QIcon activeIcon() const;

    // The identifier of the icon towards the shell.
    quintptr identifier() const;

signals:
    // The user clicked the icon: Trigger for the left button, Context for
    // the right one, DoubleClick, MiddleClick.
    void activated(QSystemTrayIcon::ActivationReason reason);
    // Sent just before PopupMenu pops up at position on a context click.
    void popupRequested(QMenu* menu, QPoint position);
    // shown() changed because the notification area came or went.
    void shownChanged(bool shown);

private:
    // Handles the shell's activation of an icon: ours is passed on, a
    // context click first pops up PopupMenu.
    void shellActivated(quintptr id, QSystemTrayIcon::ActivationReason reason);
    void IconChanged();
    void popUpMenu();
    void followShell();

    QPointer<TrayShell> m_shell;
    // Set while the desktop has no notification area: showing, hiding and
    // tooltip changes are then kept to ourselves.
    bool m_inert;
    bool m_visible = false;
    QIcon m_icon;
    QString m_hint;
    QPointer<QMenu> m_popupMenu;
    QTimer m_shellWatch;
};
