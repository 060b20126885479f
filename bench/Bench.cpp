// Prints per-stage costs of the data path at 100,000 records.
#include "BenchDocument.h"

#include "datafile/DataFile.h"
#include "datafile/RC4.h"
#include "document/DataDocument.h"
#include "document/Schema.h"
#include "search/ItemMatcher.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr int RecordCount = 100000;
constexpr int Runs = 3;

// The best of a few runs, in seconds: the least disturbed by other load.
double bestSeconds(const std::function<void()>& work)
{
    double best = 1e9;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

double megabytes(qsizetype bytes)
{
    return bytes / (1024.0 * 1024.0);
}

void report(const char* stage, double seconds, const char* detail)
{
    std::printf("%-34s %9.1f ms   %s\n", stage, seconds * 1000.0, detail);
}

} // namespace

int main()
{
    DataDocument document;
    fillBenchDocument(document, RecordCount);
    const QByteArray text = document.toText();
    std::printf("%d records, %.1f MB of document text\n\n", RecordCount, megabytes(text.size()));
    char detail[128];

    QByteArray buffer = text;
    const double rc4 = bestSeconds([&] {
        RC4State state;
        const std::uint8_t key[DataFile::KeyLength] = {'b', 'e', 'n', 'c', 'h'};
        RC4KeySchedule(state, key, DataFile::KeyLength);
        auto* bytes = reinterpret_cast<std::uint8_t*>(buffer.data());
        RC4Apply(state, bytes, bytes, buffer.size());
    });
    std::snprintf(detail, sizeof detail, "%.0f MB/s", megabytes(text.size()) / rc4);
    report("RC4 over the document", rc4, detail);

    const double serialise = bestSeconds([&] { (void)document.toText(); });
    std::snprintf(detail, sizeof detail, "%.0f MB/s", megabytes(text.size()) / serialise);
    report("serialise", serialise, detail);

    DataDocument parsed;
    const double parse = bestSeconds([&] { parsed.loadText(text); });
    std::snprintf(detail, sizeof detail, "%.0f MB/s", megabytes(text.size()) / parse);
    report("parse", parse, detail);

    QTemporaryDir folder;
    const QString path = folder.filePath("bench.zv");
    const double write = bestSeconds([&] { DataFile::write(path, "bench", document); });
    std::snprintf(detail, sizeof detail, "target < 500 ms");
    report("write the whole file", write, detail);

    const double read = bestSeconds([&] { DataFile::read(path, "bench", parsed); });
    std::snprintf(detail, sizeof detail, "document part of opening (target < 1 s)");
    report("read the whole file", read, detail);

    const double check = bestSeconds([&] { DataFile::checkPassword(path, "bench"); });
    report("password test against the file", check, "");

    int records = 0;
    qsizetype captionChars = 0;
    const double captions = bestSeconds([&] {
        records = 0;
        captionChars = 0;
        Schema::walkTree(document.root(), [&](const pugi::xml_node& item, int) {
            if (Schema::isRecord(item)) {
                captionChars += Schema::RecordCaption(item).size();
                ++records;
            }
            return true;
        });
    });
    std::snprintf(detail, sizeof detail, "%.0f ns per record", captions * 1e9 / records);
    report("RecordCaption over all records", captions, detail);

    SearchOptions options;
    options.keyword = QStringLiteral("no such keyword");
    int fields = 0;
    int hits = 0;
    const double search = bestSeconds([&] {
        fields = 0;
        hits = 0;
        const ItemMatcher matcher(options);
        Schema::walkTree(document.root(), [&](const pugi::xml_node& item, int) {
            hits += matcher.matchCaption(Schema::itemCaption(item));
            for (const pugi::xml_node& field : Schema::recordFields(item)) {
                hits += matcher.matchField(field);
                ++fields;
            }
            return true;
        });
    });
    std::snprintf(detail, sizeof detail, "%.0f ns per field, %d fields (target < 300 ms)", search * 1e9 / fields, fields);
    report("full-text match, nothing found", search, detail);
    return hits == 0 && captionChars > 0 ? 0 : 1;
}
