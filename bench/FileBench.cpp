#include "FileBench.h"

#include "BenchDocument.h"
#include "ChildRun.h"

#include "datafile/DataFile.h"
#include "document/DataDocument.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QByteArray Password = "bench\nbench\n";

double megabytes(qint64 bytes)
{
    return bytes / (1024.0 * 1024.0);
}

QString benchProgram()
{
    return QCoreApplication::applicationFilePath();
}

QString cliProgram()
{
    return QStringLiteral(ZV_PROGRAM_DIR "/zantrove-cli");
}

// Made by a process of its own: a child's peak counts the memory its parent
// had when it started, so the parent stays small.
QString makeBenchFile(const QTemporaryDir& folder, int recordCount)
{
    QString path = folder.filePath(QStringLiteral("bench-%1.zv").arg(recordCount));
    measureChild(benchProgram(), {QStringLiteral("--make-file"), path, QString::number(recordCount)}, {}, {}, {}, 1);
    return path;
}

// One line: the stage's time against the floor's, its peak against the file.
class FigureTable {
public:
    FigureTable(double floorSeconds, qint64 fileBytes)
        : m_floorSeconds(floorSeconds)
        , m_fileBytes(fileBytes)
    {
        std::printf("%-34s %9s %8s %9s %7s   %s\n", "", "time", "x floor", "peak", "x file", "target");
    }

    void add(const char* stage, const ChildFigures& figures, const char* target)
    {
        if (!figures.succeeded) {
            std::printf("%-34s failed\n", stage);
            return;
        }
        std::printf("%-34s %7.0f ms %8.2f %6.0f MB %7.2f   %s\n", stage, figures.seconds * 1000,
                    figures.seconds / m_floorSeconds, figures.peakMegabytes,
                    figures.peakMegabytes / megabytes(m_fileBytes), target);
        std::fflush(stdout);
    }

    // A figure of memory alone.
    void addMemory(const char* stage, double sizeMegabytes, const char* target)
    {
        std::printf("%-34s %9s %8s %6.0f MB %7.2f   %s\n", stage, "", "", sizeMegabytes,
                    sizeMegabytes / megabytes(m_fileBytes), target);
    }

    // One stage's time against another's than the floor's.
    void addRatio(const char* stage, const ChildFigures& figures, const ChildFigures& reference, const char* target)
    {
        if (figures.succeeded && reference.succeeded)
            std::printf("%-34s %9s %8.2f %9s %7s   %s\n", stage, "", figures.seconds / reference.seconds, "", "",
                        target);
    }

private:
    double m_floorSeconds;
    qint64 m_fileBytes;
};

} // namespace

namespace {

// What a program's open printed: its private memory in megabytes.
double privateMegabytesIn(const QString& output)
{
    QFile file(output);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toDouble() : 0;
}

} // namespace

bool writeBenchFile(const QString& path, int recordCount)
{
    DataDocument document;
    fillBenchDocument(document, recordCount);
    return DataFile::write(path, QStringLiteral("bench"), document) == DataFile::Status::Ok;
}

bool readFloor(const QString& path)
{
    DataDocument document;
    return DataFile::read(path, QStringLiteral("bench"), document) == DataFile::Status::Ok;
}

