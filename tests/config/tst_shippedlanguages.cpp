#include "config/Languages.h"
#include "config/NameValueList.h"
#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/FieldFormats.h"
#include "document/Schema.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QSet>
#include <QStringDecoder>
#include <QtTest>

namespace {

// Every caption key the program looks up, with the mark the code appends
// after the looked-up text ('\0' for none); a translation must not carry
// that mark itself or it shows twice.
struct CaptionKey {
    const char* key;
    char appended;
};

const CaptionKey CaptionKeys[] = {
    // Main window
    {"MainMenuFile", 0},
    {"MainSubMenuNew", 0},
    {"MainSubMenuOpen", 0},
    {"MainSubMenuSave", 0},
    {"MainSubMenuSaveAs", 0},
    {"MainSubMenuExit", 0},
    {"MainMenuEdit", 0},
    {"MainActionNewGroup", 0},
    {"MainActionNewRecord", 0},
    {"MainActionNewField", 0},
    {"MainActionDelete", 0},
    {"MainActionFind", 0},
    {"MainMenuSearch", 0},
    {"MainSubMenuFindNext", 0},
    {"MainMenuOptions", 0},
    {"MainActionSettings", 0},
    {"MainSubMenuLanguage", 0},
    {"MainSubMenuChangePassword", 0},
    {"MainMenuHelp", 0},
    {"MainSubMenuManual", 0},
    {"MainSubMenuAbout", 0},
    {"MainMenuMobileVersion", '!'},
    {"MainTrayPopupShowHide", 0},
    {"MainSubMenuLockNow", 0},
    // New group, new record and new field windows
    {"NewGroupCaption", 0},
    {"NewGroupLabelName", ':'},
    {"NewRecordLabelGroup", ':'},
    {"NewRecordCaption", 0},
    {"NewRecordLabelName", ':'},
    {"NewRecordLabelType", ':'},
    {"NewFieldCaption", 0},
    {"NewFieldLabelName", ':'},
    {"NewFieldLabelType", ':'},
    {"FieldText", 0},
    {"FieldLongText", 0},
    {"FieldEMail", 0},
    {"FieldNumber", 0},
    {"FieldDate", 0},
    {"FieldTime", 0},
    {"FieldPhone", 0},
    {"ButtonOk", 0},
    {"ButtonCancel", 0},
    // Settings window
    {"SettingsCaption", 0},
    {"SettingsLabelLanguage", ':'},
    {"SettingsCheckBoxSysTray", 0},
    {"SettingsCheckBoxHidden", 0},
    {"SettingsCheckBoxAssociate", 0},
    {"SettingsCheckBoxOpenLast", 0},
    {"SettingsCheckBoxAutoSave", 0},
    {"SettingsCheckBoxBackups", 0},
    {"SettingsCheckBoxAutoBlocking", 0},
    {"SettingsLabelBlockingTime", ':'},
    {"SettingsLabelMinutes", 0},
    {"SettingsLabelCodePage", ':'},
    {"SettingsLabelBlockingNote", 0},
    {"SettingsCheckBoxLockOnScreenLock", 0},
    {"SettingsCheckBoxLockBeforeSleep", 0},
    {"SettingsCheckBoxLockWhenMinimised", 0},
    // Password, search, group selection and about windows
    {"PasswordLabelPassword", ':'},
    {"PasswordLabelRetype", ':'},
    {"SearchCaption", 0},
    {"SearchLabelKeyword", ':'},
    {"SearchCheckBoxWhole", 0},
    {"SearchCheckBoxFieldNames", 0},
    {"SearchButtonSearch", 0},
    {"GroupSelectCaption", 0},
    {"ButtonNewGroup", 0},
    {"AboutCaption", 0},
    // Messages
    {"MessageIncorrectPassword", 0},
    {"MessageGroupNameNotExists", 0},
    {"MessageFieldNameNotExists", 0},
    {"MessageConfigNotFound", 0},
    {"MessageSaveQuery", '?'},
    {"MessageNotSaved", 0},
    {"MessageIncorrectFormat", 0},
    {"MessageNotOpened", 0},
    {"PasswordMsgPasswChanged", 0},
    {"MessageSearchCompleted", 0},
    {"MessageNotFound", 0},
    {"ManualFileNotExists", 0},
    {"PasswordFileText", 0},
    {"MessagePasswordCharacters", 0},
    {"MessageBackupNotAFile", 0},
    {"MessageFolderNotWritable", 0},
    {"MessageRemoveOldBackups", '?'},
    {"MessageFileHolder", 0},
    {"MessageFileHolderUnknown", 0},
    {"MessageFileInUse", 0},
    {"MessageFileInUseSave", 0},
    {"MessageReadOnlyFile", 0},
    {"MessageNewerFormat", 0},
    // Password generator
    {"GeneratorCaption", 0},
    {"GeneratorLabelLength", ':'},
    {"GeneratorCheckBoxUpper", 0},
    {"GeneratorCheckBoxLower", 0},
    {"GeneratorCheckBoxDigits", 0},
    {"GeneratorCheckBoxSymbols", 0},
    {"GeneratorCheckBoxLookAlikes", 0},
    {"GeneratorLabelPassword", ':'},
    {"GeneratorButtonRegenerate", 0},
    {"GeneratorTextBits", 0},
    {"GeneratorLabelDataFileNote", 0},
    {"PasswordButtonGenerate", 0},
    {"MessageNothingToLock", 0},
    // Window title, tray tooltip and the Caps Lock warning
    {"MainTitleUntitled", 0},
    {"TrayHintLocked", 0},
    {"PasswordCapsLockOn", 0},
    {"MainTitleReadOnly", 0},
    // Hidden fields, copying and the clipboard's countdown
    {"EditorCopyField", 0},
    {"EditorRevealField", 0},
    {"EditorGenerateField", 0},
    {"MessageNoSecretField", 0},
    {"MessageNoLoginField", 0},
    {"MessageClipboardClearsIn", 0},
    {"SettingsLabelClipboardSeconds", ':'},
    {"SettingsSuffixSeconds", 0},
    {"SettingsClipboardNever", 0},
    // The two types of data file
    {"FileTypePlain", 0},
    {"FileTypeProtected", 0},
    {"FilterAllDataFiles", 0},
    {"FilterProtectedFiles", 0},
    {"SettingsCheckBoxNewProtected", 0},
    {"MessagePasswordTooLong", 0},
    {"ProgressOpening", 0},
    {"ProgressSaving", 0},
    // Import and export
    {"MainSubMenuImport", 0},
    {"MainSubMenuExport", 0},
    {"DialogTitleImport", 0},
    {"DialogTitleExport", 0},
    {"FilterAllFiles", 0},
    {"ProgressImporting", 0},
    {"ProgressExporting", 0},
    {"MessageNotImported", 0},
    {"MessageImportTooLarge", 0},
    {"MessageImportedInto", 0},
    {"ImportRecords", 0},
    {"ImportGroups", 0},
    {"ImportNotCarried", ':'},
    {"ImportLostAttachments", 0},
    {"ImportLostHistory", 0},
    {"ImportLostIcons", 0},
    {"ImportLostExpiryDates", 0},
    {"ImportLostTags", 0},
    {"ImportLostGroupNotes", 0},
    {"ImportLostAutoType", 0},
    {"ImportLostTimes", 0},
    {"ImportLostColours", 0},
    {"ImportLostDeleted", 0},
    {"ImportLostBookkeeping", 0},
    {"ImportDecodedFrom", 0},
    {"MessageExportNotEncrypted", '?'},
    {"MessageExportOverDataFile", 0},
    {"MessageNotExported", 0},
    {"MessageExported", 0},
    {"MessageExportReplaced", 0},
    // Deleting an item
    {"MessageDeleteRecord", '?'},
    {"MessageDeleteEmptyGroup", '?'},
    {"MessageDeleteGroupOneRecord", '?'},
    {"MessageDeleteGroup", '?'},
    {"MessageDeleteUndoable", 0},
    // Undo and redo, and the names of the changes they take back
    {"MainActionUndo", 0},
    {"MainActionRedo", 0},
    {"MainActionUndoNamed", 0},
    {"MainActionRedoNamed", 0},
    {"HistoryNewGroup", 0},
    {"HistoryNewRecord", 0},
    {"HistoryNewField", 0},
    {"HistoryImport", 0},
    {"HistoryDelete", 0},
    {"HistoryDeleteField", 0},
    {"HistoryRename", 0},
    {"HistoryMove", 0},
    {"HistoryEditField", 0},
    // Renaming an item
    {"MainActionRename", 0},
    // The manual and the web site without a program to open them
    {"MessageNoViewer", 0},
    {"MessageNoBrowser", 0},
    // The lock and the change of password
    {"PasswordCaptionLocked", 0},
    {"PasswordButtonExit", 0},
    {"MessageSaveElsewhereLocked", 0},
    {"PasswordCaptionChange", 0},
    {"MainTrayPopupUnlock", 0},
    // Message box titles, the top level of the group choice, the about window's words
    {"MessageTitleError", 0},
    {"MessageTitleInformation", 0},
    {"MessageTitleConfirm", 0},
    {"MessageTitleWarning", 0},
    {"GroupSelectRoot", 0},
    {"AboutTagline", 0},
    {"AboutDescription", 0},
    {"MessagePasswordOutsideCodePage", 0},
    // The new-password window's eye and check, and the cost of new protected files
    {"PasswordButtonReveal", 0},
    {"PasswordLabelDiffer", 0},
    {"ProgressMeasuring", 0},
    {"SettingsLabelNewFileCost", 0},
    {"SettingsLabelNewFileCostUnmeasured", 0},
    {"MessageImportKeePassDatabase", 0},
    {"MessageImportNotText", 0},
    {"MessageNotALockFile", 0},
    {"MessageDerivationBeyondMemory", 0},
    {"MessageDerivationSlow", '?'},
    {"MessageDerivationTooCostly", 0},
    // One-time codes and passphrases
    {"NewFieldTypeOneTimeCode", 0},
    {"NewFieldLabelSeed", ':'},
    {"NewFieldTextFirstCode", 0},
    {"MessageNoOneTimeCodeSeed", 0},
    {"MessageNoOneTimeCode", 0},
    {"GeneratorRadioCharacters", 0},
    {"GeneratorRadioWords", 0},
    {"GeneratorLabelWords", ':'},
    {"GeneratorLabelSeparator", ':'},
    // Type to filter, the health report and the expiry reminder
    {"MainActionFilter", 0},
    {"MainFilterPlaceholder", 0},
    {"MainMenuTools", 0},
    {"MainActionHealthReport", 0},
    {"HealthCaption", 0},
    {"HealthColumnRecord", 0},
    {"HealthColumnField", 0},
    {"HealthColumnProblem", 0},
    {"HealthColumnDetail", 0},
    {"HealthButtonClose", 0},
    {"HealthNothingFound", 0},
    {"HealthFindingsOne", 0},
    {"HealthFindingsFew", 0},
    {"HealthFindingsMany", 0},
    {"HealthBreachesUnreadable", 0},
    {"HealthWeakPassword", 0},
    {"HealthReusedPassword", 0},
    {"HealthBreachedPassword", 0},
    {"HealthExpired", 0},
    {"HealthExpiresSoon", 0},
    {"HealthDetailBits", 0},
    {"HealthDetailRecords", 0},
    {"HealthDetailSeen", 0},
    {"ExpiryReminderOne", 0},
    {"ExpiryReminderFew", 0},
    {"ExpiryReminderMany", 0},
    {"SettingsLabelExpiryDays", ':'},
    {"SettingsSuffixDays", 0},
    {"SettingsLabelBreachesFile", ':'},
    // Merge, and files changed on disk by other programs
    {"MainSubMenuMerge", 0},
    {"DialogTitleMerge", 0},
    {"CommandMerge", 0},
    {"MergeFieldFromOther", 0},
    {"MessageMerged", 0},
    {"MessageMergedNothing", 0},
    {"MergeGroups", 0},
    {"MergeRecords", 0},
    {"MergeFields", 0},
    {"MergeConflicts", 0},
    {"MergeTooDeep", 0},
    {"StatusConflictCopy", 0},
    {"ButtonMerge", 0},
    {"ButtonSaveAnyway", 0},
    {"ButtonSaveAs", 0},
    {"ButtonLater", 0},
    {"MessageChangedOnDisk", 0},
    {"MessageChangedWhileEditing", 0},
    {"MessageReloadFailed", 0},
    {"StatusReloaded", 0},
};

QString languagesRoot()
{
    return TestSupport::sourceDir() + "/data/languages/";
}

// Shipped files are UTF-8 without a byte order mark, every line ended by CR LF.
void verifyTextFile(const QByteArray& bytes)
{
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    QVERIFY(!decoder.hasError());
    QVERIFY(text.endsWith("\r\n"));
    QCOMPARE(text.count('\n'), text.count("\r\n"));
    QCOMPARE(text.count('\r'), text.count("\r\n"));
}

// Per entry: its type key and the stored types of its fields, in order.
QStringList catalogueShape(const Catalogue& catalogue)
{
    QStringList shape;
    for (const Catalogue::Entry& entry : catalogue.entries()) {
        const pugi::xml_node entryElement = catalogue.FindTemplate(entry.name);
        QStringList types{qText(entryElement.attribute("type"))};
        for (const pugi::xml_node& field : entryElement.children(Schema::FieldElement))
            types.append(qText(field.attribute("basic_type")));
        shape.append(types.join('|'));
    }
    return shape;
}

void verifyEntry(const pugi::xml_node& entry)
{
    QSet<QString> fieldNames;
    for (const pugi::xml_node& field : entry.children(Schema::FieldElement)) {
        const QString name = qText(field.attribute("name"));
        QVERIFY2(!name.isEmpty(), qPrintable(qText(entry.attribute("name"))));
        QVERIFY2(!fieldNames.contains(name), qPrintable(name));
        fieldNames.insert(name);
        QVERIFY2(fieldTypeFromStored(qText(field.attribute("basic_type"))).has_value(), qPrintable(name));
    }
    const pugi::xml_node label = entry.first_child();
    QVERIFY(label.attribute("link"));
    for (const char* link : {"link", "link2"}) {
        const pugi::xml_attribute attribute = label.attribute(link);
        QVERIFY2(!attribute || fieldNames.contains(qText(attribute)), qPrintable(qText(attribute)));
    }
}

} // namespace

