#include "cli/CliHelp.h"

#include "base/CodePage.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"

namespace {

const QString Usage =
    QStringLiteral("Usage: zantrove-cli [--password-stdin] [--code-page NUMBER] [--allow-slow-kdf] COMMAND\n"
                   "                    ARGUMENTS\n");

QString offeredCodePages()
{
    QStringList numbers;
    for (int number : CodePage::offered())
        numbers.append(QString::number(number));
    return numbers.join(QStringLiteral(", "));
}

// What the commands' parts refer to: the file formats and KDF, the password
// input, the code page, paths and JSON, the exit codes.
QString notes()
{
    return QStringLiteral("\n"
                          "A file named .zvx is written in the protected format (Argon2id and\n"
                          "XChaCha20-Poly1305, passwords of 1 to 1024 characters), any other as .zv\n"
                          "(passwords of 1 to 16 characters). Every command reads both. KDF sets the cost of\n"
                          "a protected file's key derivation: --kdf-passes N (1 to 64, 3 unless given) and\n"
                          "--kdf-memory-kib N (8192 to 4194304, 262144 unless given). A derivation, of a file\n"
                          "read or written, that would take more than half of the machine's memory is\n"
                          "refused, and so is one estimated to take over 10 seconds here unless\n"
                          "--allow-slow-kdf is given.\n"
                          "\n"
                          "Passwords are asked on the terminal without echo. With --password-stdin they are\n"
                          "read as lines of standard input instead: the file's password first (for merge,\n"
                          "FILE's, then OTHER's), then, for passwd, import and convert, the new password.\n"
                          "\n"
                          "PATH is the captions from the top level down joined by \"/\"; \"/\" is the top\n"
                          "level. Of several items at one level with one caption, CAPTION#2 names the\n"
                          "second as list shows them. --json prints one JSON document: items as\n"
                          "{\"path\": [captions], \"ref\": PATH, \"number\", \"kind\", \"type\"}, a record's\n"
                          "\"fields\" as [{\"name\", \"type\", \"value\", \"secret\"}] (see the man page).\n"
                          "\n"
                          "--code-page NUMBER names the Windows code page of files written by older versions\n"
                          "in 8-bit text, and of the password in a file's key: 1251 for a file from a Russian\n"
                          "system, for instance. It is 1252 unless given.\n"
                          "Offered: %1.\n"
                          "\n"
                          "Exit codes:\n"
                          "  0  success\n"
                          "  1  find: nothing found\n"
                          "  2  wrong usage\n"
                          "  3  the file cannot be read (missing, not a regular file, or over 256 MB), or\n"
                          "     analyze: the list of breached passwords cannot be read\n"
                          "  4  Incorrect file format, or a protected file of a newer version\n"
                          "  5  Can't open data file. Make sure you have entered correct password\n"
                          "  6  Can't save data file\n"
                          "  7  no record or group at that path, or totp: no one-time code in it, or show\n"
                          "     --field, edit, clip: no such field\n"
                          "  8  the password cannot be used (empty, too long for the format, outside the code\n"
                          "     page in a .zv file, or the two entries differ)\n"
                          "  9  import: the XML is not a data document, or INPUT is not valid in the\n"
                          "     format --from names (the line or element at fault is named)\n"
                          " 10  import, convert: the target file already exists; mkdir: the group exists\n"
                          " 11  a command that changes the file: another program has it open, or something\n"
                          "     other than a lock file has the name of its lock\n"
                          " 12  the key derivation of a protected file would take more than half of the\n"
                          "     memory, or over 10 seconds without --allow-slow-kdf\n"
                          " 13  the path names several items of the same caption; the message lists them\n"
                          "     with the \"#N\" that tells them apart\n"
                          " 14  clip: no clipboard: no display, or one that cannot be reached\n")
        .arg(offeredCodePages());
}

} // namespace

namespace CliHelp {

QString text()
{
    QString commands;
    for (const CliCommand& command : cliCommands())
        commands += QString::fromUtf8(command.help);
    return Usage + QStringLiteral("\nCommands:\n") + commands + notes();
}

QString commandText(const CliCommand& command)
{
    return Usage + QStringLiteral("\n") + QString::fromUtf8(command.help) + notes();
}

int help(CliContext& context, QStringList args)
{
    if (args.isEmpty()) {
        context.out() << text();
        return CliExit::Success;
    }
    const CliCommand* command = args.size() == 1 ? findCliCommand(args.first()) : nullptr;
    if (!command)
        return context.usage(QStringLiteral("help takes one COMMAND of those --help lists"));
    context.out() << commandText(*command);
    return CliExit::Success;
}

int version(CliContext& context, QStringList args)
{
    if (!args.isEmpty())
        return context.usage(QStringLiteral("version takes no arguments"));
    context.out() << "zantrove-cli " << ZV_VERSION << '\n';
    return CliExit::Success;
}

} // namespace CliHelp
