#include "WindowBench.h"

#include "BenchDocument.h"
#include "BenchTools.h"

#include "app/ui/MainWindow.h"
#include "app/ui/Program.h"
#include "datafile/DataFile.h"
#include "document/Schema.h"
#include "document/TreeEditing.h"
#include "document/interchange/Interchange.h"
#include "document/ui/TreeModel.h"
#include "document/ui/UnitNewRecord.h"
#include "editor/ui/RecordEditor.h"
#include "platform/SessionEvents.h"
#include "search/TreeSearch.h"

#include "support/ManualCapsLockState.h"
#include "support/ManualIdleTimeSource.h"
#include "support/RecordingDesktopLauncher.h"
#include "support/RecordingTrayShell.h"
#include "support/ScriptedMessageService.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>

namespace {

void settle()
{
    QApplication::processEvents();
}

// The program over the test doubles of the desktop services, with its
// settings in a folder of its own.
struct BenchProgram {
    QTemporaryDir folder;
    bool configured = QFile::copy(QStringLiteral(ZV_PROGRAM_DIR "/config.xml"),
                                  folder.filePath(QStringLiteral("config.xml")));
    ScriptedMessageService messages;
    RecordingDesktopLauncher launcher;
    RecordingTrayShell tray;
    ManualIdleTimeSource idle;
    SessionEvents sessionEvents;
    ManualCapsLockState capsLock;
    Program program{ProgramPaths(folder.filePath(QStringLiteral("zantrove"))),
                    {messages, launcher, tray, idle, sessionEvents, capsLock}};
};

} // namespace

bool openInProgram(const QString& path)
{
    BenchProgram bench;
    bench.program.createWindows();
    bench.program.openStartupFile(QString());
    settle();
    TFormMain& main = bench.program.mainWindow();
    if (DataFile::read(path, QStringLiteral("bench"), main.XMLDocumentData()) != DataFile::Status::Ok)
        return false;
    main.RebuildTree();
    settle();
    return main.treeModel().nodeCount() > 0;
}

void runWindowBench(int recordCount)
{
    BenchProgram bench;
    QTemporaryDir& folder = bench.folder;
    ScriptedMessageService& messages = bench.messages;
    Program& program = bench.program;

    const double startup = bestSeconds([&] {
        program.createWindows();
        program.openStartupFile(QString());
        settle();
    }, 1);
    report("start-up to a shown empty window", startup, "target < 300 ms");
    TFormMain& main = program.mainWindow();

    const QString path = folder.filePath(QStringLiteral("large.zv"));
    {
        DataDocument document;
        fillBenchDocument(document, recordCount);
        DataFile::write(path, QStringLiteral("bench"), document);
    }
    resetPeakMemory();
    const double open = bestSeconds([&] {
        DataFile::read(path, QStringLiteral("bench"), main.XMLDocumentData());
        main.RebuildTree();
        settle();
    });
    report("open: read, decipher, parse, show tree", open, "target < 500 ms");

    const double save = bestSeconds([&] { DataFile::save(path, QStringLiteral("bench"), main.XMLDocumentData(), true); });
    report("save with backups", save, "target < 300 ms");

    TreeSearch search;
    const double find = bestSeconds([&] { search.SearchFromTop(main.XMLDocumentData().root(), {QStringLiteral("no such keyword"), false, false}); });
    report("Find without a hit", find, "target < 300 ms");

    const pugi::xml_node root = main.XMLDocumentData().root();
    const double newGroup = bestSeconds([&] {
        main.RebuildAndSelect(TreeEditing::appendGroup(root, QStringLiteral("Added"), 0));
        settle();
    });
    report("New Group with the rebuild", newGroup, "target < 150 ms");

    const double drag = bestSeconds([&] {
        main.TreeViewDragDrop(root.first_child().first_child().first_child(), root.last_child());
        settle();
    });
    report("drag and drop with the rebuild", drag, "target < 150 ms");

    const double rename = bestSeconds([&] {
        main.TreeViewEdited(main.treeModel().firstNode(), QStringLiteral("Renamed"));
        settle();
    });
    report("rename in place", rename, "target < 150 ms");

    const double remove = bestSeconds([&] {
        main.TreeView().setCurrentIndex(main.treeModel().firstNode());
        messages.answers.enqueue(MessageService::Answer::Yes);
        main.ActionDeleteExecute();
        settle();
    });
    report("delete with the rebuild", remove, "target < 150 ms");

    const pugi::xml_node record = root.first_child().first_child().first_child();
    main.RebuildAndSelect(record);
    settle();
    auto* edit = qobject_cast<QLineEdit*>(main.recordEditor().controlList().value(1));
    const double typing = edit ? bestSeconds([&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(edit, &press);
        settle();
    }) : 0.0;
    report("typing one character in a field", typing, "target < 10 ms");

    char detail[64];
    std::snprintf(detail, sizeof detail, "%.0f MB peak (target < 300 MB)", peakMemoryMegabytes());
    report("memory", 0, detail);

    // Moving out and back in through the File menu, from the saved document
    // again; each import adds a group.
    DataFile::read(path, QStringLiteral("bench"), main.XMLDocumentData());
    main.RebuildTree();
    const QString exported = folder.filePath(QStringLiteral("large.xml"));
    const double exportTime = bestSeconds([&] {
        messages.answers.enqueue(MessageService::Answer::Yes);
        messages.fileNames.enqueue(exported);
        main.action("ActionExport")->trigger();
        settle();
    });
    report("File > Export... KeePass XML", exportTime, "target < 1 s");
    QFile exportedFile(exported);
    exportedFile.open(QIODevice::ReadOnly);
    DataDocument imported;
    const Interchange::ImportResult result =
        Interchange::importInto(imported, program.newRecordWindow().catalogue(), Interchange::Format::KeePassXml,
                                exportedFile.readAll(), QStringLiteral("large"));
    const double attach = bestSeconds([&] {
        main.treeCommands().groupCreated(main.XMLDocumentData().root().append_copy(result.group));
        settle();
    }, 1);
    std::snprintf(detail, sizeof detail, "%d records (target well under 1 s)", result.records);
    report("import: attach on the GUI thread", attach, detail);
    const double importTime = bestSeconds([&] {
        messages.fileNames.enqueue(exported);
        main.action("ActionImport")->trigger();
        settle();
    }, 1);
    report("File > Import... KeePass XML", importTime, "target < 2 s");
}
