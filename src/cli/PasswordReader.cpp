#include "cli/PasswordReader.h"

#include "datafile/SecureWipe.h"

#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

// Echo stays off only while the line is read, and comes back even on errors.
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
        tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    ~EchoOff()
    {
        if (m_active)
            tcsetattr(m_fd, TCSAFLUSH, &m_saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int m_fd;
    termios m_saved{};
    bool m_active;
};

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
    const std::optional<QString> password =
        ended ? std::nullopt : std::optional<QString>(QString::fromLocal8Bit(line.c_str()));
    SecureWipe::wipe(line.data(), line.capacity());
    return password;
}
