// The commands that move documents and entries between data files, XML and
// the files other password managers exchange: import and export.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include "cli/DocumentOutput.h"
#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/interchange/ExportXml.h"
#include "document/interchange/Interchange.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString FormatNames = QStringLiteral("auto, keepass-xml, csv, pwsafe-xml or bitwarden-json");

const QString FromOption = QStringLiteral("--from");
const QString ToOption = QStringLiteral("--to");

// INPUT's entries, in format or the one its content shows, as a new data file.
int importEntries(CliContext& context, const QString& source, const QString& target, QByteArray input,
                  const DataFile::Sealing& sealing, std::optional<Interchange::Format> format)
{
    // The catalogue beside the program, whatever the language: the import
    // is in English as the tool is.
    const QString catalogueFile = context.catalogueFile(QString());
    Catalogue catalogue;
    if (!catalogue.LoadCatalogue(catalogueFile))
        return context.fail(CliExit::CannotRead, QString::fromLatin1(MessageConfigNotFoundText));
    Interchange::ImportedDocument imported =
        Interchange::readDocument(catalogue, format, std::move(input), QFileInfo(source).completeBaseName());
    const Interchange::ImportResult& result = imported.result;
    if (!result.ok())
        return context.fail(CliExit::NotADataDocument, QStringLiteral("%1: %2").arg(source, result.error));
    // Written as it was made: no document is parsed from it only to be written out again.
    const DataFile::TextWriter text = [&imported](QByteArray& out) { imported.appendText(out); };
    if (const int code = context.createFile(target, text, sealing))
        return code;
    context.err() << result.summary() << '\n';
    return CliExit::Success;
}

int importForeign(CliContext& context, QStringList args)
{
    const QString formatName = CliContext::takeOption(args, FromOption).value_or(QStringLiteral("auto"));
    const std::optional<Interchange::Format> format = Interchange::formatNamed(formatName);
    if (!format && formatName != QLatin1String("auto"))
        return context.usage(QStringLiteral("--from takes %1").arg(FormatNames));
    DataFile::Sealing sealing{DataFile::formatNamed(args.value(1)), {}};
    if (const std::optional<QString> problem = CliContext::takeCostOptions(args, sealing))
        return context.usage(*problem);
    if (args.size() != 2)
        return context.usage(QStringLiteral("import --from takes INPUT and FILE"));
    QByteArray input;
    if (const int code = context.readInput(args.at(0), input))
        return code;
    return importEntries(context, args.at(0), args.at(1), std::move(input), sealing, format);
}

int exportForeign(CliContext& context, QStringList args)
{
    const std::optional<Interchange::Format> format =
        Interchange::formatNamed(CliContext::takeOption(args, ToOption).value_or(QString()));
    if (format != Interchange::Format::KeePassXml && format != Interchange::Format::Csv)
        return context.usage(QStringLiteral("--to takes keepass-xml or csv"));
    if (args.size() != 1)
        return context.usage(QStringLiteral("export --to takes one FILE"));
    DataDocument document;
    if (const int code = context.openDocument(args.at(0), document))
        return code;
    DocumentOutput out(context.out(), context.outIsTerminal());
    const Interchange::ExportResult result =
        Interchange::exportDocument(document, *format, out, QFileInfo(args.at(0)).completeBaseName());
    if (const QString note = result.changesNote(); !note.isEmpty())
        context.report(note);
    return CliExit::Success;
}

int importXml(CliContext& context, QStringList args)
{
    DataFile::Sealing sealing{DataFile::formatNamed(args.value(1)), {}};
    if (const std::optional<QString> problem = CliContext::takeCostOptions(args, sealing))
        return context.usage(*problem);
    if (args.size() != 2)
        return context.usage(QStringLiteral("import takes XML and FILE"));
    const QString& source = args.at(0);
    const QString& target = args.at(1);
    QByteArray xml;
    if (const int code = context.readInput(source, xml))
        return code;
    // Without --from, another manager's export is told by its content.
    if (ExportXml::documentElementName(xml) != "data")
        return importEntries(context, source, target, std::move(xml), sealing, std::nullopt);
    DataDocument document;
    QString problem;
    if (!document.loadText(std::move(xml), &problem))
        return context.fail(CliExit::NotADataDocument,
                            QStringLiteral("%1 is not a data document: %2").arg(source, problem));
    return context.createFile(target, document, sealing);
}

int exportXml(CliContext& context, const QStringList& args)
{
    if (args.size() != 1)
        return context.usage(QStringLiteral("export takes one FILE"));
    DataDocument document;
    if (const int code = context.openDocument(args.at(0), document))
        return code;
    // Written as it is serialised: a copy of the whole text would double
    // what a hostile file can make the tool hold.
    DocumentOutput output(context.out(), context.outIsTerminal());
    document.writeText(output.xmlWriter());
    return CliExit::Success;
}

} // namespace

int CliCommands::importFile(CliContext& context, QStringList args)
{
    return args.contains(FromOption) ? importForeign(context, args) : importXml(context, args);
}

int CliCommands::exportFile(CliContext& context, QStringList args)
{
    return args.contains(ToOption) ? exportForeign(context, args) : exportXml(context, args);
}
