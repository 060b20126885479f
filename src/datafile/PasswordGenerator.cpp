#include "datafile/PasswordGenerator.h"

#include "datafile/DataFile.h"

#include <QList>
#include <QRandomGenerator>

#include <algorithm>
#include <bit>
#include <cmath>

namespace PasswordGenerator {

namespace {

const QString LookAlikes = QStringLiteral("0Oo1lI|'`\"");

QList<QString> chosenGroups(const Rules& rules)
{
    QList<QString> groups;
    for (CharacterGroup group : AllGroups) {
        if (rules.chooses(group))
            groups.append(groupCharacters(group, rules.avoidLookAlikes));
    }
    return groups;
}

bool holdsEveryGroup(const QString& password, const QList<QString>& groups)
{
    return std::all_of(groups.cbegin(), groups.cend(), [&](const QString& group) {
        return std::any_of(password.cbegin(), password.cend(), [&](QChar c) { return group.contains(c); });
    });
}

} // namespace

// The lowest 2^32 mod bound values of a draw are drawn again, so that the
// rest fall evenly on every remainder; a plain remainder, or Qt's
// bounded(), would favour some.
quint32 uniformBelow(quint32 bound)
{
    const quint32 uneven = (0u - bound) % bound;
    quint32 draw = 0;
    do
        draw = QRandomGenerator::system()->generate();
    while (draw < uneven);
    return draw % bound;
}

bool Rules::usable() const
{
    return length >= MinLength && length <= MaxLength
           && std::find(groups.cbegin(), groups.cend(), true) != groups.cend();
}

int fixedLength(Purpose purpose)
{
    return purpose == Purpose::DataFilePassword ? DataFile::MaxPasswordLength : 0;
}

bool opensAFile(Purpose purpose)
{
    return purpose != Purpose::AnyField;
}

QString groupCharacters(CharacterGroup group, bool avoidLookAlikes)
{
    QString characters;
    for (char16_t c = u'!'; c <= u'~'; ++c) {
        const QChar character(c);
        const bool member = group == CharacterGroup::Upper    ? character.isUpper()
                            : group == CharacterGroup::Lower  ? character.isLower()
                            : group == CharacterGroup::Digits ? character.isDigit()
                                                              : !character.isLetterOrNumber();
        if (member && !(avoidLookAlikes && LookAlikes.contains(character)))
            characters.append(character);
    }
    return characters;
}

// Whole passwords are drawn from all chosen characters until one holds every
// chosen group: each such password is then equally likely. Placing one
// character of each group first would favour passwords with few characters
// of the small groups. Even at the shortest length about one draw in sixteen
// is kept. Draws that are not kept are overwritten by the next.
QString generate(const Rules& rules)
{
    if (!rules.usable())
        return {};
    const QList<QString> groups = chosenGroups(rules);
    const QString alphabet = groups.join(QString());
    QString password(rules.length, Qt::Uninitialized);
    do {
        for (QChar& character : password)
            character = alphabet.at(uniformBelow(quint32(alphabet.size())));
    } while (!holdsEveryGroup(password, groups));
    return password;
}

// Of the N^n passwords of n characters from N, those that hold every group,
// counted by inclusion and exclusion over the groups left out (the groups
// share no character); as a share of N^n, which a double holds at any length.
double entropyBits(const Rules& rules)
{
    if (!rules.usable())
        return 0;
    const QList<QString> groups = chosenGroups(rules);
    double all = 0;
    for (const QString& group : groups)
        all += double(group.size());
    double share = 0;
    for (unsigned leftOut = 0; leftOut < (1u << groups.size()); ++leftOut) {
        double missing = 0;
        for (qsizetype i = 0; i < groups.size(); ++i) {
            if (leftOut & (1u << i))
                missing += double(groups.at(i).size());
        }
        const double term = std::pow(1.0 - missing / all, rules.length);
        share += std::popcount(leftOut) % 2 ? -term : term;
    }
    return rules.length * std::log2(all) + std::log2(share);
}

} // namespace PasswordGenerator
