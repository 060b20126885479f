#include "datafile/GeneratorSettings.h"

#include "config/SettingsStore.h"

using PasswordGenerator::CharacterGroup;

namespace GeneratorSettings {

namespace {

struct GroupKey {
    CharacterGroup group;
    const char* key;
};

constexpr GroupKey GroupKeys[] = {
    {CharacterGroup::Upper, SettingKey::GenUpper},
    {CharacterGroup::Lower, SettingKey::GenLower},
    {CharacterGroup::Digits, SettingKey::GenDigits},
    {CharacterGroup::Symbols, SettingKey::GenSymbols},
};

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

PasswordGenerator::Rules storedRules(const SettingsStore& settings, PasswordGenerator::Purpose purpose)
{
    PasswordGenerator::Rules rules;
    // A group is on until the user turns it off.
    for (const GroupKey& group : GroupKeys)
        rules.choose(group.group, settings.GetSetting(group.key).isEmpty() || settings.isOn(group.key));
    rules.avoidLookAlikes = settings.isOn(SettingKey::GenAvoidLookAlikes);
    // A file edited by hand may hold any length, or turn every group off.
    bool number = false;
    const int storedLength = settings.GetSetting(SettingKey::GenLength).toInt(&number);
    if (number && storedLength >= PasswordGenerator::MinLength && storedLength <= PasswordGenerator::MaxLength)
        rules.length = storedLength;
    if (const int fixed = PasswordGenerator::fixedLength(purpose))
        rules.length = fixed;
    if (!rules.usable())
        rules.groups = PasswordGenerator::Rules().groups;
    return rules;
}

void storeRules(SettingsStore& settings, const PasswordGenerator::Rules& rules, PasswordGenerator::Purpose purpose)
{
    for (const GroupKey& group : GroupKeys)
        settings.SetSetting(group.key, flag(rules.chooses(group.group)));
    settings.SetSetting(SettingKey::GenAvoidLookAlikes, flag(rules.avoidLookAlikes));
    if (!PasswordGenerator::fixedLength(purpose))
        settings.SetSetting(SettingKey::GenLength, QString::number(rules.length));
}

} // namespace GeneratorSettings
