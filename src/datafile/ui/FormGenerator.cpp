#include "datafile/ui/FormGenerator.h"

#include "base/SecureWipe.h"
#include "config/CaptionTable.h"
#include "config/MnemonicGroup.h"
#include "config/ui/CreationWindowParts.h"
#include "datafile/GeneratorSettings.h"
#include "datafile/Passphrase.h"
#include "platform/ui/TextBoxWipe.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

using namespace CreationWindowParts;
using PasswordGenerator::CharacterGroup;

namespace {

struct GroupControl {
    CharacterGroup group;
    const char* objectName;
    const char* captionKey;
    const char* englishCaption;
};

// In the order of PasswordGenerator::AllGroups.
constexpr GroupControl GroupControls[] = {
    {CharacterGroup::Upper, "CheckBoxUpper", "GeneratorCheckBoxUpper", "Capital letters (A-Z)"},
    {CharacterGroup::Lower, "CheckBoxLower", "GeneratorCheckBoxLower", "Small letters (a-z)"},
    {CharacterGroup::Digits, "CheckBoxDigits", "GeneratorCheckBoxDigits", "Digits (0-9)"},
    {CharacterGroup::Symbols, "CheckBoxSymbols", "GeneratorCheckBoxSymbols", "Symbols (!#$%...)"},
};

} // namespace

TFormGenerator::TFormGenerator(const CaptionTable& captions, QWidget* parent)
    : TrackedDialog(parent)
    , m_captions(captions)
{
    setDialogFrame(this);
    buildControls();
    layOutControls();
    ApplyGeneratorCaptions();
    setRules(PasswordGenerator::Rules(), PasswordGenerator::Purpose::AnyField);
}

TFormGenerator::~TFormGenerator()
{
    SecureWipe::wipe(m_accepted);
}