void runFileBench(int recordCount, int largeRecordCount)
{
    QTemporaryDir folder;
    const QString file = makeBenchFile(folder, recordCount);
    const qint64 fileBytes = QFileInfo(file).size();
    std::printf("Files at %d records: a %.1f MB .zv file; best time of 5 runs, highest peak resident memory\n",
                recordCount, megabytes(fileBytes));
    const ChildFigures floor = measureChild(benchProgram(), {QStringLiteral("--floor"), file}, {});
    FigureTable table(floor.seconds, fileBytes);
    table.add("floor: read, decipher, parse", floor, "");
    table.add("list", measureChild(cliProgram(), {"--password-stdin", "list", file}, Password), "memory < 2x file");
    table.add("show",
              measureChild(cliProgram(),
                           {"--password-stdin", "show", file,
                            QStringLiteral("Group %1/Subgroup %2/https://example%3.com user%3")
                                .arg(recordCount - 1000)
                                .arg(recordCount - 100)
                                .arg(recordCount - 1)},
                           Password),
              "memory < 2x file");
    // The one hit is in the last record, so every field is looked at.
    table.add("find",
              measureChild(cliProgram(),
                           {"--password-stdin", "find", file, QStringLiteral("user%1").arg(recordCount - 1)}, Password),
              "memory < 2x file");
    // A protected copy with a cheap key derivation, so that what is left is
    // its deciphering: in place, as a .zv file's.
    const QString protectedFile = folder.filePath(QStringLiteral("bench.zvx"));
    measureChild(cliProgram(),
                 {"--password-stdin", "convert", file, protectedFile, "--kdf-passes", "1", "--kdf-memory-kib", "8192"},
                 Password, {}, {}, 1);
    table.add("list of a protected file",
              measureChild(cliProgram(), {"--password-stdin", "list", protectedFile}, Password), "memory as list's");
    QFile::remove(protectedFile);
    // The window libraries and the program's windows take the same memory
    // whatever the file: measured with a tiny file, and taken off the open's.
    // Each open prints its private memory at its end.
    const QString tiny = makeBenchFile(folder, 10);
    const QString openOutput = folder.filePath(QStringLiteral("open.txt"));
    const ChildFigures fixedCost = measureChild(benchProgram(), {QStringLiteral("--open"), tiny}, {}, openOutput);
    const double fixedPrivate = privateMegabytesIn(openOutput);
    ChildFigures open = measureChild(benchProgram(), {QStringLiteral("--open"), file}, {}, openOutput);
    table.add("the program's open", open, "memory < 2x file");
    table.add("  the program with a tiny file", fixedCost, "its fixed cost");
    open.peakMegabytes -= fixedCost.peakMegabytes;
    table.add("  the open above the fixed cost", open, "memory < 2x file");
    table.addMemory("  its private memory, shown tree", privateMegabytesIn(openOutput), "memory < 2x file");
    table.addMemory("  the same with a tiny file", fixedPrivate, "");

    const std::pair<const char*, const char*> formats[] = {{"keepass-xml", "xml"}, {"csv", "csv"}};
    for (const auto& [format, extension] : formats) {
        const QString exported = folder.filePath(QStringLiteral("exported.") + QLatin1String(extension));
        const QByteArray stage = QByteArray("export --to ") + format;
        table.add(stage.constData(),
                  measureChild(cliProgram(), {"--password-stdin", "export", file, "--to", format}, Password, exported),
                  "time < 2x floor, memory < 4x file");
        const QString imported = folder.filePath(QStringLiteral("imported.zv"));
        const QByteArray importStage = QByteArray("import --from ") + format;
        const ChildFigures import =
            measureChild(cliProgram(), {"--password-stdin", "import", "--from", format, exported, imported}, Password,
                         {}, [&] { QFile::remove(imported); });
        table.add(importStage.constData(), import, "memory < 4x file");
        // The same data is the records imported, which take more room than
        // the bench file's: each has every field of its type.
        const ChildFigures readImported = measureChild(benchProgram(), {QStringLiteral("--floor"), imported}, {});
        table.add("  reading the file it made", readImported, "");
        table.addRatio("  the import against that reading", import, readImported, "time < 2x");
    }

    QFile::remove(file);
    const QString large = makeBenchFile(folder, largeRecordCount);
    const ChildFigures largeOpen = measureChild(benchProgram(), {QStringLiteral("--open"), large}, {});
    std::printf("\nThe program's open at %d records (a %.1f MB file): %.0f ms, %.0f MB peak (target < 450 MB), "
                "%.0f MB above the fixed cost\n",
                largeRecordCount, megabytes(QFileInfo(large).size()), largeOpen.seconds * 1000, largeOpen.peakMegabytes,
                largeOpen.peakMegabytes - fixedCost.peakMegabytes);
}
