#pragma once

#include <QString>

// The files the program finds beside its own file: the settings file, the
// language folders with their caption files and catalogues, and the manual.
// Paths use "/" and every folder ends in "/".
class ProgramPaths {
public:
    explicit ProgramPaths(const QString& programFilePath);

    QString programFile() const;
    QString folder() const;
    // The program's path with its extension replaced by ".ini"; a program
    // without an extension gets ".ini" appended.
    QString settingsFile() const;
    QString languagesFolder() const;
    // An empty language has no folder and no file: both give the empty text,
    // so nothing is read for it.
    QString languageFolder(const QString& language) const;
    QString languageFile(const QString& language) const;
    QString manualFile() const;

private:
    QString m_programFile;
    QString m_folder;
};
