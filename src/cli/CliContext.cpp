#include "cli/CliContext.h"

#include "base/FilledBuffer.h"
#include "base/SecureWipe.h"
#include "base/TextEncoding.h"
#include "cli/ClipboardHelper.h"
#include "cli/TerminalText.h"
#include "config/CaptionTable.h"
#include "config/ProgramPaths.h"
#include "config/SettingsStore.h"
#include "datafile/Backups.h"
#include "datafile/DerivationBudget.h"
#include "document/Catalogue.h"
#include "document/DataDocument.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

const QString MessageNotOpened = QStringLiteral("Can't open data file. Make sure you have entered correct password");
const QString MessageNotSaved = QStringLiteral("Can't save data file");

QString passwordRule(DataFile::Format format)
{
    if (format == DataFile::Format::Protected)
        return QStringLiteral("A protected file's password has 1 to %1 characters")
            .arg(ProtectedContainer::MaxPasswordLength);
    return QStringLiteral("A .zv file's password has 1 to 16 characters, each of them in the code page %1")
        .arg(TextEncoding::olderFilesCodePage().name());
}

// The files beside the program; the settings are the desktop program's,
// which lies beside this tool.
ProgramPaths programPaths()
{
    return ProgramPaths(QCoreApplication::applicationDirPath() + QStringLiteral("/zantrove"));
}

} // namespace

const QString CliContext::MessageIncorrectFormat = QStringLiteral("Incorrect file format");
const QString CliContext::MessageNewerFormat = QStringLiteral("This file was written by a newer version of Zantrove");
const QString CliContext::RemoveBackupsOption = QStringLiteral("--remove-backups");
const QString CliContext::AllowSlowOption = QStringLiteral("--allow-slow-kdf");

CliContext::CliContext(QTextStream& in, QTextStream& out, QTextStream& err, PasswordReader& terminal,
                       Terminals terminals)
    : m_in(in)
    , m_out(out)
    , m_err(err)
    , m_terminal(terminal)
    , m_terminals(terminals)
{
}

CliContext::~CliContext() = default;

QString CliContext::catalogueFile(const QString& language) const
{
    if (!m_catalogueFile.isEmpty())
        return m_catalogueFile;
    return findCatalogueFile(programPaths(), language).value_or(QString());
}

QString CliContext::wordListFile() const
{
    return m_wordListFile.isEmpty() ? programPaths().wordListFile() : m_wordListFile;
}

QString CliContext::clipboardHelperFile() const
{
    return m_clipboardHelperFile.isEmpty() ? programPaths().folder() + QLatin1String(ClipboardHelper::ProgramName)
                                           : m_clipboardHelperFile;
}

const SettingsStore& CliContext::settings()
{
    if (!m_settings) {
        m_settings = std::make_unique<SettingsStore>();
        m_settings->LoadSettings(programPaths());
    }
    return *m_settings;
}

QString CliContext::language()
{
    return settings().GetSetting(QLatin1String(SettingKey::Language));
}

const CaptionTable& CliContext::captions()
{
    if (!m_captions) {
        m_captions = std::make_unique<CaptionTable>();
        m_captions->load(programPaths().languageFile(language()));
    }
    return *m_captions;
}

std::optional<QString> CliContext::takeCostOptions(QStringList& args, DataFile::Sealing& sealing)
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

std::optional<QString> CliContext::takeOption(QStringList& args, const QString& option)
{
    const qsizetype at = args.indexOf(option);
    if (at < 0)
        return std::nullopt;
    const QString value = args.value(at + 1);
    args.remove(at, std::min<qsizetype>(2, args.size() - at));
    return value;
}

bool CliContext::takeRepeatedOption(QStringList& args, const QString& option, QStringList& values)
{
    for (qsizetype at = args.indexOf(option); at >= 0; at = args.indexOf(option)) {
        if (at + 1 >= args.size())
            return false;
        values << args.at(at + 1);
        args.remove(at, 2);
    }
    return true;
}

int CliContext::readInput(const QString& source, QByteArray& bytes)
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
    bytes = FilledBuffer::readFile(input, input.size());
    if (input.error() != QFileDevice::NoError)
        return fail(CannotRead, QStringLiteral("Can't read %1: %2").arg(source, input.errorString()));
    return Success;
}

