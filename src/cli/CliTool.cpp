#include "cli/CliTool.h"

#include "cli/DocumentOutput.h"
#include "cli/TerminalText.h"
#include "datafile/Backups.h"
#include "datafile/DataFileLock.h"
#include "datafile/DerivationBudget.h"
#include "datafile/PasswordGenerator.h"
#include "base/SecureWipe.h"
#include "base/TextEncoding.h"
#include "document/DataDocument.h"
#include "document/Schema.h"
#include "document/interchange/ExportXml.h"
#include "document/FieldFormats.h"
#include "search/ItemMatcher.h"

#include <QFile>
#include <QFileInfo>

#include <functional>

namespace {

const QString MessageIncorrectFormat = QStringLiteral("Incorrect file format");
const QString MessageNotOpened = QStringLiteral("Can't open data file. Make sure you have entered correct password");
const QString MessageNotSaved = QStringLiteral("Can't save data file");
const QString MessageNewerFormat = QStringLiteral("This file was written by a newer version of Zantrove");
const QString PasswordOption = QStringLiteral("--password-stdin");
const QString CodePageOption = QStringLiteral("--code-page");
const QString RemoveBackupsOption = QStringLiteral("--remove-backups");
const QString AllowSlowOption = QStringLiteral("--allow-slow-kdf");

// Visits every group and record in tree order with its path: the captions from
// the top level down, joined by "/".
void walkPaths(const DataDocument& document,
               const std::function<bool(const pugi::xml_node&, const QString&, int depth)>& visit)
{
    QStringList captions;
    Schema::walkTree(document.root(), [&](const pugi::xml_node& item, int depth) {
        captions.resize(depth);
        captions << Schema::itemCaption(item);
        return visit(item, captions.join(QLatin1Char('/')), depth);
    });
}

QString offeredCodePages()
{
    QStringList numbers;
    for (int number : CodePage::offered())
        numbers.append(QString::number(number));
    return numbers.join(QStringLiteral(", "));
}

// The lines of a field's value in display form.
QStringList displayLines(const pugi::xml_node& field)
{
    const QString value = qText(field.text());
    const auto type = fieldTypeFromStored(qText(field.attribute("basic_type")));
    if (type == FieldType::Date)
        return {dateDisplayText(value)};
    if (type == FieldType::Time)
        return {timeDisplayText(value)};
    QString text = value;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

QString passwordRule(DataFile::Format format)
{
    if (format == DataFile::Format::Protected)
        return QStringLiteral("A protected file's password has 1 to %1 characters")
            .arg(ProtectedContainer::MaxPasswordLength);
    return QStringLiteral("A .zv file's password has 1 to 16 characters, each of them in the code page %1")
        .arg(TextEncoding::olderFilesCodePage().name());
}

} // namespace

const QString CliTool::FromOption = QStringLiteral("--from");
const QString CliTool::ToOption = QStringLiteral("--to");

// Takes the options that set a protected file's derivation cost out of args
// into sealing; the problem when they are not numbers within the limits or
// the file written is no protected file.
std::optional<QString> CliTool::takeCostOptions(QStringList& args, DataFile::Sealing& sealing)
{
    using Cost = ProtectedContainer::DerivationCost;
    const std::pair<QString, std::uint32_t Cost::*> options[] = {
        {QStringLiteral("--kdf-passes"), &Cost::passes},
        {QStringLiteral("--kdf-memory-kib"), &Cost::memoryKiB},
    };
    for (const auto& [name, member] : options) {
        const qsizetype at = args.indexOf(name);
        if (at < 0)
            continue;
        if (sealing.format != DataFile::Format::Protected)
            return QStringLiteral("%1 applies to protected files (.zvx) only").arg(name);
        bool number = false;
        sealing.cost.*member = args.value(at + 1).toUInt(&number);
        args.remove(at, std::min<qsizetype>(2, args.size() - at));
        if (!number || !sealing.cost.withinLimits())
            return QStringLiteral("--kdf-passes takes %1 to %2, --kdf-memory-kib %3 to %4")
                .arg(Cost::MinPasses)
                .arg(Cost::MaxPasses)
                .arg(Cost::MinMemoryKiB)
                .arg(Cost::MaxMemoryKiB);
    }
    return std::nullopt;
}

CliTool::CliTool(QTextStream& in, QTextStream& out, QTextStream& err, PasswordReader& terminal, Terminals terminals)
    : m_in(in)
    , m_out(out)
    , m_err(err)
    , m_terminal(terminal)
    , m_terminals(terminals)
{
}

QString CliTool::helpText()
{
    return QStringLiteral(
        "Usage: zantrove-cli [--password-stdin] [--code-page NUMBER] [--allow-slow-kdf] COMMAND\n"
        "                    ARGUMENTS\n"
        "\n"
        "Commands:\n"
        "  list FILE                  the tree: groups and records, records first at every level\n"
        "  show FILE PATH             one record's fields; PATH is the captions joined by \"/\"\n"
        "  find FILE KEYWORD [--whole-words] [--field-names]\n"
        "                             every hit in tree order: the path, and \" :: \" and the\n"
        "                             field's name for a hit in a field\n"
        "  export FILE                the document's XML on standard output\n"
        "  export FILE --to keepass-xml|csv\n"
        "                             the document as KeePass 2 XML or CSV on standard\n"
        "                             output, unencrypted\n"
        "  import XML FILE [KDF]      a new data file FILE from the XML document XML\n"
        "  import --from auto|keepass-xml|csv|pwsafe-xml|bitwarden-json INPUT FILE [KDF]\n"
        "                             a new data file FILE holding the entries of INPUT\n"
        "                             in one group named after INPUT; auto (also without\n"
        "                             --from) tells the format by the content; csv reads\n"
        "                             the layouts of the common managers\n"
        "  passwd FILE [--remove-backups] [KDF]\n"
        "                             gives FILE a new password, keeping its format; its\n"
        "                             backups (~1_FILE to ~3_FILE) keep the old one unless\n"
        "                             --remove-backups deletes them\n"
        "  convert SOURCE DEST [KDF]  a new data file DEST holding SOURCE's document, in\n"
        "                             the format DEST's extension names\n"
        "  merge FILE OTHER           brings the groups, records and fields of the data\n"
        "                             file OTHER into FILE, keeping FILE's format and\n"
        "                             password: a field whose value differs is kept as\n"
        "                             \"NAME (from OTHER)\"; prints what was added\n"
        "  info FILE                  the file's format and, for a protected file, its key\n"
        "                             derivation; asks no password\n"
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
        "                             stream\n"
        "  totp FILE PATH [--seconds-left]\n"
        "                             the current one-time code of the record at PATH (its\n"
        "                             first otpauth:// field or seed), and with\n"
        "                             --seconds-left the seconds it stays valid\n"
        "  analyze FILE [--breaches LIST]\n"
        "                             the health report, one line per finding: the path,\n"
        "                             the field, what is wrong and its figure. Passwords\n"
        "                             estimated under 60 bits (zxcvbn), passwords shared\n"
        "                             by several records, Date fields named like Expiry\n"
        "                             that are past or within 30 days; with --breaches,\n"
        "                             passwords found in LIST, a local file of SHA-1\n"
        "                             hashes (\"HASH:COUNT\" lines, sorted)\n"
        "\n"
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
        "  7  show, totp: no record at that path, or totp: no one-time code in it\n"
        "  8  the password cannot be used (empty, too long for the format, outside the code\n"
        "     page in a .zv file, or the two entries differ)\n"
        "  9  import: the XML is not a data document, or INPUT is not valid in the\n"
        "     format --from names (the line or element at fault is named)\n"
        " 10  import, convert: the target file already exists\n"
        " 11  passwd, merge: another program has the file open, or something other than\n"
        "     a lock file has the name of its lock\n"
        " 12  the key derivation of a protected file would take more than half of the\n"
        "     memory, or over 10 seconds without --allow-slow-kdf\n")
        .arg(offeredCodePages());
}

int CliTool::run(QStringList arguments)
{
    m_passwordFromStdin = arguments.removeAll(PasswordOption) > 0;
    m_allowSlowDerivation = arguments.removeAll(AllowSlowOption) > 0;
    if (const qsizetype option = arguments.indexOf(CodePageOption); option >= 0) {
        const std::optional<CodePage> codePage = CodePage::fromNumber(arguments.value(option + 1).toInt());
        if (!codePage)
            return usage(QStringLiteral("--code-page takes one of %1").arg(offeredCodePages()));
        TextEncoding::setOlderFilesCodePage(*codePage);
        arguments.remove(option, 2);
    }
    if (arguments.isEmpty())
        return usage(QStringLiteral("no command given"));
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        m_out << helpText();
        return Success;
    }
    if (command == QLatin1String("list"))
        return list(arguments);
    if (command == QLatin1String("show"))
        return show(arguments);
    if (command == QLatin1String("find"))
        return find(arguments);
    if (command == QLatin1String("export"))
        return arguments.contains(ToOption) ? exportForeign(arguments) : exportXml(arguments);
    if (command == QLatin1String("import"))
        return arguments.contains(FromOption) ? importForeign(arguments) : importXml(arguments);
    if (command == QLatin1String("passwd"))
        return changePassword(arguments);
    if (command == QLatin1String("convert"))
        return convert(arguments);
    if (command == QLatin1String("info"))
        return info(arguments);
    if (command == QLatin1String("generate"))
        return arguments.contains(QStringLiteral("--words")) ? generatePassphrases(arguments) : generate(arguments);
    if (command == QLatin1String("totp"))
        return totp(arguments);
    if (command == QLatin1String("analyze"))
        return analyze(arguments);
    if (command == QLatin1String("merge"))
        return merge(arguments);
    return usage(QStringLiteral("unknown command \"%1\"").arg(command));
}

