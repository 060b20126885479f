#pragma once

#include <QString>

// How the program names the open document to the user: in the main window's
// title and in the tooltip of its notification-area icon.
namespace DocumentTitle {

// The program's name and version, the title when no document is open.
QString programTitle();

// "sample.zv* — Zantrove 1.1": the file's name without its folder, a star
// while there are unsaved changes, then readOnlyMark in brackets when one is
// given. A document never saved is untitledName once it holds changes;
// before that only the program's name shows.
QString windowTitle(const QString& filePath, bool modified, const QString& untitledName,
                    const QString& readOnlyMark = {});

// The tooltip's parts, each shown only when given.
struct TrayHint {
    QString filePath;
    // The translated word for the locked state, empty while unlocked.
    QString lockedMark;
    // A line of passing news, e.g. a countdown.
    QString status;
};

// "Zantrove 1.1 — sample.zv (locked)", the status on a line below. Within
// limit UTF-16 units: the file's name is shortened first, so the locked mark
// and the status stay readable.
QString trayHint(const TrayHint& parts, int limit);

} // namespace DocumentTitle
