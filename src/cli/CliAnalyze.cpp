// The health report on the command line: analyze.
#include "cli/CliTool.h"

#include "config/CaptionTable.h"
#include "document/DataDocument.h"
#include "health/BreachList.h"
#include "health/FindingText.h"
#include "health/HealthReport.h"

#include <QDate>

int CliTool::analyze(QStringList args)
{
    BreachList breaches;
    HealthOptions options{QDate::currentDate(), 30, nullptr};
    if (const qsizetype at = args.indexOf(QStringLiteral("--breaches")); at >= 0) {
        const QString list = args.value(at + 1);
        args.remove(at, std::min<qsizetype>(2, args.size() - at));
        if (list.isEmpty())
            return usage(QStringLiteral("--breaches takes a FILE of SHA-1 hashes"));
        if (!breaches.open(list))
            return fail(CannotRead, QStringLiteral("Cannot read the list of breached passwords \"%1\"").arg(list));
        options.breaches = &breaches;
    }
    if (args.size() != 1)
        return usage(QStringLiteral("analyze takes one FILE"));
    DataDocument document;
    if (const int code = openDocument(args.at(0), document))
        return code;
    // English texts: the tool speaks no other language.
    const CaptionTable english;
    for (const HealthFinding& finding : HealthReport::analyse(document.root(), options))
        m_out << shown(finding.path) << " :: " << shown(finding.fieldName) << " :: "
              << FindingText::problem(finding, english) << " (" << FindingText::detail(finding, english) << ")\n";
    return Success;
}