int CliTool::list(const QStringList& args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("list takes one FILE"));
    DataDocument document;
    if (const int code = openDocument(args.at(0), document))
        return code;
    Schema::walkTree(document.root(), [&](const pugi::xml_node& item, int depth) {
        m_out << QString(depth * 2, QLatin1Char(' ')) << shown(Schema::itemCaption(item)) << '\n';
        return true;
    });
    return Success;
}

int CliTool::show(const QStringList& args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("show takes FILE and PATH"));
    DataDocument document;
    pugi::xml_node record;
    if (const int code = openRecord(args.at(0), args.at(1), document, record))
        return code;
    // A multi-line value reads as indented continuation lines.
    for (const pugi::xml_node& field : record.children(Schema::FieldElement)) {
        QStringList lines = displayLines(field);
        for (QString& line : lines)
            line = shown(line);
        m_out << shown(qText(field.attribute("name"))) << ": " << lines.join(QLatin1String("\n  ")) << '\n';
    }
    return Success;
}

int CliTool::openRecord(const QString& file, const QString& path, DataDocument& document, pugi::xml_node& record)
{
    if (const int code = openDocument(file, document))
        return code;
    record = pugi::xml_node();
    walkPaths(document, [&](const pugi::xml_node& item, const QString& itemPath, int) {
        if (Schema::isRecord(item) && itemPath == path)
            record = item;
        return !record;
    });
    return record ? Success : fail(NoSuchRecord, QStringLiteral("No record at \"%1\"").arg(path));
}

