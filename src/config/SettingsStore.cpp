#include "config/SettingsStore.h"

#include "base/StagedFile.h"
#include "config/Languages.h"
#include "config/ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

const QStringList& blockingTimeChoices()
{
    static const QStringList minutes = {"1", "2", "5", "10", "20"};
    return minutes;
}

std::optional<int> lockMinutesFrom(const QString& storedValue)
{
    bool valid = false;
    const int minutes = storedValue.toInt(&valid);
    if (!valid || minutes < 1)
        return std::nullopt;
    return minutes;
}

int clipboardSecondsFrom(const QString& storedValue)
{
    bool valid = false;
    const int seconds = storedValue.toInt(&valid);
    return valid && seconds >= 0 && seconds <= MaxClipboardSeconds ? seconds : DefaultClipboardSeconds;
}

int expiryReminderDaysFrom(const QString& storedValue)
{
    bool valid = false;
    const int days = storedValue.toInt(&valid);
    return valid && days >= 0 && days <= MaxExpiryReminderDays ? days : DefaultExpiryReminderDays;
}

NameValueList StoreSettingsFromWindow(const SettingsWindowState& state)
{
    NameValueList list;
    list.append(SettingKey::Language, state.language);
    // Left out while it is the language's own, so that it follows the language.
    if (state.codePage != Languages::DefaultCodePage(state.language).number())
        list.append(SettingKey::CodePage, QString::number(state.codePage));
    list.append(SettingKey::SysTray, flag(state.systray));
    // Hidden without a tray icon would leave no way back to the window.
    list.append(SettingKey::Hidden, flag(state.hidden && state.systray));
    list.append(SettingKey::Associate, flag(state.associate));
    list.append(SettingKey::OpenLast, flag(state.openLast));
    list.append(SettingKey::AutoSave, flag(state.autoSave));
    list.append(SettingKey::Backups, flag(state.backups));
    // Auto-lock is stored on only with a time the lock can use.
    const std::optional<int> lockMinutes = state.autoBlocking ? lockMinutesFrom(state.blockingTime) : std::nullopt;
    list.append(SettingKey::AutoBlocking, flag(lockMinutes.has_value()));
    if (lockMinutes)
        list.append(SettingKey::BlockingTime, QString::number(*lockMinutes));
    // Left out while they are the defaults, so that a file written before
    // they existed reads the same as one written now.
    if (!state.lockOnScreenLock)
        list.append(SettingKey::LockOnScreenLock, flag(false));
    if (!state.lockBeforeSleep)
        list.append(SettingKey::LockBeforeSleep, flag(false));
    if (state.lockWhenMinimised)
        list.append(SettingKey::LockWhenMinimised, flag(true));
    if (!state.newFilesProtected)
        list.append(SettingKey::NewFilesProtected, flag(false));
    if (state.clipboardSeconds != DefaultClipboardSeconds)
        list.append(SettingKey::ClipboardSeconds, QString::number(state.clipboardSeconds));
    if (state.expiryReminderDays != DefaultExpiryReminderDays)
        list.append(SettingKey::ExpiryReminderDays, QString::number(state.expiryReminderDays));
    if (!state.breachesFile.isEmpty())
        list.append(SettingKey::BreachesFile, state.breachesFile);
    // Only what is to be reopened is recorded.
    if (state.openLast && !state.currentFileName.isEmpty())
        list.append(SettingKey::LastFile, state.currentFileName);
    return list;
}

bool SettingsStore::LoadSettings(const ProgramPaths& paths)
{
    m_settingsFile = paths.settingsFile();
    m_list.clear();
    m_fileUnreadable = false;
    QFile file(m_settingsFile);
    if (!file.exists())
        return true;
    // Until it is read, the file holds settings we do not know: it must not
    // be replaced by the defaults this run starts from.
    m_fileUnreadable = true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    m_list = NameValueList::fromBytes(bytes);
    m_fileUnreadable = false;
    return true;
}

QString SettingsStore::GetSetting(const QString& name) const
{
    return m_list.value(name);
}

void SettingsStore::SetSetting(const QString& name, const QString& value)
{
    m_list.set(name, value);
}

bool SettingsStore::isOn(const QString& name) const
{
    return GetSetting(name) == QLatin1String("1");
}

bool SettingsStore::isNotOff(const QString& name) const
{
    return GetSetting(name) != QLatin1String("0");
}

CodePage SettingsStore::olderFilesCodePage() const
{
    // A value that is no number reads as 0, which no code page has.
    const std::optional<CodePage> chosen = CodePage::fromNumber(GetSetting(SettingKey::CodePage).toInt());
    return chosen ? *chosen : Languages::DefaultCodePage(GetSetting(SettingKey::Language));
}

std::optional<ProtectedContainer::DerivationCost> SettingsStore::newFileCost() const
{
    ProtectedContainer::DerivationCost cost;
    bool number = false;
    cost.passes = GetSetting(SettingKey::NewFilePasses).toUInt(&number);
    if (!number || !cost.withinLimits())
        return std::nullopt;
    return cost;
}

void SettingsStore::setNewFileCost(const ProtectedContainer::DerivationCost& cost)
{
    SetSetting(SettingKey::NewFilePasses, QString::number(cost.passes));
}

void SettingsStore::StoreSettingsFromWindow(const SettingsWindowState& state)
{
    NameValueList rebuilt = ::StoreSettingsFromWindow(state);
    for (const char* key : SettingKey::KeptOutsideSettingsWindow) {
        if (m_list.contains(key))
            rebuilt.append(key, m_list.value(key));
    }
    m_list = std::move(rebuilt);
}

bool SettingsStore::SaveSettingsFile() const
{
    if (m_fileUnreadable)
        return false;
    // The user's config folder may not exist yet; beside the program it does.
    return !m_settingsFile.isEmpty() && QDir().mkpath(QFileInfo(m_settingsFile).absolutePath())
           && writeFileAtomically(m_settingsFile, m_list.toBytes());
}