void TFormGenerator::buildControls()
{
    m_radioCharacters = createNamed<QRadioButton>(QStringLiteral("RadioCharacters"), this);
    m_radioWords = createNamed<QRadioButton>(QStringLiteral("RadioWords"), this);
    m_radioCharacters->setChecked(true);
    m_labelWords = createLabel(QStringLiteral("LabelWords"), this);
    m_spinEditWords = createNamed<QSpinBox>(QStringLiteral("SpinEditWords"), this);
    m_spinEditWords->setRange(Passphrase::MinWords, Passphrase::MaxWords);
    m_spinEditWords->setValue(Passphrase::DefaultWords);
    m_labelWords->setBuddy(m_spinEditWords);
    m_labelSeparator = createLabel(QStringLiteral("LabelSeparator"), this);
    m_editSeparator = createEdit(QStringLiteral("EditSeparator"), this);
    m_editSeparator->setText(Passphrase::DefaultSeparator);
    m_editSeparator->setMaxLength(3);
    m_editSeparator->setMaximumWidth(m_editSeparator->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMM")));
    m_labelSeparator->setBuddy(m_editSeparator);
    m_labelLength = createLabel(QStringLiteral("LabelLength"), this);
    m_spinEditLength = createNamed<QSpinBox>(QStringLiteral("SpinEditLength"), this);
    m_labelLength->setBuddy(m_spinEditLength);
    for (const GroupControl& control : GroupControls)
        m_checkBoxGroups[std::size_t(control.group)] = createNamed<QCheckBox>(QLatin1String(control.objectName), this);
    m_checkBoxLookAlikes = createNamed<QCheckBox>(QStringLiteral("CheckBoxLookAlikes"), this);

    m_labelPreview = createLabel(QStringLiteral("LabelPreview"), this);
    m_editPreview = createEdit(QStringLiteral("EditPreview"), this);
    m_editPreview->setReadOnly(true);
    m_editPreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_editPreview->setMinimumWidth(m_editPreview->fontMetrics().horizontalAdvance(QString(34, QLatin1Char('M'))));
    m_labelPreview->setBuddy(m_editPreview);
    m_labelStrength = createLabel(QStringLiteral("LabelStrength"), this);
    m_labelDataFileNote = createLabel(QStringLiteral("LabelDataFileNote"), this);
    m_labelDataFileNote->setWordWrap(true);
    m_buttonRegenerate = createButton(QStringLiteral("ButtonRegenerate"), this);
    m_buttonOk = createOkButton(this);
    m_buttonCancel = createCancelButton(this);

    connect(m_spinEditLength, &QSpinBox::valueChanged, this, &TFormGenerator::regenerate);
    for (QCheckBox* box : m_checkBoxGroups) {
        connect(box, &QCheckBox::toggled, this, &TFormGenerator::keepOneGroupChosen);
        connect(box, &QCheckBox::toggled, this, &TFormGenerator::regenerate);
    }
    connect(m_checkBoxLookAlikes, &QCheckBox::toggled, this, &TFormGenerator::regenerate);
    connect(m_radioWords, &QRadioButton::toggled, this, &TFormGenerator::followKind);
    connect(m_spinEditWords, &QSpinBox::valueChanged, this, &TFormGenerator::regenerate);
    connect(m_editSeparator, &QLineEdit::textChanged, this, &TFormGenerator::regenerate);
    connect(m_buttonRegenerate, &QPushButton::clicked, this, &TFormGenerator::regenerate);
    connect(m_buttonOk, &QPushButton::clicked, this, &QDialog::accept);
}

void TFormGenerator::layOutControls()
{
    auto* kind = new QHBoxLayout;
    kind->addWidget(m_radioCharacters);
    kind->addWidget(m_radioWords);
    kind->addStretch();

    auto* length = new QHBoxLayout;
    length->addWidget(m_labelLength);
    length->addWidget(m_spinEditLength);
    length->addStretch();

    auto* words = new QHBoxLayout;
    words->addWidget(m_labelWords);
    words->addWidget(m_spinEditWords);
    words->addSpacing(12);
    words->addWidget(m_labelSeparator);
    words->addWidget(m_editSeparator);
    words->addStretch();

    auto* preview = new QGridLayout;
    preview->addWidget(m_labelPreview, 0, 0);
    preview->addWidget(m_editPreview, 0, 1);
    preview->addWidget(m_buttonRegenerate, 0, 2);
    preview->addWidget(m_labelStrength, 1, 1);

    auto* window = new QVBoxLayout(this);
    window->addLayout(kind);
    window->addLayout(length);
    for (QCheckBox* box : m_checkBoxGroups)
        window->addWidget(box);
    window->addWidget(m_checkBoxLookAlikes);
    window->addLayout(words);
    window->addSpacing(8);
    window->addLayout(preview);
    window->addWidget(m_labelDataFileNote);
    window->addLayout(buttonRow(m_buttonOk, m_buttonCancel));
    window->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormGenerator::ApplyGeneratorCaptions()
{
    setWindowTitle(m_captions.GetCaption(QStringLiteral("GeneratorCaption"), QStringLiteral("Generate Password")));
    MnemonicGroup mnemonics;
    const auto marked = [&](const char* key, const char* englishDefault) {
        return mnemonics.mark(m_captions.GetCaption(QLatin1String(key), QLatin1String(englishDefault)));
    };
    m_radioCharacters->setText(marked("GeneratorRadioCharacters", "Characters"));
    m_radioWords->setText(marked("GeneratorRadioWords", "Passphrase"));
    m_labelWords->setText(marked("GeneratorLabelWords", "Words") + QLatin1Char(':'));
    m_labelSeparator->setText(marked("GeneratorLabelSeparator", "Separator") + QLatin1Char(':'));
    m_labelLength->setText(marked("GeneratorLabelLength", "Length") + QLatin1Char(':'));
    for (const GroupControl& control : GroupControls)
        m_checkBoxGroups[std::size_t(control.group)]->setText(marked(control.captionKey, control.englishCaption));
    m_checkBoxLookAlikes->setText(
        marked("GeneratorCheckBoxLookAlikes", "Avoid look-alike characters (0 O o 1 l I | ' ` \")"));
    m_labelPreview->setText(marked("GeneratorLabelPassword", "Password") + QLatin1Char(':'));
    m_buttonRegenerate->setText(marked("GeneratorButtonRegenerate", "Regenerate"));
    m_labelDataFileNote->setText(m_captions.GetCaption(
        QStringLiteral("GeneratorLabelDataFileNote"),
        QStringLiteral("Learn this password or write it down before you click Ok: nothing else opens the file.")));
    applyButtonCaptions(m_captions, m_buttonOk, m_buttonCancel);
    showStrength();
}

void TFormGenerator::setRules(const PasswordGenerator::Rules& rules, PasswordGenerator::Purpose purpose)
{
    // Quiet: the next showing makes the password, once.
    const QSignalBlocker quietLength(m_spinEditLength);
    const int fixed = PasswordGenerator::fixedLength(purpose);
    m_spinEditLength->setRange(fixed ? fixed : PasswordGenerator::MinLength,
                               fixed ? fixed : PasswordGenerator::MaxLength);
    m_spinEditLength->setEnabled(!fixed);
    m_labelDataFileNote->setVisible(PasswordGenerator::opensAFile(purpose));
    m_spinEditLength->setValue(rules.length);
    for (CharacterGroup group : PasswordGenerator::AllGroups) {
        const QSignalBlocker quiet(m_checkBoxGroups[std::size_t(group)]);
        m_checkBoxGroups[std::size_t(group)]->setChecked(rules.chooses(group));
    }
    {
        const QSignalBlocker quiet(m_checkBoxLookAlikes);
        m_checkBoxLookAlikes->setChecked(rules.avoidLookAlikes);
    }
    keepOneGroupChosen();
    // A .zv file's 16 characters hold no passphrase.
    m_passphraseFits = !fixed;
    {
        const QSignalBlocker quiet(m_radioWords);
        (purpose == PasswordGenerator::Purpose::ProtectedFilePassword && !m_words.isEmpty() ? m_radioWords
                                                                                            : m_radioCharacters)
            ->setChecked(true);
    }
    followKind();
}

void TFormGenerator::setWordList(const QStringList& words)
{
    m_words = words;
    followKind();
}

bool TFormGenerator::passphraseChosen() const
{
    return m_radioWords->isChecked() && m_radioWords->isEnabled();
}

// The controls of the kind not chosen stay in place, disabled.
void TFormGenerator::followKind()
{
    m_radioWords->setEnabled(m_passphraseFits && !m_words.isEmpty());
    if (!m_radioWords->isEnabled())
        m_radioCharacters->setChecked(true);
    const bool words = passphraseChosen();
    m_labelLength->setEnabled(!words);
    m_spinEditLength->setEnabled(!words && m_passphraseFits);
    for (QCheckBox* box : m_checkBoxGroups)
        box->setEnabled(!words);
    if (!words)
        keepOneGroupChosen();
    m_checkBoxLookAlikes->setEnabled(!words);
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_labelWords, m_spinEditWords, m_labelSeparator, m_editSeparator})
        control->setEnabled(words);
    if (isVisible())
        regenerate();
    else
        showStrength();
}