int CliTool::find(QStringList args)
{
    SearchOptions options;
    options.wholeWords = args.removeAll(QStringLiteral("--whole-words")) > 0;
    options.fieldNames = args.removeAll(QStringLiteral("--field-names")) > 0;
    if (args.size() != 2)
        return usage(QStringLiteral("find takes FILE and KEYWORD"));
    options.keyword = args.at(1);
    const ItemMatcher matcher(options);
    DataDocument document;
    if (const int code = openDocument(args.at(0), document))
        return code;
    int hits = 0;
    walkPaths(document, [&](const pugi::xml_node& item, const QString& path, int) {
        if (matcher.matchCaption(Schema::itemCaption(item))) {
            m_out << shown(path) << '\n';
            ++hits;
        }
        if (!Schema::isRecord(item))
            return true;
        for (const pugi::xml_node& field : Schema::recordFields(item)) {
            if (matcher.matchField(field)) {
                m_out << shown(path) << " :: " << shown(qText(field.attribute("name"))) << '\n';
                ++hits;
            }
        }
        return true;
    });
    return hits > 0 ? Success : NothingFound;
}

int CliTool::exportXml(const QStringList& args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("export takes one FILE"));
    DataDocument document;
    if (const int code = openDocument(args.at(0), document))
        return code;
    // Written as it is serialised: a copy of the whole text would double
    // what a hostile file can make the tool hold.
    DocumentOutput output(m_out, m_terminals.out);
    document.writeText(output.xmlWriter());
    return Success;
}

