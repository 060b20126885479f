#include "cli/CliCommand.h"

#include "cli/CliHelp.h"

namespace {

// The help parts keep their lines within 80 columns: the usage from column
// 3, what it does from column 30, beneath a usage too long to share its line.
const std::vector<CliCommand> Commands = {
    {"list",
     "  list FILE [--json]         the tree: groups and records, records first at every\n"
     "                             level; an item whose caption a sibling shares has\n"
     "                             \"#N\" after it\n",
     &CliCommands::list},
    {"show",
     "  show FILE PATH [--json] [--show-secrets] [--field NAME]\n"
     "                             one record's fields; PATH is the captions joined by\n"
     "                             \"/\". On a terminal secret fields read \"********\"\n"
     "                             unless --show-secrets (-s) is given; --field prints\n"
     "                             that field's value alone\n",
     &CliCommands::show},
    {"find",
     "  find FILE KEYWORD [--whole-words] [--field-names] [--json]\n"
     "                             every hit in tree order: the path, and \" :: \" and the\n"
     "                             field's name for a hit in a field\n",
     &CliCommands::find},
    {"export",
     "  export FILE                the document's XML on standard output\n"
     "  export FILE --to keepass-xml|csv\n"
     "                             the document as KeePass 2 XML or CSV on standard\n"
     "                             output, unencrypted\n",
     &CliCommands::exportFile},
    {"import",
     "  import XML FILE [KDF]      a new data file FILE from the XML document XML\n"
     "  import --from auto|keepass-xml|csv|pwsafe-xml|bitwarden-json INPUT FILE [KDF]\n"
     "                             a new data file FILE holding the entries of INPUT\n"
     "                             in one group named after INPUT; auto (also without\n"
     "                             --from) tells the format by the content; csv reads\n"
     "                             the layouts of the common managers\n",
     &CliCommands::importFile},
    {"passwd",
     "  passwd FILE [--remove-backups] [KDF]\n"
     "                             gives FILE a new password, keeping its format; its\n"
     "                             backups (~1_FILE to ~3_FILE) keep the old one unless\n"
     "                             --remove-backups deletes them\n",
     &CliCommands::changePassword},
    {"convert",
     "  convert SOURCE DEST [KDF]  a new data file DEST holding SOURCE's document, in\n"
     "                             the format DEST's extension names\n",
     &CliCommands::convert},
    {"merge",
     "  merge FILE OTHER           brings the groups, records and fields of the data\n"
     "                             file OTHER into FILE, keeping FILE's format and\n"
     "                             password: a field whose value differs is kept as\n"
     "                             \"NAME (from OTHER)\"; prints what was added\n",
     &CliCommands::merge},
    {"add",
     "  add FILE GROUP-PATH --type TYPE [--name CAPTION] [--field NAME=VALUE]...\n"
     "      [--generate NAME] [--no-backups]\n"
     "                             a new record of the catalogue's TYPE (its key, such\n"
     "                             as \"WEB SITE\", or its name) in the group; a field\n"
     "                             the type lacks is added as Text; --generate fills\n"
     "                             the field NAME with a password made as the\n"
     "                             program's generator last made one\n",
     &CliCommands::add},
    {"mkdir",
     "  mkdir FILE GROUP-PATH [--type TYPE] [--no-backups]\n"
     "                             a new group at GROUP-PATH, whose parent exists; TYPE\n"
     "                             is a group type key such as BUSINESS\n",
     &CliCommands::makeGroup},
    {"edit",
     "  edit FILE PATH [--name CAPTION] [--field NAME=VALUE]...\n"
     "      [--delete-field NAME]... [--no-backups]\n"
     "                             renames the record, sets fields (adding those it\n"
     "                             lacks as Text) and deletes fields\n",
     &CliCommands::edit},
    {"rm",
     "  rm FILE PATH [--no-backups]\n"
     "                             deletes the record or the group with everything in it\n",
     &CliCommands::remove},
    {"mv",
     "  mv FILE PATH NEW-GROUP-PATH [--no-backups]\n"
     "                             moves the record or group into the group; \"/\" is\n"
     "                             the top level\n",
     &CliCommands::move},
    {"clip",
     "  clip FILE PATH [FIELD] [--timeout SECONDS]\n"
     "                             copies the record's first secret field, or FIELD, to\n"
     "                             the clipboard, marked for clipboard managers not to\n"
     "                             keep, and after SECONDS (0 to 999, 20 unless given;\n"
     "                             0 returns at once) clears it if it still holds it\n",
     &CliCommands::clip},
    {"info",
     "  info FILE [--json]         the file's format and, for a protected file, its key\n"
     "                             derivation; asks no password\n",
     &CliCommands::info},
    {"generate",
     "  generate [--length N] [--count N] [--no-symbols] [--no-lookalikes]\n"
     "                             random passwords, one a line, from the system's\n"
     "                             randomness: N characters (4 to 128, 20 unless given)\n"
     "                             with at least one capital, small letter, digit and\n"
     "                             symbol (no symbols with --no-symbols); --count\n"
     "                             passwords (1 to 10000, 1 unless given);\n"
     "                             --no-lookalikes leaves out 0 O o 1 l I | ' ` \"\n"
     "  generate --words N [--separator S] [--count N]\n"
     "                             random passphrases, one a line: N words (3 to 20)\n"
     "                             of the EFF's large word list (12.9 bits each), joined\n"
     "                             by S (\"-\" unless given); the strength on the error\n"
     "                             stream\n",
     &CliCommands::generate},
    {"totp",
     "  totp FILE PATH [--seconds-left]\n"
     "                             the current one-time code of the record at PATH (its\n"
     "                             first otpauth:// field or seed), and with\n"
     "                             --seconds-left the seconds it stays valid\n",
     &CliCommands::totp},
    {"analyze",
     "  analyze FILE [--breaches LIST] [--json]\n"
     "                             the health report, one line per finding: the path,\n"
     "                             the field, what is wrong and its figure. Passwords\n"
     "                             estimated under 60 bits (zxcvbn), passwords shared\n"
     "                             by several records, Date fields named like Expiry\n"
     "                             that are past or within 30 days; with --breaches,\n"
     "                             passwords found in LIST, a local file of SHA-1\n"
     "                             hashes (\"HASH:COUNT\" lines, sorted)\n",
     &CliCommands::analyze},
    {"help", "  help [COMMAND]             this help, or COMMAND's part of it\n", &CliHelp::help},
    {"version", "  version                    the program's version (also --version)\n", &CliHelp::version},
};

} // namespace

const std::vector<CliCommand>& cliCommands()
{
    return Commands;
}

const CliCommand* findCliCommand(const QString& name)
{
    for (const CliCommand& command : Commands)
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}
