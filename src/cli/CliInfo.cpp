// info: a data file's format and key derivation, read from its header without a password.
#include "base/ProtectedContainer.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/DocumentJson.h"

#include <QFile>
#include <QFileInfo>

int CliCommands::info(CliContext& context, QStringList args)
{
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    if (args.size() != 1)
        return context.usage(QStringLiteral("info takes one FILE"));
    QFile file(args.at(0));
    if (!QFileInfo(args.at(0)).isFile() || !file.open(QIODevice::ReadOnly))
        return context.fail(CliExit::CannotRead, QStringLiteral("Can't read %1").arg(args.at(0)));
    const QByteArray start = file.read(ProtectedContainer::HeaderSize + ProtectedContainer::TagSize);
    ProtectedContainer::Header header;
    switch (ProtectedContainer::readHeader(start, header)) {
    case ProtectedContainer::Status::NotProtected:
        if (!start.startsWith(DataFile::Magic))
            return context.fail(CliExit::IncorrectFormat, CliContext::MessageIncorrectFormat);
        if (json)
            DocumentJson::print(context, QJsonObject{{QStringLiteral("format"), QStringLiteral("zv")}});
        else
            context.out() << "format: .zv (RC4 under the password itself, no key derivation, no integrity check)\n";
        return CliExit::Success;
    case ProtectedContainer::Status::Ok:
        if (json) {
            DocumentJson::print(context, QJsonObject{{QStringLiteral("format"), QStringLiteral("zvx")},
                                                     {QStringLiteral("version"), int(header.version)},
                                                     {QStringLiteral("kdf"), QStringLiteral("Argon2id 1.3")},
                                                     {QStringLiteral("passes"), qint64(header.cost.passes)},
                                                     {QStringLiteral("memoryKiB"), qint64(header.cost.memoryKiB)},
                                                     {QStringLiteral("cipher"), QStringLiteral("XChaCha20-Poly1305")}});
            return CliExit::Success;
        }
        context.out() << "format: .zvx (protected)\nversion: " << int(header.version)
                      << "\nkey derivation: Argon2id 1.3, " << header.cost.passes << " passes, "
                      << header.cost.memoryKiB << " KiB\ncipher: XChaCha20-Poly1305\n";
        return CliExit::Success;
    case ProtectedContainer::Status::UnknownVersion:
    case ProtectedContainer::Status::UnknownDerivation:
        return context.fail(CliExit::IncorrectFormat, CliContext::MessageNewerFormat);
    default: return context.fail(CliExit::IncorrectFormat, CliContext::MessageIncorrectFormat);
    }
}
