#include "cli/CliTool.h"

#include "base/TextEncoding.h"
#include "cli/CliCommand.h"
#include "cli/CliHelp.h"

namespace {

const QString PasswordOption = QStringLiteral("--password-stdin");
const QString CodePageOption = QStringLiteral("--code-page");

// The words that stand for a command of the table.
QString commandAlias(const QString& word)
{
    if (word == QLatin1String("--help") || word == QLatin1String("-h"))
        return QStringLiteral("help");
    if (word == QLatin1String("--version"))
        return QStringLiteral("version");
    return word;
}

} // namespace

CliTool::CliTool(QTextStream& in, QTextStream& out, QTextStream& err, PasswordReader& terminal, Terminals terminals)
    : m_context(in, out, err, terminal, terminals)
{
}

QString CliTool::helpText()
{
    return CliHelp::text();
}

void CliTool::useCatalogue(const QString& path)
{
    m_context.useCatalogue(path);
}

void CliTool::useWordList(const QString& path)
{
    m_context.useWordList(path);
}

void CliTool::useClipboardHelper(const QString& path)
{
    m_context.useClipboardHelper(path);
}

int CliTool::run(QStringList arguments)
{
    if (arguments.removeAll(PasswordOption) > 0)
        m_context.takePasswordsFromStdin();
    if (arguments.removeAll(CliContext::AllowSlowOption) > 0)
        m_context.allowSlowDerivation();
    if (const qsizetype option = arguments.indexOf(CodePageOption); option >= 0) {
        const std::optional<CodePage> codePage = CodePage::fromNumber(arguments.value(option + 1).toInt());
        if (!codePage)
            return m_context.usage(QStringLiteral("--code-page takes one of the numbers --help offers"));
        TextEncoding::setOlderFilesCodePage(*codePage);
        arguments.remove(option, 2);
    }
    if (arguments.isEmpty())
        return m_context.usage(QStringLiteral("no command given"));
    const QString name = commandAlias(arguments.takeFirst());
    const CliCommand* command = findCliCommand(name);
    if (!command)
        return m_context.usage(QStringLiteral("unknown command \"%1\"").arg(name));
    return command->run(m_context, arguments);
}
