#pragma once

#include <QStringList>

#include <vector>

class CliContext;

// One command of the tool: its name, its part of the help (the lines under
// "Commands:", each usage first, what it does indented beneath) and what
// runs it with the arguments after its name.
struct CliCommand {
    const char* name;
    const char* help;
    int (*run)(CliContext& context, QStringList args);
};

// Every command, in the order the help lists them.
const std::vector<CliCommand>& cliCommands();
// The command called name; nullptr when there is none.
const CliCommand* findCliCommand(const QString& name);

// The commands themselves, one file each.
namespace CliCommands {
int list(CliContext& context, QStringList args);
int show(CliContext& context, QStringList args);
int find(CliContext& context, QStringList args);
int exportFile(CliContext& context, QStringList args);
int importFile(CliContext& context, QStringList args);
int changePassword(CliContext& context, QStringList args);
int convert(CliContext& context, QStringList args);
int merge(CliContext& context, QStringList args);
int info(CliContext& context, QStringList args);
int generate(CliContext& context, QStringList args);
// generate --words
int generatePassphrases(CliContext& context, QStringList args);
int totp(CliContext& context, QStringList args);
int analyze(CliContext& context, QStringList args);
int add(CliContext& context, QStringList args);
int makeGroup(CliContext& context, QStringList args);
int edit(CliContext& context, QStringList args);
int remove(CliContext& context, QStringList args);
int move(CliContext& context, QStringList args);
int clip(CliContext& context, QStringList args);
} // namespace CliCommands
