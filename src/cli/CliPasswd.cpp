// passwd: a data file under a new password, in its format.
#include "base/SecureWipe.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "document/DataDocument.h"

int CliCommands::changePassword(CliContext& context, QStringList args)
{
    const bool removeBackups = args.removeAll(CliContext::RemoveBackupsOption) > 0;
    // The file keeps its format and, unless told otherwise, its derivation cost.
    DataFile::Sealing sealing = DataFile::sealingOf(args.value(0));
    if (const std::optional<QString> problem = CliContext::takeCostOptions(args, sealing))
        return context.usage(*problem);
    if (args.size() != 1)
        return context.usage(QStringLiteral("passwd takes one FILE"));
    if (const int code = context.derivationRefused(sealing))
        return code;
    // Held until the new file is written, so no other program saves over it meanwhile.
    DataFileLock lock;
    if (const int code = context.lockForWriting(args.at(0), lock))
        return code;
    DataDocument document;
    if (const int code = context.openDocument(args.at(0), document))
        return code;
    std::optional<QString> password = context.askNewPassword(sealing.format);
    if (!password)
        return CliExit::UnusablePassword;
    const SecureWipe::WipeOnExit forget(*password);
    QString detail;
    if (const int code = context.written(DataFile::write(args.at(0), *password, document, &detail, sealing), detail))
        return code;
    context.err() << "Password changed\n";
    context.reportBackups(args.at(0), removeBackups);
    return CliExit::Success;
}
