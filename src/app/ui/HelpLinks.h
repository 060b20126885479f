#pragma once

#include <QString>

class CaptionTable;
class DesktopLauncher;
class MessageService;
class ProgramPaths;
class QUrl;

// The manual and the maker's web site, opened with the desktop's own
// programs. Where the desktop has none for them, the user is told so, with
// the file or address to open by other means.
class HelpLinks {
public:
    HelpLinks(const ProgramPaths& paths, const CaptionTable& captions, MessageService& messages,
              DesktopLauncher& launcher);

    // Help ▸ Manual; a missing manual is reported as such.
    void openManual();
    // "Get Mobile Version!" and the about window's link.
    void openWebSite();

private:
    void open(const QUrl& url, const QString& shown, const char* failureKey, const char* failure);
    QString caption(const char* key, const char* englishDefault) const;

    const ProgramPaths& m_paths;
    const CaptionTable& m_captions;
    MessageService& m_messages;
    DesktopLauncher& m_launcher;
};
