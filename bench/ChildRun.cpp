#include "ChildRun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

extern char** environ;

namespace {

ChildFigures runOnce(const QString& program, const QStringList& arguments, const QString& inputPath,
                     const QString& outputPath)
{
    const QByteArray programPath = QFile::encodeName(program);
    std::vector<QByteArray> words{programPath};
    for (const QString& argument : arguments)
        words.push_back(argument.toUtf8());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, QFile::encodeName(inputPath).constData(), O_RDONLY, 0);
    const QByteArray output = outputPath.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(outputPath);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    ChildFigures figures;
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, programPath.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return figures;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return figures;
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.peakMegabytes = usage.ru_maxrss / 1024.0;
    figures.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return figures;
}

} // namespace

ChildFigures measureChild(const QString& program, const QStringList& arguments, const QByteArray& input,
                          const QString& outputPath, const std::function<void()>& beforeEach, int runs)
{
    QTemporaryFile inputFile;
    if (!inputFile.open() || inputFile.write(input) != input.size() || !inputFile.flush())
        return {};
    ChildFigures best{1e9, 0, true};
    for (int run = 0; run < runs; ++run) {
        if (beforeEach)
            beforeEach();
        // What earlier runs wrote (an import's new file, an export) is
        // written back to disk now, not while this run is timed.
        ::sync();
        const ChildFigures figures = runOnce(program, arguments, inputFile.fileName(), outputPath);
        best.seconds = std::min(best.seconds, figures.seconds);
        best.peakMegabytes = std::max(best.peakMegabytes, figures.peakMegabytes);
        best.succeeded = best.succeeded && figures.succeeded;
    }
    return best;
}
