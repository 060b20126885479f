#pragma once

#include "base/CodePage.h"
#include "base/ProtectedContainer.h"
#include "config/NameValueList.h"

#include <QString>
#include <QStringList>

#include <optional>

class ProgramPaths;

// Names of the settings, exactly as they stand in the settings file.
namespace SettingKey {
inline constexpr char Language[] = "language";
inline constexpr char SysTray[] = "systray";
inline constexpr char Hidden[] = "hidden";
inline constexpr char Associate[] = "assotiate";
inline constexpr char OpenLast[] = "openlast";
inline constexpr char AutoSave[] = "autosave";
inline constexpr char Backups[] = "backups";
inline constexpr char AutoBlocking[] = "autoblocking";
inline constexpr char BlockingTime[] = "blockingtime";
inline constexpr char LastFile[] = "lastfile";
// The occasions besides idling on which the program locks. The first two are
// on while the file does not name them (SettingsStore::isNotOff).
inline constexpr char LockOnScreenLock[] = "lockonscreenlock";
inline constexpr char LockBeforeSleep[] = "lockbeforesleep";
inline constexpr char LockWhenMinimised[] = "lockwhenminimised";
// The number of the code page of older files; absent while it is the language's own.
inline constexpr char CodePage[] = "codepage";
// The password generator's last choices (GeneratorSettings).
inline constexpr char GenLength[] = "genlength";
inline constexpr char GenUpper[] = "genupper";
inline constexpr char GenLower[] = "genlower";
inline constexpr char GenDigits[] = "gendigits";
inline constexpr char GenSymbols[] = "gensymbols";
inline constexpr char GenAvoidLookAlikes[] = "genlookalikes";
// The key derivation passes of new protected files, measured on this
// machine (DerivationCalibration); absent until the first such save.
inline constexpr char NewFilePasses[] = "kdfpasses";
// Kept by windows and commands of their own, not by the settings window, so
// its rebuild of the list carries them over.
inline constexpr const char* KeptOutsideSettingsWindow[] = {GenLength,  GenUpper,           GenLower,     GenDigits,
                                                            GenSymbols, GenAvoidLookAlikes, NewFilePasses};
// Whether New and Save as start from the protected file type; on while the
// file does not name it (SettingsStore::isNotOff).
inline constexpr char NewFilesProtected[] = "newprotected";
// Seconds until a value the program copied is taken off the clipboard; 0 never.
inline constexpr char ClipboardSeconds[] = "clipboardseconds";
// Days ahead within which an expiring record is named at open and unlock; 0 never.
inline constexpr char ExpiryReminderDays[] = "expirydays";
// The local list of breached passwords' hashes the health report looks in.
inline constexpr char BreachesFile[] = "breachesfile";
} // namespace SettingKey

inline constexpr int DefaultClipboardSeconds = 20;
inline constexpr int MaxClipboardSeconds = 999;
// The seconds a stored clipboardseconds value stands for: a whole number from
// 0 to MaxClipboardSeconds, else the default.
int clipboardSecondsFrom(const QString& storedValue);

inline constexpr int DefaultExpiryReminderDays = 30;
inline constexpr int MaxExpiryReminderDays = 365;
// The days a stored expirydays value stands for: a whole number from 0 to
// MaxExpiryReminderDays, else the default.
int expiryReminderDaysFrom(const QString& storedValue);

// The idle minutes offered before the automatic lock, in the order shown.
const QStringList& blockingTimeChoices();

// The idle minutes a stored blockingtime value stands for: a whole number of
// at least one minute, else none, and then nothing locks. A limit of zero
// would lock again the moment the user unlocked.
std::optional<int> lockMinutesFrom(const QString& storedValue);

// What the settings window shows, as plain values.
struct SettingsWindowState {
    QString language;
    int codePage = 1252; // the number of the code page of older files
    bool systray = false;
    bool hidden = false;
    bool associate = false;
    bool openLast = false;
    bool autoSave = false;
    bool backups = false;
    bool autoBlocking = false;
    QString blockingTime; // the selected minutes entry
    bool lockOnScreenLock = true;
    bool lockBeforeSleep = true;
    bool lockWhenMinimised = false;
    int clipboardSeconds = DefaultClipboardSeconds;
    int expiryReminderDays = DefaultExpiryReminderDays;
    QString breachesFile; // empty: no list
    bool newFilesProtected = true;
    QString currentFileName; // the open data file; empty when none is
};

// The settings list as it is rebuilt from the window: the language, the code
// page when it is not the language's own (DefaultCodePage), the seven flags,
// then the minutes while auto-lock is on, the lock occasions and the type of
// new files where they differ from their defaults, the clipboard seconds and
// the expiry reminder's days when they are not the default, the list of
// breached passwords when one is named, then the open file while "Open last file" is on. A value with a line break in
// it is left out (NameValueList). Auto-lock with minutes that lockMinutesFrom refuses is stored as off.
NameValueList StoreSettingsFromWindow(const SettingsWindowState& state);

// The program-wide settings list and the file it is kept in.
class SettingsStore {
public:
    // Starts from an empty list and reads the settings file when it exists. A
    // missing file is no error. A file that exists but cannot be read leaves
    // the list empty and gives false, so the caller may report it; such a
    // file is never overwritten (SaveSettingsFile), as it still holds the
    // user's settings.
    bool LoadSettings(const ProgramPaths& paths);

    QString GetSetting(const QString& name) const;
    // A non-empty value replaces or appends the line; an empty one deletes it.
    // A value with a line break in it is refused.
    void SetSetting(const QString& name, const QString& value);
    // A flag is on exactly when its value is "1".
    bool isOn(const QString& name) const;
    // A flag that is on by default: on unless its value is "0".
    bool isNotOff(const QString& name) const;
    // The code page the codepage setting names when it is one offered, else
    // the language's own.
    CodePage olderFilesCodePage() const;
    // The key derivation cost of new protected files, once measured: the
    // stored passes over the default memory; nullopt while none within the
    // limits is stored.
    std::optional<ProtectedContainer::DerivationCost> newFileCost() const;
    void setNewFileCost(const ProtectedContainer::DerivationCost& cost);

    // The list rebuilt from the window; the settings that other windows
    // keep (SettingKey::KeptOutsideSettingsWindow) stay as they were.
    void StoreSettingsFromWindow(const SettingsWindowState& state);

    // Replaces the settings file with the list, making its folder first when
    // it is missing. A failed write keeps the old file; nobody is told, the
    // result only says whether it worked. False without writing when the
    // file could not be read at LoadSettings.
    bool SaveSettingsFile() const;

    const NameValueList& list() const { return m_list; }

private:
    NameValueList m_list;
    QString m_settingsFile;
    bool m_fileUnreadable = false;
};
