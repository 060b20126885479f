#include "cli/ClipboardHelper.h"

#include "base/SecureWipe.h"

#include <QEventLoop>
#include <QFileInfo>

ClipboardHelper::ClipboardHelper(QString program)
    : m_program(std::move(program))
{
}

ClipboardHelper::~ClipboardHelper()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    m_process.waitForFinished(-1);
}

bool ClipboardHelper::start(int seconds)
{
    m_process.start(m_program, {QString::number(seconds)});
    if (!m_process.waitForStarted(-1)) {
        m_failure = QStringLiteral("%1 cannot be run").arg(m_program);
        return false;
    }
    return awaitLine(ReadyLine);
}

bool ClipboardHelper::copy(const QString& value)
{
    QByteArray bytes = value.toUtf8();
    m_process.write(bytes);
    SecureWipe::wipe(bytes);
    m_process.closeWriteChannel();
    return awaitLine(CopiedLine);
}

void ClipboardHelper::waitUntilDone()
{
    // In an event loop rather than blocked: a process that runs the command
    // inside it keeps its own timers and windows going meanwhile.
    if (m_process.state() == QProcess::NotRunning)
        return;
    QEventLoop wait;
    QObject::connect(&m_process, &QProcess::finished, &wait, &QEventLoop::quit);
    wait.exec();
}

bool ClipboardHelper::awaitLine(const char* line)
{
    while (!m_process.canReadLine() && m_process.waitForReadyRead(-1)) { }
    if (m_process.readLine() == line)
        return true;
    m_process.waitForFinished(-1);
    m_failure = QString::fromUtf8(m_process.readAllStandardError()).trimmed();
    if (m_failure.isEmpty())
        m_failure = QStringLiteral("%1 ended before it copied").arg(QFileInfo(m_program).fileName());
    return false;
}
