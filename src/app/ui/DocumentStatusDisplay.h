#pragma once

#include "document/DocumentTitle.h"

#include <QIcon>
#include <QObject>

class CaptionTable;
class QWidget;
class TSysTray;

// Keeps the main window's title and the tray icon's tooltip telling the user
// which file is open, whether it has unsaved changes and whether the program
// is locked; while locked the tray icon's picture is greyed.
class DocumentStatusDisplay : public QObject {
    Q_OBJECT
public:
    // tray shows its picture of the moment while unlocked.
    DocumentStatusDisplay(const CaptionTable& captions, QWidget& window, TSysTray& tray);

    void showDocument(const QString& filePath, bool modified, bool readOnly);
    void showLocked(bool locked);
    // A line of passing news under the tooltip's first line; empty removes it.
    void showStatus(const QString& status);
    // Shows everything afresh, in the captions' current language.
    void refresh();

private:
    const CaptionTable& m_captions;
    QWidget& m_window;
    TSysTray& m_tray;
    bool m_modified = false;
    bool m_readOnly = false;
    bool m_locked = false;
    DocumentTitle::TrayHint m_hint;
    QIcon m_unlockedIcon;
};
