#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

// The desktop's notification area as the tray component sees it: icons are
// added, changed and removed by an identifier, and the user's clicks on an
// icon come back as activations for that identifier.
class TrayShell : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether the desktop has a notification area at all.
    virtual bool isAvailable() const = 0;
    virtual bool add(quintptr id, const QIcon& icon, const QString& tip) = 0;
    virtual bool modify(quintptr id, const QIcon& icon, const QString& tip) = 0;
    virtual bool remove(quintptr id) = 0;

signals:
    void activated(quintptr id, QSystemTrayIcon::ActivationReason reason);
};

// The notification area through QSystemTrayIcon. It carries one icon: the one
// last added. The icon has no context menu of its own; its activations are
// passed on, so the tray component can open its own menu.
class QtTrayShell final : public TrayShell {
    Q_OBJECT
public:
    explicit QtTrayShell(QObject* parent = nullptr);

    bool isAvailable() const override;
    bool add(quintptr id, const QIcon& icon, const QString& tip) override;
    bool modify(quintptr id, const QIcon& icon, const QString& tip) override;
    bool remove(quintptr id) override;

    // The name Qt gives the window in which it docks the icon into an X11
    // notification area (XEmbed).
    static constexpr const char* DockedIconWindowName = "QSystemTrayIconSys";

private:
    bool holds(quintptr id) const;
    void showTip(const QString& tip);
    void passOn(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon* m_trayIcon;
    quintptr m_shownId = 0;
    bool m_shown = false;
};
