// generate: random passwords from the system's randomness.
#include "base/SecureWipe.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "datafile/PasswordGenerator.h"

int CliCommands::generate(CliContext& context, QStringList args)
{
    if (args.contains(QStringLiteral("--words")))
        return generatePassphrases(context, args);
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
            return context.usage(QStringLiteral("generate takes --length %1 to %2, --count 1 to %3, --no-symbols and "
                                                "--no-lookalikes")
                                     .arg(PasswordGenerator::MinLength)
                                     .arg(PasswordGenerator::MaxLength)
                                     .arg(MaxCount));
    }
    for (int i = 0; i < count; ++i) {
        QString password = PasswordGenerator::generate(rules);
        context.out() << password << '\n';
        SecureWipe::wipe(password);
    }
    return CliExit::Success;
}
