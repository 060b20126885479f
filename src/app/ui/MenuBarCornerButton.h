#pragma once

#include <QToolButton>

class QMenuBar;

// A bold button bound to an action at the right end of a menu bar, which
// cannot right-justify an entry of its own. The menu bar lays out its corner
// only when the corner widget is set, shown or hidden, so the button places
// itself again whenever its action's text changes (a language change):
// otherwise a longer caption would be cut at both ends.
class MenuBarCornerButton : public QToolButton {
public:
    MenuBarCornerButton(const QString& objectName, QAction* action, QMenuBar* bar);

protected:
    void actionEvent(QActionEvent* event) override;

private:
    QMenuBar* m_bar;
};
