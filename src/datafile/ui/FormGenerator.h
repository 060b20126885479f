#pragma once

#include "datafile/PasswordGenerator.h"
#include "platform/ui/TrackedDialog.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class CaptionTable;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class SettingsStore;

// Makes a random password to the user's rules and shows it, with its
// strength in bits, before Ok hands it over. Every change of a rule, and
// Regenerate, shows a new one. One character group always stays chosen: the
// box of the last one cannot be cleared. Instead of characters it makes
// passphrases, words of a word list, when it has one and the password may be
// that long; a protected file's password starts as a passphrase.
class TFormGenerator : public TrackedDialog {
    Q_OBJECT
public:
    explicit TFormGenerator(const CaptionTable& captions, QWidget* parent = nullptr);
    ~TFormGenerator() override;

    // A purpose that fixes the length shows it fixed.
    void setRules(const PasswordGenerator::Rules& rules, PasswordGenerator::Purpose purpose);
    PasswordGenerator::Rules rules() const;
    // The words passphrases are drawn from; none offers no passphrases.
    void setWordList(const QStringList& words);
    bool passphraseChosen() const;
    // The password shown when Ok closed the window, handed over once: the
    // window keeps no copy. The caller wipes it when done.
    QString takePassword();
    void ApplyGeneratorCaptions();

    void done(int result) override;

protected:
    void prepareForUse() override;

private:
    void buildControls();
    void layOutControls();
    void regenerate();
    void showStrength();
    void keepOneGroupChosen();
    void followKind();

    const CaptionTable& m_captions;
    QString m_accepted;
    QStringList m_words;
    bool m_passphraseFits = true;

    QRadioButton* m_radioCharacters = nullptr;
    QRadioButton* m_radioWords = nullptr;
    QLabel* m_labelWords = nullptr;
    QSpinBox* m_spinEditWords = nullptr;
    QLabel* m_labelSeparator = nullptr;
    QLineEdit* m_editSeparator = nullptr;

    QLabel* m_labelLength = nullptr;
    QSpinBox* m_spinEditLength = nullptr;
    std::array<QCheckBox*, PasswordGenerator::AllGroups.size()> m_checkBoxGroups{};
    QCheckBox* m_checkBoxLookAlikes = nullptr;
    QLabel* m_labelPreview = nullptr;
    QLineEdit* m_editPreview = nullptr;
    QLabel* m_labelStrength = nullptr;
    // Shown for a file's password, of either type, which the user must be able to give again.
    QLabel* m_labelDataFileNote = nullptr;
    QPushButton* m_buttonRegenerate = nullptr;
    QPushButton* m_buttonOk = nullptr;
    QPushButton* m_buttonCancel = nullptr;
};

// Shows the generator with the last choices from settings; Ok stores the
// choices and gives the password, Cancel gives none.
std::optional<QString> askGeneratedPassword(QWidget* parent, const CaptionTable& captions, SettingsStore& settings,
                                            PasswordGenerator::Purpose purpose, const QStringList& words);
