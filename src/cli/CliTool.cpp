#include "cli/CliTool.h"

#include "datafile/DataFile.h"
#include "datafile/SecureWipe.h"
#include "datafile/TextEncoding.h"
#include "document/DataDocument.h"
#include "document/Schema.h"
#include "editor/FieldFormats.h"
#include "search/ItemMatcher.h"

#include <QFile>
#include <QFileInfo>

#include <functional>

namespace {

const QString MessageIncorrectFormat = QStringLiteral("Incorrect file format");
const QString MessageNotOpened = QStringLiteral("Can't open data file. Make sure you have entered correct password");
const QString MessageNotSaved = QStringLiteral("Can't save data file");
const QString PasswordOption = QStringLiteral("--password-stdin");
const QString CodePageOption = QStringLiteral("--code-page");

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

QString displayValue(const pugi::xml_node& field)
{
    const QString value = qText(field.text());
    const auto type = fieldTypeFromStored(qText(field.attribute("basic_type")));
    if (type == FieldType::Date)
        return dateDisplayText(value);
    if (type == FieldType::Time)
        return timeDisplayText(value);
    // A multi-line value reads as indented continuation lines.
    QString text = value;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.replace(QLatin1Char('\n'), QLatin1String("\n  "));
}

} // namespace

CliTool::CliTool(QTextStream& in, QTextStream& out, QTextStream& err, PasswordReader& terminal)
    : m_in(in)
    , m_out(out)
    , m_err(err)
    , m_terminal(terminal)
{
}

QString CliTool::helpText()
{
    return QStringLiteral(
        "Usage: zantrove-cli [--password-stdin] [--code-page NUMBER] COMMAND ARGUMENTS\n"
        "\n"
        "Commands:\n"
        "  list FILE                  the tree: groups and records, records first at every level\n"
        "  show FILE PATH             one record's fields; PATH is the captions joined by \"/\"\n"
        "  find FILE KEYWORD [--whole-words] [--field-names]\n"
        "                             every hit in tree order: the path, and \" :: \" and the\n"
        "                             field's name for a hit in a field\n"
        "  export FILE                the document's XML on standard output\n"
        "  import XML FILE            a new data file FILE from the XML document XML\n"
        "  passwd FILE                gives FILE a new password\n"
        "\n"
        "Passwords are asked on the terminal without echo. With --password-stdin they are\n"
        "read as lines of standard input instead: the file's password first, then, for\n"
        "passwd and import, the new password.\n"
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
        "  3  the file cannot be read\n"
        "  4  Incorrect file format\n"
        "  5  Can't open data file. Make sure you have entered correct password\n"
        "  6  Can't save data file\n"
        "  7  show: no record at that path\n"
        "  8  the password cannot be used (empty, over 16 characters, outside the code page,\n"
        "     or the two entries differ)\n"
        "  9  import: the XML is not a data document\n"
        " 10  import: the target file already exists\n")
        .arg(offeredCodePages());
}

int CliTool::run(QStringList arguments)
{
    m_passwordFromStdin = arguments.removeAll(PasswordOption) > 0;
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
        return exportXml(arguments);
    if (command == QLatin1String("import"))
        return importXml(arguments);
    if (command == QLatin1String("passwd"))
        return changePassword(arguments);
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
        m_out << QString(depth * 2, QLatin1Char(' ')) << Schema::itemCaption(item) << '\n';
        return true;
    });
    return Success;
}

