#include "config/ui/FormSettings.h"

#include "config/CaptionTable.h"
#include "config/Languages.h"
#include "config/ProgramPaths.h"
#include "config/ui/CreationWindowParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

using namespace CreationWindowParts;

namespace {

constexpr int LanguageListWidth = 217;

// The text beside a check box, which has none of its own. Releasing any mouse
// button over it works the box as a click would and gives the box the focus.
// A disabled label gets no mouse events, so it does nothing.
class CheckBoxLabel : public QLabel {
public:
    CheckBoxLabel(const QString& objectName, QCheckBox* box, QWidget* parent)
        : QLabel(parent)
        , m_box(box)
    {
        setObjectName(objectName);
        setTextFormat(Qt::PlainText);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (!rect().contains(event->position().toPoint())) {
            QLabel::mouseReleaseEvent(event);
            return;
        }
        m_box->click();
        m_box->setFocus(Qt::MouseFocusReason);
    }

private:
    QCheckBox* m_box;
};

QFrame* createSeparator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("PanelLine"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QString caption(const CaptionTable& captions, const char* key, const char* englishDefault)
{
    return captions.GetCaption(QLatin1String(key), QLatin1String(englishDefault));
}

} // namespace

TFormSettings::TFormSettings(const CaptionTable& captions, const ProgramPaths& paths, QWidget* parent)
    : TrackedDialog(parent)
    , m_captions(captions)
    , m_paths(paths)
{
    setDialogFrame(this);
    createControls();
    layOutControls();
    chainTabOrder();
    ApplySettingsCaptions();
}

void TFormSettings::createControls()
{
    m_labelLanguage = createLabel(QStringLiteral("LabelLanguage"), this);
    m_comboBoxLang = createNamed<QComboBox>(QStringLiteral("ComboBoxLang"), this);
    m_comboBoxLang->setMinimumWidth(LanguageListWidth);
    m_labelCodePage = createLabel(QStringLiteral("LabelCodePage"), this);
    m_comboBoxCodePage = createNamed<QComboBox>(QStringLiteral("ComboBoxCodePage"), this);
    for (int number : CodePage::offered())
        m_comboBoxCodePage->addItem(CodePage::fromNumber(number)->name(), number);

    const auto checkRow = [this](QCheckBox*& box, QLabel*& label, const char* name) {
        box = createNamed<QCheckBox>(QStringLiteral("CheckBox") + QLatin1String(name), this);
        label = new CheckBoxLabel(QStringLiteral("Label") + QLatin1String(name), box, this);
    };
    checkRow(m_checkBoxSysTray, m_labelSysTray, "SysTray");
    checkRow(m_checkBoxHidden, m_labelHidden, "Hidden");
    checkRow(m_checkBoxExtAssociations, m_labelExtAssociations, "ExtAssociations");
    checkRow(m_checkBoxOpenLast, m_labelOpenLast, "OpenLast");
    checkRow(m_checkBoxAutoSave, m_labelAutoSave, "AutoSave");
    checkRow(m_checkBoxBackups, m_labelBackups, "Backups");
    checkRow(m_checkBoxNewProtected, m_labelNewProtected, "NewProtected");
    checkRow(m_checkBoxAutoBlocking, m_labelAutoBlocking, "AutoBlocking");

    m_labelNewFileCost = createLabel(QStringLiteral("LabelNewFileCost"), this);
    m_labelBlockingTime = createLabel(QStringLiteral("LabelBlockingTime"), this);
    m_comboBoxMinutes = createNamed<QComboBox>(QStringLiteral("ComboBoxMinutes"), this);
    m_labelMinutes = createLabel(QStringLiteral("LabelMinutes"), this);
    m_labelBlockingNote = createLabel(QStringLiteral("LabelBlockingNote"), this);
    checkRow(m_checkBoxLockOnScreenLock, m_labelLockOnScreenLock, "LockOnScreenLock");
    checkRow(m_checkBoxLockBeforeSleep, m_labelLockBeforeSleep, "LockBeforeSleep");
    checkRow(m_checkBoxLockWhenMinimised, m_labelLockWhenMinimised, "LockWhenMinimised");
    m_labelClipboardSeconds = createLabel(QStringLiteral("LabelClipboardSeconds"), this);
    m_spinBoxClipboardSeconds = createNamed<QSpinBox>(QStringLiteral("SpinBoxClipboardSeconds"), this);
    m_spinBoxClipboardSeconds->setRange(0, MaxClipboardSeconds);
    m_labelClipboardSeconds->setBuddy(m_spinBoxClipboardSeconds);
    m_labelExpiryDays = createLabel(QStringLiteral("LabelExpiryDays"), this);
    m_spinBoxExpiryDays = createNamed<QSpinBox>(QStringLiteral("SpinBoxExpiryDays"), this);
    m_spinBoxExpiryDays->setRange(0, MaxExpiryReminderDays);
    m_labelExpiryDays->setBuddy(m_spinBoxExpiryDays);
    m_labelBreachesFile = createLabel(QStringLiteral("LabelBreachesFile"), this);
    m_editBreachesFile = createEdit(QStringLiteral("EditBreachesFile"), this);
    m_labelBreachesFile->setBuddy(m_editBreachesFile);

    m_buttonOk = createOkButton(this);
    m_buttonCancel = createCancelButton(this);
    connect(m_buttonOk, &QPushButton::clicked, this, &QDialog::accept);

    // Every change of the two boxes, by the user or by loading the settings,
    // keeps the controls that depend on them in step.
    connect(m_checkBoxSysTray, &QCheckBox::toggled, this, &TFormSettings::CheckBoxSysTrayClick);
    connect(m_checkBoxAutoBlocking, &QCheckBox::toggled, this, &TFormSettings::CheckBoxAutoBlockingClick);
    CheckBoxSysTrayClick();
    CheckBoxAutoBlockingClick();
    // Only the user's choices: refilling the lists must not move the code page.
    connect(m_comboBoxLang, &QComboBox::activated, this, &TFormSettings::ComboBoxLangActivated);
    connect(m_comboBoxCodePage, &QComboBox::activated, this, [this] { m_codePagePicked = true; });
}

void TFormSettings::layOutControls()
{
    auto* grid = new QGridLayout;
    grid->addWidget(m_labelLanguage, 0, 0, 1, 2);
    grid->addWidget(m_comboBoxLang, 1, 0, 1, 2);
    grid->addWidget(m_labelCodePage, 2, 0, 1, 2);
    grid->addWidget(m_comboBoxCodePage, 3, 0, 1, 2);
    const auto addCheckRows = [grid](const QList<QPair<QCheckBox*, QLabel*>>& checkRows, int row) {
        for (const auto& [box, label] : checkRows) {
            grid->addWidget(box, row, 0);
            grid->addWidget(label, row, 1);
            ++row;
        }
        return row;
    };
    int row = addCheckRows(
        {
            {m_checkBoxSysTray, m_labelSysTray},
            {m_checkBoxHidden, m_labelHidden},
            {m_checkBoxExtAssociations, m_labelExtAssociations},
            {m_checkBoxOpenLast, m_labelOpenLast},
            {m_checkBoxAutoSave, m_labelAutoSave},
            {m_checkBoxBackups, m_labelBackups},
            {m_checkBoxNewProtected, m_labelNewProtected},
        },
        4);
    grid->addWidget(m_labelNewFileCost, row++, 1);
    row = addCheckRows({{m_checkBoxAutoBlocking, m_labelAutoBlocking}}, row);
    grid->addWidget(m_labelBlockingTime, row++, 1);
    auto* minutes = new QHBoxLayout;
    minutes->addWidget(m_comboBoxMinutes);
    minutes->addWidget(m_labelMinutes);
    minutes->addStretch();
    grid->addLayout(minutes, row++, 1);
    grid->addWidget(m_labelBlockingNote, row++, 1);
    // The other occasions to lock, below the idle lock they stand beside.
    row = addCheckRows({{m_checkBoxLockOnScreenLock, m_labelLockOnScreenLock},
                        {m_checkBoxLockBeforeSleep, m_labelLockBeforeSleep},
                        {m_checkBoxLockWhenMinimised, m_labelLockWhenMinimised}},
                       row);
    auto* clipboard = new QHBoxLayout;
    clipboard->addWidget(m_labelClipboardSeconds);
    clipboard->addWidget(m_spinBoxClipboardSeconds);
    clipboard->addStretch();
    grid->addLayout(clipboard, row++, 0, 1, 2);
    auto* expiry = new QHBoxLayout;
    expiry->addWidget(m_labelExpiryDays);
    expiry->addWidget(m_spinBoxExpiryDays);
    expiry->addStretch();
    grid->addLayout(expiry, row++, 0, 1, 2);
    grid->addWidget(m_labelBreachesFile, row++, 0, 1, 2);
    grid->addWidget(m_editBreachesFile, row, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* window = new QVBoxLayout(this);
    window->addLayout(grid);
    window->addWidget(createSeparator(this));
    window->addLayout(buttonRow(m_buttonOk, m_buttonCancel));
    window->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormSettings::chainTabOrder()
{
    const QList<QWidget*> order = {
        m_comboBoxLang,
        m_comboBoxCodePage,
        m_checkBoxSysTray,
        m_checkBoxHidden,
        m_checkBoxOpenLast,
        m_checkBoxAutoSave,
        m_checkBoxBackups,
        m_checkBoxNewProtected,
        m_buttonOk,
        m_buttonCancel,
        m_checkBoxAutoBlocking,
        m_comboBoxMinutes,
        m_checkBoxExtAssociations,
        m_checkBoxLockOnScreenLock,
        m_checkBoxLockBeforeSleep,
        m_checkBoxLockWhenMinimised,
        m_spinBoxClipboardSeconds,
        m_spinBoxExpiryDays,
        m_editBreachesFile,
    };
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TFormSettings::ApplySettingsCaptions()
{
    setWindowTitle(caption(m_captions, "SettingsCaption", "Settings"));
    m_labelLanguage->setText(labelCaption(m_captions, "SettingsLabelLanguage", "Language"));
    m_labelCodePage->setText(labelCaption(m_captions, "SettingsLabelCodePage", "Code page of older files"));
    m_labelSysTray->setText(caption(m_captions, "SettingsCheckBoxSysTray", "Show System Tray Icon"));
    m_labelHidden->setText(caption(m_captions, "SettingsCheckBoxHidden", "Start hidden"));
    m_labelExtAssociations->setText(caption(m_captions, "SettingsCheckBoxAssociate", "Check own associations"));
    m_labelOpenLast->setText(caption(m_captions, "SettingsCheckBoxOpenLast", "Open last file"));
    m_labelAutoSave->setText(caption(m_captions, "SettingsCheckBoxAutoSave", "Save when exit"));
    m_labelBackups->setText(caption(m_captions, "SettingsCheckBoxBackups", "Create backups"));
    m_labelNewProtected->setText(caption(m_captions, "SettingsCheckBoxNewProtected", "New files are protected"));
    m_labelAutoBlocking->setText(caption(m_captions, "SettingsCheckBoxAutoBlocking", "Autoblocking program"));
    m_labelBlockingTime->setText(labelCaption(m_captions, "SettingsLabelBlockingTime", "Blocking time"));
    m_labelMinutes->setText(caption(m_captions, "SettingsLabelMinutes", "Minutes"));
    m_labelBlockingNote->setText(
        caption(m_captions, "SettingsLabelBlockingNote", "Only a file that has been opened or saved is locked"));
    m_labelLockOnScreenLock->setText(
        caption(m_captions, "SettingsCheckBoxLockOnScreenLock", "Lock when the screen locks"));
    m_labelLockBeforeSleep->setText(
        caption(m_captions, "SettingsCheckBoxLockBeforeSleep", "Lock before the computer sleeps"));
    m_labelLockWhenMinimised->setText(caption(m_captions, "SettingsCheckBoxLockWhenMinimised", "Lock when minimised"));
    m_labelClipboardSeconds->setText(
        labelCaption(m_captions, "SettingsLabelClipboardSeconds", "Clear clipboard after"));
    m_spinBoxClipboardSeconds->setSuffix(caption(m_captions, "SettingsSuffixSeconds", " s"));
    m_spinBoxClipboardSeconds->setSpecialValueText(caption(m_captions, "SettingsClipboardNever", "Never"));
    m_labelExpiryDays->setText(labelCaption(m_captions, "SettingsLabelExpiryDays", "Remind of expiry within"));
    m_spinBoxExpiryDays->setSuffix(caption(m_captions, "SettingsSuffixDays", " days"));
    m_spinBoxExpiryDays->setSpecialValueText(caption(m_captions, "SettingsClipboardNever", "Never"));
    m_labelBreachesFile->setText(
        labelCaption(m_captions, "SettingsLabelBreachesFile", "List of breached passwords (SHA-1)"));
    applyButtonCaptions(m_captions, m_buttonOk, m_buttonCancel);
    showNewFileCostText();
    refillLanguageList();
}

void TFormSettings::showNewFileCost(const std::optional<ProtectedContainer::DerivationCost>& cost)
{
    m_newFileCost = cost;
    showNewFileCostText();
}

void TFormSettings::showNewFileCostText()
{
    if (!m_newFileCost) {
        m_labelNewFileCost->setText(caption(m_captions, "SettingsLabelNewFileCostUnmeasured",
                                            "Key derivation: fitted to this computer at first use"));
        return;
    }
    m_labelNewFileCost->setText(
        caption(m_captions, "SettingsLabelNewFileCost", "Key derivation: %1 passes over %2 MiB, about 1 s here")
            .arg(m_newFileCost->passes)
            .arg(m_newFileCost->memoryKiB / 1024));
}

void TFormSettings::refillLanguageList()
{
    // The list is sorted, so a folder added meanwhile may move the selected
    // language to another position: it is kept by name.
    const QString selected = selectedLanguage();
    m_comboBoxLang->clear();
    m_comboBoxLang->addItems(Languages::ListLanguages(m_paths.languagesFolder()));
    selectLanguage(selected);
}

void TFormSettings::LoadSettingsIntoWindow(const SettingsStore& settings)
{
    selectLanguage(settings.GetSetting(SettingKey::Language));
    selectCodePage(settings.olderFilesCodePage());

    // Starting hidden is only possible with the tray icon to come back through.
    const bool hidden = settings.isOn(SettingKey::Hidden);
    m_checkBoxSysTray->setChecked(settings.isOn(SettingKey::SysTray) || hidden);
    m_checkBoxHidden->setChecked(hidden);

    m_checkBoxExtAssociations->setChecked(settings.isOn(SettingKey::Associate));
    m_checkBoxOpenLast->setChecked(settings.isOn(SettingKey::OpenLast));
    m_checkBoxAutoSave->setChecked(settings.isOn(SettingKey::AutoSave));
    m_checkBoxBackups->setChecked(settings.isOn(SettingKey::Backups));

    // What the automatic lock will make of the settings: a time it cannot
    // use means nothing locks, and the box says so.
    const std::optional<int> lockMinutes = settings.isOn(SettingKey::AutoBlocking)
                                               ? lockMinutesFrom(settings.GetSetting(SettingKey::BlockingTime))
                                               : std::nullopt;
    m_checkBoxAutoBlocking->setChecked(lockMinutes.has_value());
    showBlockingTime(lockMinutes.value_or(blockingTimeChoices().constFirst().toInt()));
    m_checkBoxLockOnScreenLock->setChecked(settings.isNotOff(SettingKey::LockOnScreenLock));
    m_checkBoxLockBeforeSleep->setChecked(settings.isNotOff(SettingKey::LockBeforeSleep));
    m_checkBoxLockWhenMinimised->setChecked(settings.isOn(SettingKey::LockWhenMinimised));
    m_checkBoxNewProtected->setChecked(settings.isNotOff(SettingKey::NewFilesProtected));
    showNewFileCost(settings.newFileCost());
    m_spinBoxClipboardSeconds->setValue(clipboardSecondsFrom(settings.GetSetting(SettingKey::ClipboardSeconds)));
    m_spinBoxExpiryDays->setValue(expiryReminderDaysFrom(settings.GetSetting(SettingKey::ExpiryReminderDays)));
    m_editBreachesFile->setText(settings.GetSetting(SettingKey::BreachesFile));
}

void TFormSettings::selectLanguage(const QString& language)
{
    // Exactly as the folder is named: the captions and the catalogue are read
    // from that folder, and the file system tells letter cases apart. An
    // unknown language selects the first entry, English, which is what is
    // loaded for it.
    const int found = m_comboBoxLang->findText(language, Qt::MatchExactly | Qt::MatchCaseSensitive);
    selectLanguageIndex(found >= 0 ? found : 0);
}

void TFormSettings::showBlockingTime(int minutes)
{
    // The offered times, and a stored one that is not among them as an entry
    // of its own, in its place by size.
    QList<int> offered;
    for (const QString& choice : blockingTimeChoices())
        offered.append(choice.toInt());
    if (!offered.contains(minutes))
        offered.insert(std::lower_bound(offered.begin(), offered.end(), minutes), minutes);
    m_comboBoxMinutes->clear();
    for (int choice : std::as_const(offered))
        m_comboBoxMinutes->addItem(QString::number(choice));
    m_comboBoxMinutes->setCurrentIndex(offered.indexOf(minutes));
}

SettingsWindowState TFormSettings::windowState(const QString& currentFileName) const
{
    SettingsWindowState state;
    state.language = selectedLanguage();
    state.codePage = m_comboBoxCodePage->currentData().toInt();
    state.systray = m_checkBoxSysTray->isChecked();
    state.hidden = m_checkBoxHidden->isChecked();
    state.associate = m_checkBoxExtAssociations->isChecked();
    state.openLast = m_checkBoxOpenLast->isChecked();
    state.autoSave = m_checkBoxAutoSave->isChecked();
    state.backups = m_checkBoxBackups->isChecked();
    state.autoBlocking = m_checkBoxAutoBlocking->isChecked();
    // currentText() is empty while no entry is selected.
    state.blockingTime = m_comboBoxMinutes->currentText();
    state.lockOnScreenLock = m_checkBoxLockOnScreenLock->isChecked();
    state.lockBeforeSleep = m_checkBoxLockBeforeSleep->isChecked();
    state.lockWhenMinimised = m_checkBoxLockWhenMinimised->isChecked();
    state.newFilesProtected = m_checkBoxNewProtected->isChecked();
    state.clipboardSeconds = m_spinBoxClipboardSeconds->value();
    state.expiryReminderDays = m_spinBoxExpiryDays->value();
    state.breachesFile = m_editBreachesFile->text().trimmed();
    state.currentFileName = currentFileName;
    return state;
}

QString TFormSettings::selectedLanguage() const
{
    return m_comboBoxLang->currentText();
}

void TFormSettings::selectLanguageIndex(int index)
{
    m_comboBoxLang->setCurrentIndex(index);
}

void TFormSettings::selectCodePage(const CodePage& codePage)
{
    m_comboBoxCodePage->setCurrentIndex(m_comboBoxCodePage->findData(codePage.number()));
    m_codePagePicked = false;
}

void TFormSettings::ComboBoxLangActivated()
{
    // Older files of the new language are in its own code page; left as it
    // was, the box would be stored as a choice that pins the old one.
    if (!m_codePagePicked)
        selectCodePage(Languages::DefaultCodePage(selectedLanguage()));
}

int TFormSettings::selectedLanguageIndex() const
{
    return m_comboBoxLang->currentIndex();
}

bool TFormSettings::associationChecked() const
{
    return m_checkBoxExtAssociations->isChecked();
}

bool TFormSettings::hiddenChecked() const
{
    return m_checkBoxHidden->isChecked();
}

void TFormSettings::showEvent(QShowEvent* event)
{
    centreOverParent(this);
    TrackedDialog::showEvent(event);
}

void TFormSettings::CheckBoxSysTrayClick()
{
    const bool trayOn = m_checkBoxSysTray->isChecked();
    m_checkBoxHidden->setEnabled(trayOn);
    m_labelHidden->setEnabled(trayOn);
    if (!trayOn)
        m_checkBoxHidden->setChecked(false);
}

void TFormSettings::CheckBoxAutoBlockingClick()
{
    const bool autoBlocking = m_checkBoxAutoBlocking->isChecked();
    m_labelBlockingTime->setEnabled(autoBlocking);
    m_comboBoxMinutes->setEnabled(autoBlocking);
    m_labelMinutes->setEnabled(autoBlocking);
    m_labelBlockingNote->setEnabled(autoBlocking);
}
