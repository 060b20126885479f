#pragma once

#include <QString>

// The files the program finds beside its own file: the settings file (unless
// that folder cannot be written), the language folders with their caption
// files and catalogues, and the manual. Paths use "/" and every folder ends
// in "/".
class ProgramPaths {
public:
    explicit ProgramPaths(const QString& programFilePath);

    QString programFile() const;
    QString folder() const;
    // Where the settings are read from and written to. Beside the program
    // (settingsFileBesideProgram) while the program's folder is writable, as
    // the build folder is, so a portable copy carries its settings along.
    // Otherwise, as for a program installed into a folder owned by root, a
    // file there could never be saved, so the settings go to the user's
    // config folder instead (userSettingsFile). Writable is what access(2)
    // says for this process; an installed program folder (installMarkerFile)
    // counts as unwritable even for root, so nothing is ever written into a
    // package's files. The folder counts, not the file, because a save
    // writes a new file beside the old one and renames it over.
    QString settingsFile() const;
    // The program's path with its extension replaced by ".ini"; a program
    // without an extension gets ".ini" appended.
    QString settingsFileBesideProgram() const;
    // $XDG_CONFIG_HOME/zantrove/zantrove.ini; "~/.config" stands in for an
    // unset, empty or relative $XDG_CONFIG_HOME, as the base directory
    // rules ask.
    static QString userSettingsFile();
    // The empty file that `cmake --install` puts into the program folder.
    QString installMarkerFile() const;
    // The folder is an installed program folder: nothing is written there.
    bool isInstalled() const;
    QString languagesFolder() const;
    // An empty language has no folder and no file: both give the empty text,
    // so nothing is read for it. A name the program does not list
    // (ListLanguages), such as "../elsewhere", stands for English, so that
    // the settings file cannot lead captions and catalogue out of the
    // languages folder.
    QString languageFolder(const QString& language) const;
    QString languageFile(const QString& language) const;
    QString manualFile() const;
    // The word list passphrases are made from.
    QString wordListFile() const;
    // The rendered artwork: the tree and program icons, and the windows' pictures.
    QString iconsFolder() const;
    QString picturesFolder() const;

private:
    QString m_programFile;
    QString m_folder;
};