PasswordGenerator::Rules TFormGenerator::rules() const
{
    PasswordGenerator::Rules rules;
    rules.length = m_spinEditLength->value();
    for (CharacterGroup group : PasswordGenerator::AllGroups)
        rules.choose(group, m_checkBoxGroups[std::size_t(group)]->isChecked());
    rules.avoidLookAlikes = m_checkBoxLookAlikes->isChecked();
    return rules;
}

// The one box still ticked is disabled until another is ticked.
void TFormGenerator::keepOneGroupChosen()
{
    const auto ticked = std::count_if(m_checkBoxGroups.cbegin(), m_checkBoxGroups.cend(),
                                      [](const QCheckBox* box) { return box->isChecked(); });
    for (QCheckBox* box : m_checkBoxGroups)
        box->setEnabled(ticked > 1 || !box->isChecked());
}

void TFormGenerator::regenerate()
{
    TextBoxWipe::wipe(*m_editPreview);
    QString password = passphraseChosen()
                           ? Passphrase::generate(m_words, m_spinEditWords->value(), m_editSeparator->text())
                           : PasswordGenerator::generate(rules());
    m_editPreview->setText(password);
    // A passphrase may be wider than the box: its start shows.
    m_editPreview->setCursorPosition(0);
    SecureWipe::wipe(password);
    showStrength();
}

// Rounded down, so that the strength is never overstated.
void TFormGenerator::showStrength()
{
    m_labelStrength->setText(
        QStringLiteral("%1 %2")
            .arg(int(std::floor(passphraseChosen() ? Passphrase::entropyBits(m_words.size(), m_spinEditWords->value())
                                                   : PasswordGenerator::entropyBits(rules()))))
            .arg(m_captions.GetCaption(QStringLiteral("GeneratorTextBits"), QStringLiteral("bits"))));
}

void TFormGenerator::prepareForUse()
{
    regenerate();
    m_buttonOk->setFocus(Qt::OtherFocusReason);
    centreOverParent(this);
}

void TFormGenerator::done(int result)
{
    SecureWipe::wipe(m_accepted);
    if (result == QDialog::Accepted)
        m_accepted = SecureWipe::deepCopy(m_editPreview->text());
    TextBoxWipe::wipe(*m_editPreview);
    TrackedDialog::done(result);
}

QString TFormGenerator::takePassword()
{
    return std::exchange(m_accepted, QString());
}

std::optional<QString> askGeneratedPassword(QWidget* parent, const CaptionTable& captions, SettingsStore& settings,
                                            PasswordGenerator::Purpose purpose, const QStringList& words)
{
    TFormGenerator window(captions, parent);
    window.setWordList(words);
    window.setRules(GeneratorSettings::storedRules(settings, purpose), purpose);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    GeneratorSettings::storeRules(settings, window.rules(), purpose);
    return window.takePassword();
}
