// Prints per-stage costs of the data path at 100,000 records.
#include "BenchDocument.h"
#include "BenchTools.h"
#include "FileBench.h"
#include "ForeignFiles.h"
#include "WindowBench.h"

#include "config/CaptionTable.h"
#include "datafile/DataFile.h"
#include "datafile/RC4.h"
#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/DocumentEditing.h"
#include "document/DocumentHistory.h"
#include "document/DocumentMerge.h"
#include "document/Schema.h"
#include "document/interchange/Interchange.h"
#include "document/ui/DocumentTreeModel.h"
#include "document/ui/TypeIcons.h"
#include "editor/ui/RecordEditor.h"
#include "search/ItemMatcher.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr int RecordCount = 100000;
constexpr int LargeRecordCount = 400000;

double megabytes(qsizetype bytes)
{
    return bytes / (1024.0 * 1024.0);
}

} // namespace

// A record with fifty fields of every kind, as the editor shows it.
void fillWideRecord(DataDocument& document)
{
    document.clear();
    pugi::xml_node record = document.root().append_child(Schema::RecordElement);
    record.append_child(Schema::LabelElement).append_attribute("link") = "Field 0";
    const char* types[] = {"TEXT", "LONG TEXT", "E-MAIL", "NUMBER", "DATE", "TIME", "PHONE"};
    const char* values[] = {
        "some text", "line one\r\nline two\r\n", "someone@example.org", "12345", "20240502:", "143005.", "+1 555 0100"};
    for (int n = 0; n < 50; ++n) {
        pugi::xml_node field = record.append_child(Schema::FieldElement);
        field.append_attribute("name") = ("Field " + std::to_string(n)).c_str();
        field.append_attribute("basic_type") = types[n % 7];
        field.text() = values[n % 7];
    }
}

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    // The windows run in a process of their own, so its memory is the program's alone.
    if (arguments.contains(QStringLiteral("--windows"))) {
        std::printf("The program's windows at %d records\n", RecordCount);
        runWindowBench(RecordCount);
        return 0;
    }
    if (arguments.contains(QStringLiteral("--files"))) {
        runFileBench(RecordCount, LargeRecordCount);
        return 0;
    }
    // The stages that the file figures run as processes of their own.
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--make-file"))
        return writeBenchFile(arguments.at(2), arguments.at(3).toInt()) ? 0 : 1;
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--floor"))
        return readFloor(arguments.at(2)) ? 0 : 1;
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--open"))
        return openInProgram(arguments.at(2)) ? 0 : 1;
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

    // The protected format's cipher alone, its key derivation left out.
    const auto noDerivation = [](const QString&, const ProtectedContainer::Salt&,
                                 const ProtectedContainer::DerivationCost&, ProtectedContainer::Key& key) {
        key.fill(7);
        return true;
    };
    QByteArray sealed;
    const double aead =
        bestSeconds([&] { ProtectedContainer::seal(text, QStringLiteral("bench"), {}, sealed, noDerivation); });
    std::snprintf(detail, sizeof detail, "%.0f MB/s", megabytes(text.size()) / aead);
    report("XChaCha20-Poly1305 over the document", aead, detail);

    const double serialise = bestSeconds([&] { (void)document.toText(); });
    std::snprintf(detail, sizeof detail, "%.0f MB/s", megabytes(text.size()) / serialise);
    report("serialise", serialise, detail);

    DataDocument parsed;
    const double parse = bestSeconds([&] { parsed.loadText(text); });
    std::snprintf(detail, sizeof detail, "%.0f MB/s", megabytes(text.size()) / parse);
    report("parse", parse, detail);

    // One value of tens of megabytes, as a hostile or damaged file may hold:
    // read at the speed of the rest, never slower with its size.
    const QByteArray hugeValue = "<data><folder name='" + QByteArray(50 * 1024 * 1024, 'n') + "' type='AUTO'/></data>";
    const double parseHuge = bestSeconds([&] { parsed.loadText(hugeValue); });
    std::snprintf(detail, sizeof detail, "%.0f MB/s", megabytes(hugeValue.size()) / parseHuge);
    report("parse one 50 MB value", parseHuge, detail);

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

    // The protected format costs its key derivation, and its cipher in place
    // of RC4: nothing more.
    const DataFile::Sealing protectedSealing{DataFile::Format::Protected, {}};
    ProtectedContainer::Key key;
    const double derive = bestSeconds(
        [&] { ProtectedContainer::deriveArgon2id(QStringLiteral("bench"), {}, protectedSealing.cost, key); });
    std::snprintf(detail, sizeof detail, "%u passes, %u MiB", protectedSealing.cost.passes,
                  protectedSealing.cost.memoryKiB / 1024);
    report("protected: key derivation", derive, detail);
    const QString protectedPath = folder.filePath("bench.zvx");
    const double writeProtected =
        bestSeconds([&] { DataFile::write(protectedPath, "bench", document, nullptr, protectedSealing); });
    const double cipherChange = aead - rc4;
    std::snprintf(detail, sizeof detail, "%+.0f%% of .zv beyond the derivation and the cipher",
                  (writeProtected - derive - cipherChange - write) * 100 / write);
    report("protected: write the whole file", writeProtected, detail);
    const double readProtected = bestSeconds([&] { DataFile::read(protectedPath, "bench", parsed); });
    std::snprintf(detail, sizeof detail, "%+.0f%% of .zv beyond the derivation and the cipher",
                  (readProtected - derive - cipherChange - read) * 100 / read);
    report("protected: read the whole file", readProtected, detail);

    // Moving in and out: the whole document through each exchange format,
    // and exports of other managers. An import is compared with parsing the
    // same records as a document, and its peak memory with the file's size.
    Catalogue catalogue;
    catalogue.LoadCatalogue(QStringLiteral(ZV_PROGRAM_DIR "/config.xml"));
    std::vector<std::pair<QByteArray, std::string>> inputs;
    const std::pair<Interchange::Format, const char*> formats[] = {{Interchange::Format::KeePassXml, "KeePass XML"},
                                                                   {Interchange::Format::Csv, "CSV"}};
    for (const auto& [format, name] : formats) {
        QBuffer out;
        // Init-captures: clang before 16 cannot capture a structured binding itself.
        const double exportTime = bestSeconds([&, format = format] {
            out.setData(QByteArray());
            out.open(QIODevice::WriteOnly);
            Interchange::exportDocument(document, format, out, QStringLiteral("bench"));
            out.close();
        });
        std::snprintf(detail, sizeof detail, "%.1f MB (target < 1 s)", megabytes(out.data().size()));
        report((std::string("export ") + name).c_str(), exportTime, detail);
        inputs.emplace_back(out.data(), name);
    }
    const std::pair<ForeignLayout, const char*> layouts[] = {{ForeignLayout::BitwardenCsv, "Bitwarden CSV"},
                                                             {ForeignLayout::LastPassCsv, "LastPass CSV"},
                                                             {ForeignLayout::FirefoxCsv, "Firefox CSV"},
                                                             {ForeignLayout::BitwardenJson, "Bitwarden JSON"},
                                                             {ForeignLayout::PasswordSafeXml, "Password Safe XML"}};
    for (const auto& [layout, name] : layouts)
        inputs.emplace_back(foreignFile(layout, RecordCount), name);
    for (const auto& [input, name] : inputs) {
        int imported = 0;
        double peak = 0;
        // Processor time too, as a shared machine stretches the wall clock.
        double processor = 0;
        const double importTime = bestSeconds([&, &input = input] {
            DataDocument into;
            resetPeakMemory();
            const double before = peakMemoryMegabytes();
            const std::clock_t started = std::clock();
            imported = Interchange::importInto(into, catalogue, std::nullopt, input, QStringLiteral("bench")).records;
            processor = double(std::clock() - started) / CLOCKS_PER_SEC;
            peak = peakMemoryMegabytes() - before;
        });
        DataDocument same;
        const QByteArray sameText = [&, &input = input] {
            Interchange::importInto(same, catalogue, std::nullopt, input, QStringLiteral("bench"));
            return same.toText();
        }();
        const double readSame = bestSeconds([&] { same.loadText(sameText); });
        std::snprintf(detail, sizeof detail,
                      "%d records, %.1f MB: %.2f s processor, %.1fx parsing them, peak +%.0f MB = %.1fx the file",
                      imported, megabytes(input.size()), processor, importTime / readSame, peak,
                      peak / megabytes(input.size()));
        report(("import " + name).c_str(), importTime, detail);
    }

    {
        // Two files of all records each, one Password in ten changed in the other.
        DataDocument open;
        DataDocument other;
        fillBenchDocument(other, RecordCount);
        int seen = 0;
        Schema::walkTree(other.root(), [&](const pugi::xml_node& item, int) {
            if (Schema::isRecord(item) && seen++ % 10 == 0)
                item.find_child_by_attribute(Schema::FieldElement, "name", "Password").text() = "changed";
            return true;
        });
        (void)open.loadText(text);
        DocumentHistory history(open);
        DocumentMerge merging(other, [](const QString& name) { return name + QStringLiteral(" (from other)"); });
        QElapsedTimer timer;
        timer.start();
        history.push(merging.command(QStringLiteral("merge")));
        const double merge = timer.nsecsElapsed() / 1e9;
        std::snprintf(detail, sizeof detail, "%d values differ, kept (target a few s)", merging.summary().conflicts);
        report("merge of two such files", merge, detail);
        timer.restart();
        history.undo();
        report("undo of that merge", timer.nsecsElapsed() / 1e9);
    }

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
    std::snprintf(detail, sizeof detail, "%.0f ns per field, %d fields (target < 300 ms)", search * 1e9 / fields,
                  fields);
    report("full-text match, nothing found", search, detail);

    DocumentTreeModel model(TypeIcons::treeIcons(QStringLiteral(ZV_PROGRAM_DIR "/icons/")));
    QTreeView view;
    view.setModel(&model);
    view.setUniformRowHeights(true);
    view.resize(300, 600);
    view.show();
    const double rebuild = bestSeconds([&] {
        model.RebuildTree(document.root());
        view.expand(model.firstNode());
        QApplication::processEvents();
    });
    std::snprintf(detail, sizeof detail, "%d nodes, shown (target < 150 ms)", model.nodeCount());
    report("RebuildTree into the tree view", rebuild, detail);

    const QModelIndex last = model.index(model.rowCount() - 1, 0);
    const double find = bestSeconds([&] { (void)model.FindTreeNode(model.nodeData(last)->element); });
    report("FindTreeNode of the last group", find, "");

    DataDocument wide;
    fillWideRecord(wide);
    const CaptionTable englishCaptions;
    DocumentHistory history(wide);
    DocumentEditing editing(wide, history, englishCaptions);
    RecordEditor editor(englishCaptions, editing);
    editor.resize(437, 423);
    editor.show();
    const double select = bestSeconds([&] {
        editor.ClearRecordEditor();
        editor.FillRecordEditor(wide.root().first_child().first_child());
        QApplication::processEvents();
    });
    report("show a record with 50 fields", select, "target < 30 ms");
    return hits == 0 && captionChars > 0 ? 0 : 1;
}
