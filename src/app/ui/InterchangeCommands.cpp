#include "app/ui/InterchangeCommands.h"

#include "app/DocumentSession.h"
#include "app/ui/BackgroundWork.h"
#include "app/ui/TreeCommands.h"
#include "base/FilledBuffer.h"
#include "base/SecureWipe.h"
#include "base/StagedFile.h"
#include "config/CaptionTable.h"
#include "datafile/DataFile.h"
#include "datafile/SecretBuffer.h"
#include "document/interchange/Interchange.h"
#include "platform/MessageService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace {

using Interchange::Format;

// At the index of each format's value: the save dialog's type is the format.
const QStringList ExportFilters{QStringLiteral("KeePass XML (*.xml)"), QStringLiteral("CSV (*.csv)")};
// Every format that import reads, told by the content whatever the name.
const QString ImportFilter = QStringLiteral("XML, CSV, JSON (*.xml *.csv *.json *.txt)");

bool sameFile(const QString& one, const QString& other)
{
    const QString canonical = QFileInfo(one).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(other).canonicalFilePath();
}

// What reading and importing on the worker came to; the reasons of the
// program's own are told in the user's language afterwards.
struct ImportOutcome {
    bool tooLarge = false;
    QString readError;
    Interchange::ImportResult result;
};

ImportOutcome readForImport(const QString& path, const Catalogue& catalogue, const QString& groupName)
{
    ImportOutcome outcome;
    QFile file(path);
    // No input is larger than a data file may be: a bigger one is refused unread.
    if (file.size() > DataFile::MaxFileSize) {
        outcome.tooLarge = true;
        return outcome;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.readError = file.errorString();
        return outcome;
    }
    // The format is told by the content, as the command line tells it.
    QByteArray input = FilledBuffer::readFile(file, file.size());
    if (file.error() != QFileDevice::NoError) {
        outcome.readError = file.errorString();
        return outcome;
    }
    outcome.result = Interchange::readImport(catalogue, std::nullopt, std::move(input), groupName);
    return outcome;
}

} // namespace

InterchangeCommands::InterchangeCommands(const CaptionTable& captions, MessageService& messages,
                                         const Catalogue& catalogue, const DocumentSession& session, TreeCommands& tree,
                                         QWidget& window)
    : QObject(&window)
    , m_captions(captions)
    , m_messages(messages)
    , m_catalogue(catalogue)
    , m_session(session)
    , m_tree(tree)
    , m_window(window)
{
}

QString InterchangeCommands::caption(const char* key, const char* englishDefault) const
{
    return m_captions.GetCaption(QString::fromLatin1(key), QString::fromUtf8(englishDefault));
}

void InterchangeCommands::importFile()
{
    const QString filter =
        QStringList{ImportFilter, caption("FilterAllFiles", "All files") + QStringLiteral(" (*)")}.join(
            QStringLiteral(";;"));
    const QString path =
        m_messages.openFileName(caption("DialogTitleImport", "Import"), filter, QString(), m_session.folder());
    if (path.isEmpty())
        return;
    const QString groupName = QFileInfo(path).completeBaseName();
    const ImportOutcome outcome = BackgroundWork(&m_window).run(
        caption("ProgressImporting", "Importing…"), [&] { return readForImport(path, m_catalogue, groupName); });

    const Interchange::ImportResult& result = outcome.result;
    if (outcome.tooLarge || !outcome.readError.isEmpty() || !result.ok()) {
        const QString why =
            outcome.tooLarge
                ? caption("MessageImportTooLarge", "The file is larger than %1 MB").arg(DataFile::MaxFileSize >> 20)
            : outcome.readError.isEmpty() ? importError(result)
                                          : outcome.readError;
        m_messages.show(MessageService::Kind::Error,
                        caption("MessageNotImported", "Can't import %1").arg(QDir::toNativeSeparators(path))
                            + QLatin1Char('\n') + why);
        return;
    }
    // Parsed into the document on this thread, once the tree may see it; undone in one step.
    m_tree.addImported(groupName, *result.groupText);

    m_messages.show(MessageService::Kind::Information, importSummary(result, groupName));
}

QString InterchangeCommands::importError(const Interchange::ImportResult& result) const
{
    switch (result.input) {
    case Interchange::InputKind::KeePassDatabase:
        return caption("MessageImportKeePassDatabase",
                       "This is a KeePass database, not an export. Export it as XML in KeePass or KeePassXC first.");
    case Interchange::InputKind::Binary:
        return caption("MessageImportNotText",
                       "This is not a text file but a program's own file. Export its entries as XML in that "
                       "program first.");
    case Interchange::InputKind::Text: break;
    }
    return result.error;
}