int CliTool::importXml(QStringList args)
{
    DataFile::Sealing sealing{DataFile::formatNamed(args.value(1)), {}};
    if (const std::optional<QString> problem = takeCostOptions(args, sealing))
        return usage(*problem);
    if (args.size() != 2)
        return usage(QStringLiteral("import takes XML and FILE"));
    const QString& source = args.at(0);
    const QString& target = args.at(1);
    QByteArray xml;
    if (const int code = readInput(source, xml))
        return code;
    // Without --from, another manager's export is told by its content.
    if (ExportXml::documentElementName(xml) != "data")
        return importEntries(source, target, std::move(xml), sealing, std::nullopt);
    DataDocument document;
    QString problem;
    if (!document.loadText(std::move(xml), &problem))
        return fail(NotADataDocument, QStringLiteral("%1 is not a data document: %2").arg(source, problem));
    return createFile(target, document, sealing);
}

int CliTool::readInput(const QString& source, QByteArray& bytes)
{
    QFile input(source);
    if (!QFileInfo(source).isFile())
        return fail(CannotRead, QStringLiteral("Can't read %1: no such file").arg(source));
    // No input of ours is larger than a data file may be: a bigger one is refused unread.
    if (input.size() > DataFile::MaxFileSize)
        return fail(CannotRead,
                    QStringLiteral("Can't read %1: larger than %2 MB").arg(source).arg(DataFile::MaxFileSize >> 20));
    if (!input.open(QIODevice::ReadOnly))
        return fail(CannotRead, QStringLiteral("Can't read %1: %2").arg(source, input.errorString()));
    bytes = input.readAll();
    return Success;
}

int CliTool::createFile(const QString& target, const DataDocument& document, const DataFile::Sealing& sealing)
{
    // Asked before the password, so that nobody types one in vain; the write
    // itself still refuses a name taken meanwhile.
    if (const QFileInfo existing(target); existing.exists() || existing.isSymLink())
        return targetExists(target);
    if (const int code = derivationRefused(sealing))
        return code;
    std::optional<QString> password = askNewPassword(sealing.format);
    if (!password)
        return UnusablePassword;
    const SecureWipe::WipeOnExit forget(*password);
    QString detail;
    const DataFile::Status status = DataFile::create(target, *password, document, &detail, sealing);
    if (status == DataFile::Status::AlreadyExists)
        return targetExists(target);
    return written(status, detail);
}

int CliTool::convert(QStringList args)
{
    DataFile::Sealing sealing{DataFile::formatNamed(args.value(1)), {}};
    if (const std::optional<QString> problem = takeCostOptions(args, sealing))
        return usage(*problem);
    if (args.size() != 2)
        return usage(QStringLiteral("convert takes SOURCE and DEST"));
    if (const QFileInfo existing(args.at(1)); existing.exists() || existing.isSymLink())
        return targetExists(args.at(1));
    DataDocument document;
    if (const int code = openDocument(args.at(0), document))
        return code;
    return createFile(args.at(1), document, sealing);
}

int CliTool::info(const QStringList& args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("info takes one FILE"));
    QFile file(args.at(0));
    if (!QFileInfo(args.at(0)).isFile() || !file.open(QIODevice::ReadOnly))
        return fail(CannotRead, QStringLiteral("Can't read %1").arg(args.at(0)));
    const QByteArray start = file.read(ProtectedContainer::HeaderSize + ProtectedContainer::TagSize);
    ProtectedContainer::Header header;
    switch (ProtectedContainer::readHeader(start, header)) {
    case ProtectedContainer::Status::NotProtected:
        if (!start.startsWith(DataFile::Magic))
            return fail(IncorrectFormat, MessageIncorrectFormat);
        m_out << "format: .zv (RC4 under the password itself, no key derivation, no integrity check)\n";
        return Success;
    case ProtectedContainer::Status::Ok:
        m_out << "format: .zvx (protected)\nversion: " << int(header.version)
              << "\nkey derivation: Argon2id 1.3, " << header.cost.passes << " passes, " << header.cost.memoryKiB
              << " KiB\ncipher: XChaCha20-Poly1305\n";
        return Success;
    case ProtectedContainer::Status::UnknownVersion:
    case ProtectedContainer::Status::UnknownDerivation:
        return fail(IncorrectFormat, MessageNewerFormat);
    default:
        return fail(IncorrectFormat, MessageIncorrectFormat);
    }
}

