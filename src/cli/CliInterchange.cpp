// The commands that move entries between data files and the files other
// password managers exchange: import --from and export --to.
#include "cli/CliTool.h"

#include "cli/DocumentOutput.h"
#include "config/ProgramPaths.h"
#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/interchange/Interchange.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

const QString FormatNames = QStringLiteral("auto, keepass-xml, csv, pwsafe-xml or bitwarden-json");

// Takes "OPTION VALUE" out of args: the value, an empty text for an option
// without one, nullopt when the option is not given.
std::optional<QString> takeOption(QStringList& args, const QString& option)
{
    const qsizetype at = args.indexOf(option);
    if (at < 0)
        return std::nullopt;
    const QString value = args.value(at + 1);
    args.remove(at, std::min<qsizetype>(2, args.size() - at));
    return value;
}

} // namespace

void CliTool::useCatalogue(const QString& path)
{
    m_catalogueFile = path;
}

int CliTool::importForeign(QStringList args)
{
    const QString formatName = takeOption(args, FromOption).value_or(QStringLiteral("auto"));
    const std::optional<Interchange::Format> format = Interchange::formatNamed(formatName);
    if (!format && formatName != QLatin1String("auto"))
        return usage(QStringLiteral("--from takes %1").arg(FormatNames));
    DataFile::Sealing sealing{DataFile::formatNamed(args.value(1)), {}};
    if (const std::optional<QString> problem = takeCostOptions(args, sealing))
        return usage(*problem);
    if (args.size() != 2)
        return usage(QStringLiteral("import --from takes INPUT and FILE"));
    QByteArray input;
    if (const int code = readInput(args.at(0), input))
        return code;
    return importEntries(args.at(0), args.at(1), std::move(input), sealing, format);
}

int CliTool::importEntries(const QString& source, const QString& target, QByteArray input,
                           const DataFile::Sealing& sealing, std::optional<Interchange::Format> format)
{
    const QString catalogueFile = m_catalogueFile.isEmpty()
        ? findCatalogueFile(ProgramPaths(QCoreApplication::applicationFilePath()), QString()).value_or(QString())
        : m_catalogueFile;
    Catalogue catalogue;
    if (!catalogue.LoadCatalogue(catalogueFile))
        return fail(CannotRead, QString::fromLatin1(MessageConfigNotFoundText));
    DataDocument document;
    const Interchange::ImportResult result =
        Interchange::importInto(document, catalogue, format, std::move(input), QFileInfo(source).completeBaseName());
    if (!result.ok())
        return fail(NotADataDocument, QStringLiteral("%1: %2").arg(source, result.error));
    if (const int code = createFile(target, document, sealing))
        return code;
    m_err << result.summary() << '\n';
    return Success;
}

int CliTool::exportForeign(QStringList args)
{
    const std::optional<Interchange::Format> format =
        Interchange::formatNamed(takeOption(args, ToOption).value_or(QString()));
    if (format != Interchange::Format::KeePassXml && format != Interchange::Format::Csv)
        return usage(QStringLiteral("--to takes keepass-xml or csv"));
    if (args.size() != 1)
        return usage(QStringLiteral("export --to takes one FILE"));
    DataDocument document;
    if (const int code = openDocument(args.at(0), document))
        return code;
    DocumentOutput out(m_out, m_terminals.out);
    const Interchange::ExportResult result =
        Interchange::exportDocument(document, *format, out, QFileInfo(args.at(0)).completeBaseName());
    if (const QString note = result.changesNote(); !note.isEmpty())
        report(note);
    return Success;
}