int CliContext::createFile(const QString& target, const DataDocument& document, const DataFile::Sealing& sealing)
{
    const DataFile::TextWriter text = [&document](QByteArray& out) { document.appendText(out); };
    return createFile(target, text, sealing);
}

int CliContext::createFile(const QString& target, const DataFile::TextWriter& writeText,
                           const DataFile::Sealing& sealing)
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
    const DataFile::Status status = DataFile::create(target, *password, writeText, &detail, sealing);
    if (status == DataFile::Status::AlreadyExists)
        return targetExists(target);
    return written(status, detail);
}

void CliContext::reportBackups(const QString& path, bool remove)
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

int CliContext::lockForWriting(const QString& path, DataFileLock& lock)
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
    case DataFileLock::Result::NotPossible: break;
    }
    return Success;
}

std::optional<QString> CliContext::askPassword(const QString& prompt)
{
    if (!m_passwordFromStdin)
        return m_terminal.read(prompt);
    if (m_in.atEnd())
        return std::nullopt;
    return m_in.readLine();
}

std::optional<QString> CliContext::askNewPassword(DataFile::Format format)
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

bool CliContext::retypedAlike(const QString& password)
{
    std::optional<QString> retyped = m_terminal.read(QStringLiteral("Retype new password: "));
    if (!retyped)
        return false;
    const SecureWipe::WipeOnExit forget(*retyped);
    return *retyped == password;
}

int CliContext::derivationRefused(const DataFile::Sealing& sealing)
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
    case DerivationBudget::Verdict::Affordable: break;
    }
    return Success;
}

int CliContext::openDocument(const QString& path, DataDocument& document, QString* keptPassword)
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
    case DataFile::Status::Ok: return Success;
    case DataFile::Status::IncorrectFormat: return fail(IncorrectFormat, MessageIncorrectFormat);
    case DataFile::Status::NewerFormat: return fail(IncorrectFormat, MessageNewerFormat);
    case DataFile::Status::CannotRead:
    case DataFile::Status::TooLarge: return fail(CannotRead, QStringLiteral("%1: %2").arg(MessageNotOpened, detail));
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
    case DataFile::Status::AlreadyExists: break;
    }
    return fail(CannotOpen, MessageNotOpened);
}

int CliContext::locate(const DataDocument& document, const QString& path, ItemPath::Kind kind, pugi::xml_node& item)
{
    const ItemPath::Lookup found = ItemPath::find(document.root(), path, kind);
    item = found.item;
    if (item)
        return Success;
    if (!found.candidates.isEmpty())
        return fail(AmbiguousPath, QStringLiteral("\"%1\" names %2 items; name one of them: %3")
                                       .arg(path)
                                       .arg(found.candidates.size())
                                       .arg(found.candidates.join(QStringLiteral(", "))));
    const char* what = kind == ItemPath::Kind::Record ? "record" : kind == ItemPath::Kind::Group ? "group" : "item";
    return fail(NoSuchRecord, QStringLiteral("No %1 at \"%2\"").arg(QLatin1String(what), path));
}

int CliContext::openRecord(const QString& file, const QString& path, DataDocument& document, pugi::xml_node& record)
{
    if (const int code = openDocument(file, document))
        return code;
    return locate(document, path, ItemPath::Kind::Record, record);
}

int CliContext::written(DataFile::Status status, const QString& detail)
{
    if (status != DataFile::Status::Ok)
        return fail(CannotWrite, QStringLiteral("%1: %2").arg(MessageNotSaved, detail));
    return Success;
}

int CliContext::targetExists(const QString& path)
{
    return fail(TargetExists, QStringLiteral("%1 already exists; import writes new files only").arg(path));
}

QString CliContext::shown(const QString& text) const
{
    return m_terminals.out ? TerminalText::visible(text) : text;
}

int CliContext::usage(const QString& problem)
{
    // A problem may quote what was typed, control characters and all.
    m_err << "zantrove-cli: " << (m_terminals.err ? TerminalText::visible(problem) : problem)
          << "\nTry 'zantrove-cli --help'.\n";
    return UsageError;
}

int CliContext::fail(int code, const QString& message)
{
    report(message);
    return code;
}

void CliContext::report(const QString& message)
{
    // Messages name what a file holds: a lock's program and host, an
    // element, a caption.
    m_err << (m_terminals.err ? TerminalText::visible(message) : message) << '\n';
}