int CliTool::show(const QStringList& args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("show takes FILE and PATH"));
    DataDocument document;
    if (const int code = openDocument(args.at(0), document))
        return code;
    pugi::xml_node record;
    walkPaths(document, [&](const pugi::xml_node& item, const QString& path, int) {
        if (Schema::isRecord(item) && path == args.at(1))
            record = item;
        return !record;
    });
    if (!record)
        return fail(NoSuchRecord, QStringLiteral("No record at \"%1\"").arg(args.at(1)));
    for (const pugi::xml_node& field : record.children(Schema::FieldElement))
        m_out << qText(field.attribute("name")) << ": " << displayValue(field) << '\n';
    return Success;
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
            m_out << path << '\n';
            ++hits;
        }
        if (!Schema::isRecord(item))
            return true;
        for (const pugi::xml_node& field : Schema::recordFields(item)) {
            if (matcher.matchField(field)) {
                m_out << path << " :: " << qText(field.attribute("name")) << '\n';
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
    m_out << QString::fromUtf8(document.toText());
    return Success;
}

int CliTool::importXml(const QStringList& args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("import takes XML and FILE"));
    const QString& source = args.at(0);
    const QString& target = args.at(1);
    QFile xml(source);
    if (!xml.open(QIODevice::ReadOnly))
        return fail(CannotRead, QStringLiteral("Can't read %1: %2").arg(source, xml.errorString()));
    DataDocument document;
    QString problem;
    if (!document.loadText(xml.readAll(), &problem))
        return fail(NotADataDocument, QStringLiteral("%1 is not a data document: %2").arg(source, problem));
    if (QFileInfo::exists(target))
        return fail(TargetExists, QStringLiteral("%1 already exists; import writes new files only").arg(target));
    std::optional<QString> password = askNewPassword();
    if (!password)
        return UnusablePassword;
    const SecureWipe::WipeOnExit forget(*password);
    return writeDocument(target, *password, document);
}

int CliTool::changePassword(const QStringList& args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("passwd takes one FILE"));
    DataDocument document;
    if (const int code = openDocument(args.at(0), document))
        return code;
    std::optional<QString> password = askNewPassword();
    if (!password)
        return UnusablePassword;
    const SecureWipe::WipeOnExit forget(*password);
    if (const int code = writeDocument(args.at(0), *password, document))
        return code;
    m_err << "Password changed\n";
    return Success;
}

std::optional<QString> CliTool::askPassword(const QString& prompt)
{
    if (!m_passwordFromStdin)
        return m_terminal.read(prompt);
    if (m_in.atEnd())
        return std::nullopt;
    return m_in.readLine();
}

std::optional<QString> CliTool::askNewPassword()
{
    std::optional<QString> password = askPassword(QStringLiteral("New password: "));
    if (!password || !DataFile::MakeFileKey(*password)) {
        if (password)
            SecureWipe::wipe(*password);
        fail(UnusablePassword, QStringLiteral("The new password must have 1 to 16 characters, each of them in "
                                              "the code page %1")
                                   .arg(TextEncoding::olderFilesCodePage().name()));
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

int CliTool::openDocument(const QString& path, DataDocument& document)
{
    if (!QFileInfo(path).isFile())
        return fail(CannotRead, QStringLiteral("%1: %2").arg(MessageNotOpened, QStringLiteral("no such file ") + path));
    std::optional<QString> entered = askPassword(QStringLiteral("Password for %1: ").arg(QFileInfo(path).fileName()));
    if (!entered)
        return fail(UnusablePassword, QStringLiteral("No password given"));
    QString detail;
    const DataFile::Status status = DataFile::read(path, *entered, document, &detail);
    SecureWipe::wipe(*entered);
    switch (status) {
    case DataFile::Status::Ok:
        return Success;
    case DataFile::Status::IncorrectFormat:
        return fail(IncorrectFormat, MessageIncorrectFormat);
    case DataFile::Status::CannotRead:
        return fail(CannotRead, QStringLiteral("%1: %2").arg(MessageNotOpened, detail));
    case DataFile::Status::TooLarge:
        return fail(CannotOpen, QStringLiteral("%1: %2").arg(MessageNotOpened, detail));
    case DataFile::Status::InvalidPassword:
    case DataFile::Status::CannotOpen:
    case DataFile::Status::CannotWrite:
        break;
    }
    return fail(CannotOpen, MessageNotOpened);
}

int CliTool::writeDocument(const QString& path, const QString& password, const DataDocument& document)
{
    QString detail;
    if (DataFile::write(path, password, document, &detail) != DataFile::Status::Ok)
        return fail(CannotWrite, QStringLiteral("%1: %2").arg(MessageNotSaved, detail));
    return Success;
}

int CliTool::usage(const QString& problem)
{
    m_err << "zantrove-cli: " << problem << "\n\n" << helpText();
    return UsageError;
}

int CliTool::fail(int code, const QString& message)
{
    m_err << message << '\n';
    return code;
}