int CliTool::changePassword(QStringList args)
{
    const bool removeBackups = args.removeAll(RemoveBackupsOption) > 0;
    // The file keeps its format and, unless told otherwise, its derivation cost.
    DataFile::Sealing sealing = DataFile::sealingOf(args.value(0));
    if (const std::optional<QString> problem = takeCostOptions(args, sealing))
        return usage(*problem);
    if (args.size() != 1)
        return usage(QStringLiteral("passwd takes one FILE"));
    if (const int code = derivationRefused(sealing))
        return code;
    // Held until the new file is written, so no other program saves over it meanwhile.
    DataFileLock lock;
    if (const int code = lockForWriting(args.at(0), lock))
        return code;
    DataDocument document;
    if (const int code = openDocument(args.at(0), document))
        return code;
    std::optional<QString> password = askNewPassword(sealing.format);
    if (!password)
        return UnusablePassword;
    const SecureWipe::WipeOnExit forget(*password);
    QString detail;
    if (const int code = written(DataFile::write(args.at(0), *password, document, &detail, sealing), detail))
        return code;
    m_err << "Password changed\n";
    reportBackups(args.at(0), removeBackups);
    return Success;
}

int CliTool::lockForWriting(const QString& path, DataFileLock& lock)
{
    switch (lock.acquire(path)) {
    case DataFileLock::Result::HeldElsewhere: {
        const DataFileLock::Holder& holder = lock.holder();
        if (holder.pid == 0)
            return fail(FileInUse, QStringLiteral("%1 is open in another program; close it there first").arg(path));
        return fail(FileInUse, QStringLiteral("%1 is open in %2 (process %3 on %4); close it there first")
                                   .arg(path, holder.program, QString::number(holder.pid), holder.host));
    }
    case DataFileLock::Result::NotALockFile:
        // Without the lock another program could save over what is written.
        return fail(FileInUse, QStringLiteral("%1 has the name of the file's lock but is no lock file (a link, a "
                                              "pipe or the like); remove it first")
                                   .arg(DataFileLock::lockFileName(path)));
    case DataFileLock::Result::Held:
    case DataFileLock::Result::NotPossible:
        break;
    }
    return Success;
}

int CliTool::generate(QStringList args)
{
    constexpr int MaxCount = 10000;
    PasswordGenerator::Rules rules;
    rules.choose(PasswordGenerator::CharacterGroup::Symbols, args.removeAll(QStringLiteral("--no-symbols")) == 0);
    rules.avoidLookAlikes = args.removeAll(QStringLiteral("--no-lookalikes")) > 0;
    int count = 1;
    // Each option with its number; anything else is a mistake.
    for (qsizetype i = 0; i < args.size(); i += 2) {
        bool number = false;
        const int value = args.value(i + 1).toInt(&number);
        if (args.at(i) == QLatin1String("--length") && number && value >= PasswordGenerator::MinLength
            && value <= PasswordGenerator::MaxLength)
            rules.length = value;
        else if (args.at(i) == QLatin1String("--count") && number && value >= 1 && value <= MaxCount)
            count = value;
        else
            return usage(QStringLiteral("generate takes --length %1 to %2, --count 1 to %3, --no-symbols and "
                                        "--no-lookalikes")
                             .arg(PasswordGenerator::MinLength)
                             .arg(PasswordGenerator::MaxLength)
                             .arg(MaxCount));
    }
    for (int i = 0; i < count; ++i) {
        QString password = PasswordGenerator::generate(rules);
        m_out << password << '\n';
        SecureWipe::wipe(password);
    }
    return Success;
}

void CliTool::reportBackups(const QString& path, bool remove)
{
    // Backups lie beside the file a link leads to, where saving makes them.
    const QString file = QFileInfo(path).canonicalFilePath();
    if (remove) {
        for (const QString& name : Backups::removeBackups(file))
            m_err << "Removed " << name << '\n';
    }
    const QStringList left = Backups::existingBackups(file);
    if (!left.isEmpty())
        m_err << "Older backups still open with the old password (passwd " << RemoveBackupsOption
              << " removes them): " << left.join(QStringLiteral(", ")) << '\n';
}

std::optional<QString> CliTool::askPassword(const QString& prompt)
{
    if (!m_passwordFromStdin)
        return m_terminal.read(prompt);
    if (m_in.atEnd())
        return std::nullopt;
    return m_in.readLine();
}

std::optional<QString> CliTool::askNewPassword(DataFile::Format format)
{
    std::optional<QString> password = askPassword(QStringLiteral("New password: "));
    if (!password || !DataFile::passwordFits(*password, format)) {
        if (password)
            SecureWipe::wipe(*password);
        fail(UnusablePassword, passwordRule(format));
        return std::nullopt;
    }
    // A typing mistake on a terminal would lock the file away; stdin is scripted.
    if (!m_passwordFromStdin && !retypedAlike(*password)) {
        SecureWipe::wipe(*password);
        fail(UnusablePassword, QStringLiteral("The two passwords differ"));
        return std::nullopt;
    }
    return password;
}

