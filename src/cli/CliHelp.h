#pragma once

#include <QStringList>

class CliContext;
struct CliCommand;

// The tool's help, put together from the commands' parts, and the commands
// that print it and the version.
namespace CliHelp {

QString text();
// The usage line, the command's part and the notes its arguments refer to.
QString commandText(const CliCommand& command);

// help [COMMAND]
int help(CliContext& context, QStringList args);
// version
int version(CliContext& context, QStringList args);

} // namespace CliHelp
