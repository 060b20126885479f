#include "cli/PasswordReader.h"

#include "base/SecureWipe.h"

#include <QStringDecoder>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

// What a signal handler needs to give the terminal its echo back and take it
// away again: the modes are stored before the descriptor is published.
volatile sig_atomic_t quietTerminal = -1;
termios echoingModes{};
termios quietModes{};

// The signals that end the program while a password is typed: Ctrl+C and
// Ctrl+\ on the terminal, a kill, a closed terminal window.
constexpr std::array EndingSignals{SIGINT, SIGTERM, SIGQUIT, SIGHUP};

void restoreEchoAndEnd(int signal)
{
    if (const int fd = quietTerminal; fd >= 0)
        tcsetattr(fd, TCSANOW, &echoingModes);
    // SA_RESETHAND has put the default action back; the signal, blocked
    // until this handler returns, then ends the program as it would have,
    // so the shell sees the usual status.
    raise(signal);
}

// Only a process in the terminal's foreground may set its modes; one sent on
// in the background (bg) would be stopped for trying.
void quietAgain(int)
{
    const int savedErrno = errno;
    if (const int fd = quietTerminal; fd >= 0 && tcgetpgrp(fd) == getpgrp())
        tcsetattr(fd, TCSANOW, &quietModes);
    errno = savedErrno;
}

// Ctrl+Z: the shell gets its terminal back echoing, and the password, when
// the program goes on, is typed unseen again; the shell may have set other
// modes meanwhile.
void restoreEchoAndStop(int signal)
{
    const int savedErrno = errno;
    if (const int fd = quietTerminal; fd >= 0)
        tcsetattr(fd, TCSANOW, &echoingModes);
    struct sigaction stopping { };
    struct sigaction handled { };
    stopping.sa_handler = SIG_DFL;
    sigemptyset(&stopping.sa_mask);
    sigaction(signal, &stopping, &handled);
    raise(signal);
    // The signal is blocked in its handler: unblocking stops the program
    // here, until it is continued.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, signal);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
    sigaction(signal, &handled, nullptr);
    quietAgain(signal);
    errno = savedErrno;
}

// Signals whose handlers interrupt the typing without ending it: the read
// goes on afterwards.
constexpr std::array PausingSignals{SIGTSTP, SIGCONT};
constexpr std::array<void (*)(int), PausingSignals.size()> PausingHandlers{restoreEchoAndStop, quietAgain};

// Echo stays off only while the line is read, and comes back even on errors
// and when a signal ends the program meanwhile.
class EchoOff {
public:
    explicit EchoOff(int fd)
        : m_fd(fd)
        , m_active(tcgetattr(fd, &m_saved) == 0)
    {
        if (!m_active)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        echoingModes = m_saved;
        quietModes = quiet;
        quietTerminal = fd;
        struct sigaction restoring { };
        restoring.sa_handler = restoreEchoAndEnd;
        restoring.sa_flags = SA_RESETHAND;
        sigemptyset(&restoring.sa_mask);
        for (std::size_t i = 0; i < EndingSignals.size(); ++i) {
            sigaction(EndingSignals[i], nullptr, &m_previous[i]);
            // A signal the caller ignores (nohup) stays ignored.
            if (m_previous[i].sa_handler != SIG_IGN)
                sigaction(EndingSignals[i], &restoring, nullptr);
        }
        for (std::size_t i = 0; i < PausingSignals.size(); ++i) {
            struct sigaction pausing { };
            pausing.sa_handler = PausingHandlers[i];
            pausing.sa_flags = SA_RESTART;
            sigemptyset(&pausing.sa_mask);
            sigaction(PausingSignals[i], nullptr, &m_previousPausing[i]);
            if (m_previousPausing[i].sa_handler != SIG_IGN)
                sigaction(PausingSignals[i], &pausing, nullptr);
        }
        tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    ~EchoOff()
    {
        if (!m_active)
            return;
        tcsetattr(m_fd, TCSAFLUSH, &m_saved);
        quietTerminal = -1;
        for (std::size_t i = 0; i < EndingSignals.size(); ++i)
            sigaction(EndingSignals[i], &m_previous[i], nullptr);
        for (std::size_t i = 0; i < PausingSignals.size(); ++i)
            sigaction(PausingSignals[i], &m_previousPausing[i], nullptr);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int m_fd;
    termios m_saved{};
    bool m_active;
    std::array<struct sigaction, EndingSignals.size()> m_previous{};
    std::array<struct sigaction, PausingSignals.size()> m_previousPausing{};
};

// The typed bytes decoded straight into the one buffer the caller wipes: a
// conversion of Qt's own would leave a copy in buffers of its own. One byte
// never makes more than one UTF-16 unit, so the text needs no more room.
QString decoded(const std::string& typed)
{
    QString password(qsizetype(typed.size()), Qt::Uninitialized);
    QStringDecoder decode(QStringDecoder::System, QStringDecoder::Flag::Stateless);
    const QChar* end = decode.appendToBuffer(password.data(), QByteArrayView(typed.data(), qsizetype(typed.size())));
    // Shrinking keeps the buffer.
    password.truncate(end - password.constData());
    return password;
}

} // namespace

std::optional<QString> TerminalPasswordReader::read(const QString& prompt)
{
    FILE* tty = std::fopen("/dev/tty", "r+");
    // No stdio buffer of ours keeps the typed password.
    if (tty)
        std::setvbuf(tty, nullptr, _IONBF, 0);
    FILE* in = tty ? tty : stdin;
    FILE* out = tty ? tty : stderr;
    std::fputs(prompt.toLocal8Bit().constData(), out);
    std::fflush(out);

    std::string line;
    // Room enough that a password line is never moved, leaving copies behind.
    line.reserve(1024);
    bool ended = false;
    {
        EchoOff quiet(fileno(in));
        for (int c = std::fgetc(in); c != '\n'; c = std::fgetc(in)) {
            if (c == EOF) {
                ended = line.empty();
                break;
            }
            line.push_back(static_cast<char>(c));
        }
    }
    std::fputc('\n', out);
    if (tty)
        std::fclose(tty);
    std::optional<QString> password;
    if (!ended)
        password = decoded(line);
    SecureWipe::wipe(line.data(), line.capacity());
    return password;
}
