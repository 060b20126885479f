// The health report on the command line: analyze.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/DocumentJson.h"

#include "config/CaptionTable.h"
#include "document/DataDocument.h"
#include "health/BreachList.h"
#include "health/FindingText.h"
#include "health/HealthReport.h"

#include <QDate>

int CliCommands::analyze(CliContext& context, QStringList args)
{
    BreachList breaches;
    HealthOptions options{QDate::currentDate(), 30, nullptr};
    if (const qsizetype at = args.indexOf(QStringLiteral("--breaches")); at >= 0) {
        const QString list = args.value(at + 1);
        args.remove(at, std::min<qsizetype>(2, args.size() - at));
        if (list.isEmpty())
            return context.usage(QStringLiteral("--breaches takes a FILE of SHA-1 hashes"));
        if (!breaches.open(list))
            return context.fail(CliExit::CannotRead,
                                QStringLiteral("Cannot read the list of breached passwords \"%1\"").arg(list));
        options.breaches = &breaches;
    }
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    if (args.size() != 1)
        return context.usage(QStringLiteral("analyze takes one FILE"));
    DataDocument document;
    if (const int code = context.openDocument(args.at(0), document))
        return code;
    // English texts: the tool speaks no other language.
    const CaptionTable english;
    QJsonArray findings;
    for (const HealthFinding& finding : HealthReport::analyse(document.root(), options)) {
        if (!json) {
            context.out() << context.shown(finding.path) << " :: " << context.shown(finding.fieldName)
                          << " :: " << FindingText::problem(finding, english) << " ("
                          << FindingText::detail(finding, english) << ")\n";
            continue;
        }
        // The record as list shows it, and what was found in which field.
        QJsonObject shape = DocumentJson::item(finding.record);
        shape.insert(QStringLiteral("field"), finding.fieldName);
        shape.insert(QStringLiteral("problem"), FindingText::problem(finding, english));
        shape.insert(QStringLiteral("detail"), FindingText::detail(finding, english));
        shape.insert(QStringLiteral("amount"), finding.amount);
        findings.append(shape);
    }
    if (json)
        DocumentJson::print(context, findings);
    return CliExit::Success;
}