class TestShippedLanguages : public QObject {
    Q_OBJECT

private slots:
    void languagesFollowEnglish();

    void captionFileIsComplete_data();
    void captionFileIsComplete();

    void catalogueIsSound_data();
    void catalogueIsSound();
};

void TestShippedLanguages::languagesFollowEnglish()
{
    const QStringList languages = Languages::ListLanguages(languagesRoot());
    QCOMPARE(languages.value(0), QString("English"));
    QCOMPARE(QSet<QString>(languages.begin() + 1, languages.end()), (QSet<QString>{"Deutsch", "Français", "Русский"}));
    QCOMPARE(languages.size(), qsizetype(4));
}

void TestShippedLanguages::captionFileIsComplete_data()
{
    QTest::addColumn<QString>("folder");
    for (const QString& language : QDir(languagesRoot()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QTest::newRow(qPrintable(language)) << languagesRoot() + language;
}

void TestShippedLanguages::captionFileIsComplete()
{
    QFETCH(QString, folder);
    QVERIFY(QFile::exists(folder + "/lang.ini"));
    const QByteArray bytes = TestSupport::readFile(folder + "/lang.ini");
    verifyTextFile(bytes);
    const NameValueList captions = NameValueList::fromBytes(bytes);

    // The first line of a name wins, so a repeated key would hide a translation.
    QSet<QString> names;
    for (const QString& line : captions.lines()) {
        QVERIFY2(line.contains('='), qPrintable(line));
        const QString name = line.section('=', 0, 0).toLower();
        QVERIFY2(!names.contains(name), qPrintable(line));
        names.insert(name);
    }
    QCOMPARE(names.size(), qsizetype(std::size(CaptionKeys)));

    for (const CaptionKey& caption : CaptionKeys) {
        QVERIFY2(captions.contains(caption.key), caption.key);
        const QString value = captions.value(caption.key);
        QVERIFY2(!value.trimmed().isEmpty(), caption.key);
        if (caption.appended)
            QVERIFY2(!value.trimmed().endsWith(QLatin1Char(caption.appended)), caption.key);
    }

    // A displayed type name is turned back into its stored type by its text.
    QSet<QString> typeNames;
    for (FieldType type : allFieldTypes())
        typeNames.insert(captions.value(typeCaptionKey(type)).toLower());
    QCOMPARE(typeNames.size(), allFieldTypes().size());
}

void TestShippedLanguages::catalogueIsSound_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("translated");
    QTest::newRow("program folder") << TestSupport::sourceDir() + "/data/config.xml" << false;
    for (const QString& language : QDir(languagesRoot()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QTest::newRow(qPrintable(language)) << languagesRoot() + language + "/config.xml" << true;
}

void TestShippedLanguages::catalogueIsSound()
{
    QFETCH(QString, path);
    QFETCH(bool, translated);
    QVERIFY(QFile::exists(path));
    const QByteArray bytes = TestSupport::readFile(path);
    if (translated)
        verifyTextFile(bytes);
    // The catalogue is walked from its first node, so nothing may precede the root element.
    QVERIFY(bytes.startsWith('<') && !bytes.startsWith("<?") && !bytes.startsWith("<!"));

    Catalogue english;
    QVERIFY(english.LoadCatalogue(TestSupport::sourceDir() + "/data/config.xml"));
    Catalogue catalogue;
    QVERIFY(catalogue.LoadCatalogue(path));
    QCOMPARE(catalogue.entries().size(), qsizetype(Schema::RecordIconCount));

    QSet<QString> entryNames;
    QSet<int> icons;
    for (const Catalogue::Entry& entry : catalogue.entries()) {
        QVERIFY2(!entry.name.isEmpty() && !entryNames.contains(entry.name), qPrintable(entry.name));
        entryNames.insert(entry.name);
        icons.insert(entry.icon.value);
        const pugi::xml_node entryElement = catalogue.FindTemplate(entry.name);
        QVERIFY2(entryElement, qPrintable(entry.name));
        verifyEntry(entryElement);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(icons.size(), qsizetype(Schema::RecordIconCount));

    // Translations change names only: the same types with the same fields in
    // the same order (the English catalogue is the measure, so trivially so there).
    QCOMPARE(catalogueShape(catalogue), catalogueShape(english));
}

QTEST_GUILESS_MAIN(TestShippedLanguages)
#include "tst_shippedlanguages.moc"