bool CliTool::retypedAlike(const QString& password)
{
    std::optional<QString> retyped = m_terminal.read(QStringLiteral("Retype new password: "));
    if (!retyped)
        return false;
    const SecureWipe::WipeOnExit forget(*retyped);
    return *retyped == password;
}

int CliTool::derivationRefused(const DataFile::Sealing& sealing)
{
    if (sealing.format != DataFile::Format::Protected)
        return Success;
    const DerivationBudget::Estimate estimate = DerivationBudget::estimate(sealing.cost);
    switch (estimate.verdict) {
    case DerivationBudget::Verdict::BeyondMemory:
        return fail(CostlyDerivation, QStringLiteral("The key derivation takes %1 MiB, more than half of this "
                                                     "machine's memory; it is refused")
                                          .arg(estimate.memoryMiB));
    case DerivationBudget::Verdict::Slow:
        if (m_allowSlowDerivation)
            return Success;
        return fail(CostlyDerivation, QStringLiteral("The key derivation (%1 passes over %2 MiB) would take about "
                                                     "%3 seconds here; %4 lets it run")
                                          .arg(sealing.cost.passes)
                                          .arg(estimate.memoryMiB)
                                          .arg(qRound(estimate.seconds))
                                          .arg(AllowSlowOption));
    case DerivationBudget::Verdict::Affordable:
        break;
    }
    return Success;
}

int CliTool::openDocument(const QString& path, DataDocument& document, QString* keptPassword)
{
    if (!QFileInfo(path).isFile())
        return fail(CannotRead, QStringLiteral("%1: %2").arg(MessageNotOpened, QStringLiteral("no such file ") + path));
    if (const int code = derivationRefused(DataFile::sealingOf(path)))
        return code;
    std::optional<QString> entered = askPassword(QStringLiteral("Password for %1: ").arg(QFileInfo(path).fileName()));
    if (!entered)
        return fail(UnusablePassword, QStringLiteral("No password given"));
    QString detail;
    const DataFile::Status status =
        DataFile::read(path, *entered, document, &detail,
                       m_allowSlowDerivation ? DataFile::SlowDerivation::Allow : DataFile::SlowDerivation::Refuse);
    if (keptPassword && status == DataFile::Status::Ok)
        std::swap(*keptPassword, *entered);
    SecureWipe::wipe(*entered);
    switch (status) {
    case DataFile::Status::Ok:
        return Success;
    case DataFile::Status::IncorrectFormat:
        return fail(IncorrectFormat, MessageIncorrectFormat);
    case DataFile::Status::NewerFormat:
        return fail(IncorrectFormat, MessageNewerFormat);
    case DataFile::Status::CannotRead:
    case DataFile::Status::TooLarge:
        return fail(CannotRead, QStringLiteral("%1: %2").arg(MessageNotOpened, detail));
    case DataFile::Status::InvalidPassword:
        return fail(UnusablePassword, passwordRule(DataFile::sealingOf(path).format));
    case DataFile::Status::DerivationSlow:
    case DataFile::Status::DerivationBeyondMemory:
        // The file changed after it was looked at: judged again as it is now.
        if (const int code = derivationRefused(DataFile::sealingOf(path)))
            return code;
        break;
    case DataFile::Status::CannotOpen:
    case DataFile::Status::CannotWrite:
    case DataFile::Status::AlreadyExists:
        break;
    }
    return fail(CannotOpen, MessageNotOpened);
}

int CliTool::written(DataFile::Status status, const QString& detail)
{
    if (status != DataFile::Status::Ok)
        return fail(CannotWrite, QStringLiteral("%1: %2").arg(MessageNotSaved, detail));
    return Success;
}

int CliTool::targetExists(const QString& path)
{
    return fail(TargetExists, QStringLiteral("%1 already exists; import writes new files only").arg(path));
}

QString CliTool::shown(const QString& text) const
{
    return m_terminals.out ? TerminalText::visible(text) : text;
}

int CliTool::usage(const QString& problem)
{
    m_err << "zantrove-cli: " << problem << "\n\n" << helpText();
    return UsageError;
}

int CliTool::fail(int code, const QString& message)
{
    report(message);
    return code;
}

void CliTool::report(const QString& message)
{
    // Messages name what a file holds: a lock's program and host, an
    // element, a caption.
    m_err << (m_terminals.err ? TerminalText::visible(message) : message) << '\n';
}