QString InterchangeCommands::importSummary(const Interchange::ImportResult& result, const QString& groupName) const
{
    QStringList lines{caption("MessageImportedInto", "Imported into the new group “%1”.").arg(groupName),
                      caption("ImportRecords", "Records: %1").arg(result.records),
                      caption("ImportGroups", "Groups: %1").arg(result.groups)};
    const std::pair<int, QString> notCarried[] = {
        {result.notCarried.attachments, caption("ImportLostAttachments", "Attachments: %1")},
        {result.notCarried.historyEntries, caption("ImportLostHistory", "History entries: %1")},
        {result.notCarried.customIcons, caption("ImportLostIcons", "Custom icons: %1")},
        {result.notCarried.expiryDates, caption("ImportLostExpiryDates", "Expiry dates: %1")},
        {result.notCarried.tagged, caption("ImportLostTags", "Entries with tags: %1")},
        {result.notCarried.groupNotes, caption("ImportLostGroupNotes", "Groups with notes: %1")},
        {result.notCarried.autoTypeSettings, caption("ImportLostAutoType", "Auto-type settings: %1")},
        {result.notCarried.entryTimes, caption("ImportLostTimes", "Entries with creation and change times: %1")},
        {result.notCarried.colours, caption("ImportLostColours", "Entries with colours: %1")},
        {result.notCarried.deletedEntries, caption("ImportLostDeleted", "Deleted entries (recycle bin): %1")},
        {result.notCarried.bookkeepingColumns,
         caption("ImportLostBookkeeping", "Bookkeeping columns (ids, flags): %1")},
    };
    QStringList lost;
    for (const auto& [count, text] : notCarried) {
        if (count > 0)
            lost << text.arg(count);
    }
    if (!lost.isEmpty())
        lines << caption("ImportNotCarried", "Not imported, as a data file cannot hold them") + QLatin1Char(':')
              << lost;
    if (!result.decodedFrom.isEmpty())
        lines << caption("ImportDecodedFrom", "The file is not UTF-8: it was read as %1.").arg(result.decodedFrom);
    return lines.join(QLatin1Char('\n'));
}

void InterchangeCommands::exportFile()
{
    const QString warning = caption("MessageExportNotEncrypted",
                                    "The exported file is not encrypted: anyone who can read it can read every "
                                    "password in it. Export anyway")
                            + QLatin1Char('?');
    if (m_messages.show(MessageService::Kind::Warning, warning, MessageService::Buttons::YesNo)
        != MessageService::Answer::Yes)
        return;
    const QString dataFile = m_session.fileName();
    // Refused in the dialog, before it asks whether to replace the file.
    const auto overDataFile = [this, &dataFile](const QString& chosen) {
        return sameFile(chosen, dataFile)
                   ? caption("MessageExportOverDataFile", "%1 is the open data file: export to another file")
                         .arg(QDir::toNativeSeparators(chosen))
                   : QString();
    };
    int chosenFilter = int(Format::KeePassXml);
    const QString path = m_messages.saveFileName(caption("DialogTitleExport", "Export"), ExportFilters, chosenFilter,
                                                 m_session.folder(), overDataFile);
    if (path.isEmpty())
        return;
    const QString shownPath = QDir::toNativeSeparators(path);
    const Format format = Format(chosenFilter);
    const QString rootName = QFileInfo(dataFile.isEmpty() ? path : dataFile).completeBaseName();
    Interchange::ExportResult result;
    StagedFile staged(StagedFile::Mode::ReplacePrivate);
    const bool written = BackgroundWork(&m_window).run(caption("ProgressExporting", "Exporting…"), [&] {
        SecretBuffer text;
        result = Interchange::exportDocument(m_session.document(), format, text, rootName);
        return result.written && staged.write(path, text.bytes()) && staged.commit();
    });
    if (!written) {
        m_messages.show(MessageService::Kind::Error, caption("MessageNotExported", "Can't export to %1").arg(shownPath)
                                                         + QLatin1Char('\n') + staged.errorString());
        return;
    }
    QString text = caption("MessageExported", "Exported to %1").arg(shownPath);
    if (result.textsChanged > 0)
        text += QLatin1Char('\n')
                + caption("MessageExportReplaced",
                          "Texts with characters XML cannot carry, such as control characters: %1. Each such "
                          "character was written as U+FFFD. The first is in “%2”.")
                      .arg(QString::number(result.textsChanged), result.firstChangedIn);
    m_messages.show(MessageService::Kind::Information, text);
}
