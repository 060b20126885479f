#pragma once

#include <QProcess>
#include <QString>

// Runs zantrove-clipboard, the small program beside the tool that holds a
// value on the desktop's clipboard, so that the tool itself never loads the
// GUI libraries its other commands do without. The value goes through the
// helper's standard input: a command line is there for every user's ps to
// read. The helper says on its standard output how far it got, and on its
// error stream why it stopped.
class ClipboardHelper {
public:
    // The helper has reached the display's clipboard and reads the value.
    static constexpr char ReadyLine[] = "ready\n";
    // The value is on the clipboard.
    static constexpr char CopiedLine[] = "copied\n";
    static constexpr char ProgramName[] = "zantrove-clipboard";

    explicit ClipboardHelper(QString program);
    // Stops a helper that was never handed its value.
    ~ClipboardHelper();
    ClipboardHelper(const ClipboardHelper&) = delete;
    ClipboardHelper& operator=(const ClipboardHelper&) = delete;

    // Starts the helper for a copy cleared after seconds (0: left there):
    // true once it has reached the clipboard, else failure() says why there
    // is none.
    bool start(int seconds);
    // Hands value over: true once it is on the clipboard.
    bool copy(const QString& value);
    // Returns when the helper has ended: the value cleared, copied over by
    // something else, or (after 0 seconds) left to a clipboard manager.
    void waitUntilDone();
    QString failure() const { return m_failure; }

private:
    bool awaitLine(const char* line);

    QString m_program;
    QProcess m_process;
    QString m_failure;
};
