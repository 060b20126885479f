#pragma once

#include <QString>

// Makes the program the desktop's handler for its data files (".zv" and the
// protected ".zvx"), through
// the freedesktop files in the user's data and config folders: a shared-mime-info
// package for the type, a desktop entry for the program with the program's
// icon, and the user's default application for the type. Failures are silent:
// an association is a convenience and never stops the caller.
class FileAssociation {
public:
    explicit FileAssociation(QString programFilePath);

    // Writes the mime package, the desktop entry, the icon and the
    // default-application line every time, so a registration another program
    // took over is taken back; then refreshes the desktop's caches when their
    // tools exist.
    void RegisterFileType();
    // Removes the desktop entry and the icon, and drops the globs and the
    // magic from the mime package; the types and the default-application
    // lines stay.
    void UnregisterFileType();
    void ApplyAssociationSetting(bool checked);

private:
    QString m_programFilePath;
};
