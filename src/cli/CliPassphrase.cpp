// Passphrases from the shipped word list: generate --words.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include "base/SecureWipe.h"
#include "datafile/Passphrase.h"

#include <cmath>

int CliCommands::generatePassphrases(CliContext& context, QStringList args)
{
    constexpr int MaxCount = 10000;
    int words = Passphrase::DefaultWords;
    int count = 1;
    QString separator = Passphrase::DefaultSeparator;
    // Each option with its value; anything else is a mistake.
    for (qsizetype i = 0; i < args.size(); i += 2) {
        bool number = false;
        const int value = args.value(i + 1).toInt(&number);
        if (args.at(i) == QLatin1String("--words") && number && value >= Passphrase::MinWords
            && value <= Passphrase::MaxWords)
            words = value;
        else if (args.at(i) == QLatin1String("--count") && number && value >= 1 && value <= MaxCount)
            count = value;
        else if (args.at(i) == QLatin1String("--separator") && i + 1 < args.size())
            separator = args.at(i + 1);
        else
            return context.usage(QStringLiteral("generate takes --words %1 to %2, --separator S and --count 1 to %3")
                                     .arg(Passphrase::MinWords)
                                     .arg(Passphrase::MaxWords)
                                     .arg(MaxCount));
    }
    const QString listFile = context.wordListFile();
    const QStringList list = Passphrase::readWordList(listFile);
    if (list.isEmpty())
        return context.fail(CliExit::CannotRead, QStringLiteral("Can't read the word list %1").arg(listFile));
    for (int i = 0; i < count; ++i) {
        QString passphrase = Passphrase::generate(list, words, separator);
        context.out() << passphrase << '\n';
        SecureWipe::wipe(passphrase);
    }
    // Beside the passphrases, not among them, so scripts read them alone.
    const int bits = int(std::floor(Passphrase::entropyBits(list.size(), words)));
    context.err() << (count == 1 ? QStringLiteral("%1 bits") : QStringLiteral("%1 bits each")).arg(bits) << '\n';
    return CliExit::Success;
}
