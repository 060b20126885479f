#pragma once

#include <QObject>

// Takes back what the program has handed to the desktop: the text selected
// in its boxes, which X11 serves to any middle click as the primary
// selection, and a value copied to the clipboard. Done at the lock and on the
// way out, so nothing copied or selected outlives the user's presence.
class ClipboardGuard : public QObject {
    Q_OBJECT
public:
    // Clears on its own once the application is about to quit.
    explicit ClipboardGuard(QObject* parent = nullptr);

    // Deselects the text in every box of the program and empties the
    // selection and the clipboard where the program still owns them; what
    // another program has put there since is left alone.
    void clearOwned();
};
