#pragma once

#include "config/SettingsStore.h"
#include "platform/ui/TrackedDialog.h"

#include <QString>

class CaptionTable;
class ProgramPaths;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The window in which the user edits the settings. Its controls are the
// working copy of the settings list: the owner fills them from the list when
// the window is created and after Cancel, and rebuilds the list from them on
// Ok and at shutdown. Other parts read some check boxes directly, so the
// controls must always mirror the list while the window is closed.
class TFormSettings : public TrackedDialog {
    Q_OBJECT
public:
    // Sets the texts and the language list; the owner then calls
    // LoadSettingsIntoWindow, which also fills the minutes list.
    TFormSettings(const CaptionTable& captions, const ProgramPaths& paths, QWidget* parent = nullptr);

    // The texts of the current caption table, and the language list read
    // again from the languages folder, keeping the selected position.
    void ApplySettingsCaptions();
    void LoadSettingsIntoWindow(const SettingsStore& settings);
    SettingsWindowState windowState(const QString& currentFileName) const;

    QString selectedLanguage() const;
    void selectLanguageIndex(int index);
    // The entry named exactly so, else the first.
    void selectLanguage(const QString& language);
    // Shows the code page of older files, as after a language change, when
    // the language's own one may be another. Until the user picks one in the
    // window, the box follows the language chosen there.
    void selectCodePage(const CodePage& codePage);
    int selectedLanguageIndex() const;
    bool associationChecked() const;
    bool hiddenChecked() const;
    // The key derivation cost of new protected files, as measured; none yet
    // before the first such save.
    void showNewFileCost(const std::optional<ProtectedContainer::DerivationCost>& cost);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void layOutControls();
    void chainTabOrder();
    void refillLanguageList();
    void showBlockingTime(int minutes);
    void showNewFileCostText();
    void CheckBoxSysTrayClick();
    void CheckBoxAutoBlockingClick();
    void ComboBoxLangActivated();

    const CaptionTable& m_captions;
    const ProgramPaths& m_paths;

    QLabel* m_labelLanguage = nullptr;
    QComboBox* m_comboBoxLang = nullptr;
    QLabel* m_labelCodePage = nullptr;
    QComboBox* m_comboBoxCodePage = nullptr;
    // The user picked a code page since it was last set from the settings.
    bool m_codePagePicked = false;
    QCheckBox* m_checkBoxSysTray = nullptr;
    QLabel* m_labelSysTray = nullptr;
    QCheckBox* m_checkBoxHidden = nullptr;
    QLabel* m_labelHidden = nullptr;
    QCheckBox* m_checkBoxExtAssociations = nullptr;
    QLabel* m_labelExtAssociations = nullptr;
    QCheckBox* m_checkBoxOpenLast = nullptr;
    QLabel* m_labelOpenLast = nullptr;
    QCheckBox* m_checkBoxAutoSave = nullptr;
    QLabel* m_labelAutoSave = nullptr;
    QCheckBox* m_checkBoxBackups = nullptr;
    QLabel* m_labelBackups = nullptr;
    QCheckBox* m_checkBoxAutoBlocking = nullptr;
    QLabel* m_labelAutoBlocking = nullptr;
    QLabel* m_labelBlockingTime = nullptr;
    QComboBox* m_comboBoxMinutes = nullptr;
    QLabel* m_labelMinutes = nullptr;
    QLabel* m_labelBlockingNote = nullptr;
    QCheckBox* m_checkBoxLockOnScreenLock = nullptr;
    QLabel* m_labelLockOnScreenLock = nullptr;
    QCheckBox* m_checkBoxLockBeforeSleep = nullptr;
    QLabel* m_labelLockBeforeSleep = nullptr;
    QCheckBox* m_checkBoxLockWhenMinimised = nullptr;
    QLabel* m_labelLockWhenMinimised = nullptr;
    QCheckBox* m_checkBoxNewProtected = nullptr;
    QLabel* m_labelNewProtected = nullptr;
    QLabel* m_labelNewFileCost = nullptr;
    std::optional<ProtectedContainer::DerivationCost> m_newFileCost;
    QLabel* m_labelClipboardSeconds = nullptr;
    QSpinBox* m_spinBoxClipboardSeconds = nullptr;
    QLabel* m_labelExpiryDays = nullptr;
    QSpinBox* m_spinBoxExpiryDays = nullptr;
    QLabel* m_labelBreachesFile = nullptr;
    QLineEdit* m_editBreachesFile = nullptr;
    QPushButton* m_buttonOk = nullptr;
    QPushButton* m_buttonCancel = nullptr;
};
