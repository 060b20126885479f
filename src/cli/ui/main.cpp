// zantrove-clipboard SECONDS: clip's helper (ClipboardHelper). Reaches the
// display's clipboard, reads the value from its standard input, copies it as
// the program does and clears it after SECONDS if it is still there. The
// tool loads no GUI library; this is the one process of it that does.
#include "app/ui/SecretClipboard.h"
#include "base/SecureWipe.h"
#include "cli/ClipboardHelper.h"
#include "config/CaptionTable.h"
#include "config/SettingsStore.h"
#include "platform/ProcessProtection.h"

#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

enum Exit { Done = 0, NoClipboard = 1, Usage = 2 };

void say(const QByteArray& line, FILE* stream)
{
    std::fputs(line.constData(), stream);
    std::fflush(stream);
}

// The display Qt was to reach, for the tool's message.
QByteArray unreachableDisplay()
{
    QByteArrayList named;
    for (const char* variable : {"WAYLAND_DISPLAY", "DISPLAY"})
        if (const QByteArray value = qgetenv(variable); !value.isEmpty())
            named << variable + QByteArrayLiteral(" ") + value;
    if (named.isEmpty())
        return "clip needs a display (X11 or Wayland)\n";
    return "the display cannot be reached (" + named.join(", ") + ")\n";
}

// Qt ends the process with a fatal message, and a core dump, when no
// platform can start, as for a display that cannot be reached: the tool is
// told why instead. Qt's warnings are not the tool's to show.
void reportFatal(QtMsgType type, const QMessageLogContext& /*context*/, const QString& /*message*/)
{
    if (type != QtFatalMsg)
        return;
    say(unreachableDisplay(), stderr);
    ::_exit(NoClipboard);
}

// The platforms that keep their clipboard to the process itself.
bool clipboardIsShared()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

QString readValue()
{
    QFile input;
    QByteArray bytes;
    if (input.open(stdin, QIODevice::ReadOnly))
        bytes = input.readAll();
    QString value = QString::fromUtf8(bytes);
    SecureWipe::wipe(bytes);
    return value;
}

} // namespace

int main(int argc, char* argv[])
{
    ProcessProtection::harden();
    // Goes with the tool, as the clipboard of a process that ends does.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    bool number = false;
    const int seconds = argc == 2 ? QByteArray(argv[1]).toInt(&number) : -1;
    if (!number || seconds < 0 || seconds > MaxClipboardSeconds) {
        say("Usage: zantrove-clipboard SECONDS, the value on standard input\n", stderr);
        return Usage;
    }
    qInstallMessageHandler(reportFatal);
    const QGuiApplication application(argc, argv);
    if (!clipboardIsShared()) {
        say("Qt's platform \"" + QGuiApplication::platformName().toUtf8() + "\" shares no clipboard\n", stderr);
        return NoClipboard;
    }
    say(ClipboardHelper::ReadyLine, stdout);

    QString value = readValue();
    // The program's copy, with this command's wait in place of the setting.
    SettingsStore settings;
    settings.SetSetting(QLatin1String(SettingKey::ClipboardSeconds), QString::number(seconds));
    const CaptionTable captions;
    SecretClipboard clipboard(settings, captions);
    QEventLoop wait;
    QObject::connect(&clipboard, &SecretClipboard::countdownChanged, &wait, [&wait](const QString& text) {
        if (text.isEmpty())
            wait.quit();
    });
    clipboard.copy(value);
    SecureWipe::wipe(value);
    say(ClipboardHelper::CopiedLine, stdout);
    if (seconds > 0)
        wait.exec();
    return Done;
}
