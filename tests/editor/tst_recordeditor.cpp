#include "config/CaptionTable.h"
#include "document/DataDocument.h"
#include "document/DocumentEditing.h"
#include "document/DocumentHistory.h"
#include "document/FieldFormats.h"
#include "document/OneTimeCode.h"
#include "document/Schema.h"
#include "editor/ui/FieldDatePicker.h"
#include "editor/ui/FieldLineEdit.h"
#include "editor/ui/FieldMemo.h"
#include "editor/ui/FieldTimePicker.h"
#include "editor/ui/RecordEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>
#include <optional>
#include <sstream>

namespace {

QString fieldText(const pugi::xml_node& record, const char* name)
{
    return qText(record.find_child_by_attribute("field", "name", name).text());
}

// The record's children exactly as they would be saved.
QString recordXml(const pugi::xml_node& record)
{
    std::ostringstream out;
    for (const pugi::xml_node& child : record.children())
        child.print(out, "", pugi::format_raw);
    return QString::fromStdString(out.str());
}

// Types keys as a user would; "\n" is Return, "\b" Backspace.
void typeKeys(QWidget* control, const QString& keys)
{
    for (const QChar key : keys) {
        if (key == u'\n')
            QTest::keyClick(control, Qt::Key_Return);
        else if (key == u'\b')
            QTest::keyClick(control, Qt::Key_Backspace);
        else
            QTest::keyClick(control, key.toLatin1());
    }
}

// Puts the caret after the last character, in a single-line edit or a box.
void moveToEnd(QWidget* control)
{
    QTest::keyClick(control, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(control, Qt::Key_End);
}

} // namespace

class TestRecordEditor : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyRecords_data();
    void emptyRecords();
    void rowsFollowTheFieldsTopToBottom();
    void initialValues_data();
    void initialValues();
    void showingARecordEmitsNothing();
    void typingInTextWritesBackThenRefreshesCaption();
    void pickerChanges_data();
    void pickerChanges();
    void dateCheckBoxGivesOrRemovesTheDate();
    void unshownDatesSurviveOtherEdits_data();
    void unshownDatesSurviveOtherEdits();
    void eMailColour_data();
    void eMailColour();
    void numberFieldKeys_data();
    void numberFieldKeys();
    void typingLimits_data();
    void typingLimits();
    void pasteIntoLongTextIsLimited();
    void overlongValuesSurvive_data();
    void overlongValuesSurvive();
    void longTextWriteBack_data();
    void longTextWriteBack();
    void writeBackRewritesFieldsInPlace();
    void erasedValueLeavesAnEmptyField();
    void clearFreesEverything();
    void focusHitControl();
    void panelEnteredOnlyFromOutside();
    void secretFieldsShowDots_data();
    void secretFieldsShowDots();
    void secretsHideAgain_data();
    void secretsHideAgain();
    void copyGivesTheWholeValue_data();
    void copyGivesTheWholeValue();
    void tabGoesThroughTheFieldButtons();
    void secretsCopiedInTheirBoxAreGuarded_data();
    void secretsCopiedInTheirBoxAreGuarded();
    void generatedPasswordReplacesTheValue_data();
    void generatedPasswordReplacesTheValue();
    void oneTimeCodesShowBesideTheirSeed_data();
    void oneTimeCodesShowBesideTheirSeed();

private:
    pugi::xml_node show(const QString& recordXmlText);
    pugi::xml_node showField(const QString& type, const QString& stored);
    template <typename Control>
    Control* controlOf(int fieldCounter) const;
    void activateWindow();

    CaptionTable m_captions;
    std::unique_ptr<DataDocument> m_document;
    std::unique_ptr<DocumentHistory> m_history;
    std::unique_ptr<DocumentEditing> m_editing;
    std::unique_ptr<QWidget> m_window;
    QLineEdit* m_outside = nullptr;
    RecordEditor* m_editor = nullptr;
};

// The buttons beside a field are reached from the keyboard, in the order they stand.
void TestRecordEditor::tabGoesThroughTheFieldButtons()
{
    m_editor->setPasswordSource([](QWidget*) { return std::optional<QString>(); });
    activateWindow();
    show(R"(<record><label/><field name="Password" basic_type="TEXT">pw</field>)"
         R"(<field name="Login" basic_type="TEXT">me</field></record>)");
    m_editor->controlList().at(1)->setFocus();
    QStringList reached;
    for (int press = 0; press < 5; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        reached << (m_editor->controlList().contains(focused) ? QStringLiteral("field") : focused->objectName());
    }
    QCOMPARE(reached,
             (QStringList{"ButtonRevealField", "ButtonCopyField", "ButtonGenerateField", "field", "ButtonCopyField"}));
}

void TestRecordEditor::init()
{
    m_document = std::make_unique<DataDocument>();
    m_history = std::make_unique<DocumentHistory>(*m_document);
    m_editing = std::make_unique<DocumentEditing>(*m_document, *m_history, m_captions);
    m_window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(m_window.get());
    m_outside = new QLineEdit;
    m_editor = new RecordEditor(m_captions, *m_editing);
    layout->addWidget(m_outside);
    layout->addWidget(m_editor);
    m_window->resize(440, 500);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestRecordEditor::cleanup()
{
    m_window.reset();
    m_editing.reset();
    m_history.reset();
    m_document.reset();
}

// Loads a record into the document and shows it as the tree would.
pugi::xml_node TestRecordEditor::show(const QString& recordXmlText)
{
    const QString text = QStringLiteral("<data>%1</data>").arg(recordXmlText);
    if (!m_document->loadText(text.toUtf8()))
        qFatal("fixture is not well-formed: %s", qPrintable(text));
    const pugi::xml_node record = m_document->root().first_child();
    m_editor->ClearRecordEditor();
    m_editor->FillRecordEditor(record.first_child());
    return record;
}

// A record with one field "f" of type holding stored, any characters at all.
pugi::xml_node TestRecordEditor::showField(const QString& type, const QString& stored)
{
    pugi::xml_document fixture;
    pugi::xml_node field = fixture.append_child("field");
    field.append_attribute("name") = "f";
    field.append_attribute("basic_type") = type.toUtf8().constData();
    field.text().set(stored.toUtf8().constData());
    std::ostringstream xml;
    field.print(xml, "", pugi::format_raw);
    return show("<record><label/>" + QString::fromStdString(xml.str()) + "</record>");
}

template <typename Control>
Control* TestRecordEditor::controlOf(int fieldCounter) const
{
    auto* control = dynamic_cast<Control*>(m_editor->controlList().value(2 * fieldCounter - 1));
    if (!control)
        qFatal("field %d has not the expected control", fieldCounter);
    return control;
}

void TestRecordEditor::activateWindow()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestRecordEditor::emptyRecords_data()
{
    QTest::addColumn<QString>("record");
    QTest::newRow("label only") << R"(<record><label link="">Bank</label></record>)";
    QTest::newRow("no children") << "<record/>";
    QTest::newRow("unknown types only")
        << R"(<record><label/><field name="a" basic_type="text">x</field>)"
           R"(<field name="b">y</field><field name="c" basic_type="LONGTEXT"/></record>)";
}

void TestRecordEditor::emptyRecords()
{
    QFETCH(QString, record);
    show(record);
    QVERIFY(m_editor->isEmpty());
    QCOMPARE(m_editor->nextRowTop(), 8);
}

void TestRecordEditor::rowsFollowTheFieldsTopToBottom()
{
    show(R"(<record><label/>)"
         R"(<field name="Text" basic_type="TEXT"/><field name="Long" basic_type="LONG TEXT"/>)"
         R"(<field name="Odd" basic_type="Text"/>)"
         R"(<field name="Mail" basic_type="E-MAIL"/><field name="Num" basic_type="NUMBER"/>)"
         R"(<field name="Date" basic_type="DATE"/><field name="Time" basic_type="TIME"/>)"
         R"(<field basic_type="PHONE"/></record>)");
    QCOMPARE(m_editor->objectName(), QStringLiteral("ScrollBox"));
    QWidget* panel = m_editor->widget();
    QCOMPARE(panel->objectName(), QStringLiteral("PanelScroll"));
    const QList<FieldType> types = {FieldType::Text, FieldType::LongText, FieldType::EMail, FieldType::Number,
                                    FieldType::Date, FieldType::Time,     FieldType::Phone};
    const QStringList names = {"Text", "Long", "Mail", "Num", "Date", "Time", ""};
    const QList<QWidget*>& entries = m_editor->controlList();
    QCOMPARE(entries.size(), 14);

    int top = 8;
    for (int i = 0; i < entries.size(); ++i) {
        QWidget* entry = entries.at(i);
        const int k = i / 2 + 1;
        if (i % 2 == 0) {
            QCOMPARE(qobject_cast<QLabel*>(entry)->text(), names.at(k - 1));
        } else {
            QCOMPARE(dynamic_cast<FieldControl*>(entry)->fieldType(), types.at(k - 1));
        }
        // A control stands in its row, its small buttons to the right of it.
        QWidget* row = i % 2 == 0 ? entry : entry->parentWidget();
        QVERIFY(entry->isVisible());
        QCOMPARE(row->geometry(), QRect(8, top, panel->width() - 16, row->height()));
        QVERIFY(entry->width() < row->width() || i % 2 == 0);
        top += row->height() + (i % 2 == 0 ? 3 : 15);
    }
    QCOMPARE(m_editor->nextRowTop(), top);
    QVERIFY(entries.at(3)->height() > entries.at(1)->height()); // the Long Text box
}

void TestRecordEditor::initialValues_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("text") << "TEXT"
                          << "ann <b>"
                          << "ann <b>";
    QTest::newRow("number keeps non-digits") << "NUMBER"
                                             << "12-3x"
                                             << "12-3x";
    QTest::newRow("phone") << "PHONE"
                           << "+44 20"
                           << "+44 20";
    QTest::newRow("long text CR LF, LF, CR") << "LONG TEXT"
                                             << "a\r\nb\nc\rd"
                                             << "a\nb\nc\nd";
    QTest::newRow("long text final break") << "LONG TEXT"
                                           << "a\r\n"
                                           << "a";
    QTest::newRow("long text empty lines") << "LONG TEXT"
                                           << "\r\n\r\nx"
                                           << "\n\nx";
    QTest::newRow("date") << "DATE"
                          << "20240502:"
                          << "2024-06-03 checked";
    QTest::newRow("date without colon") << "DATE"
                                        << "19991130"
                                        << "1999-12-31 checked";
    QTest::newRow("empty date") << "DATE"
                                << ""
                                << "now unchecked";
    QTest::newRow("unreadable date") << "DATE"
                                     << "20241302:"
                                     << "now checked";
    QTest::newRow("time") << "TIME"
                          << "143005."
                          << "14:30:05";
    QTest::newRow("midnight") << "TIME"
                              << "000000."
                              << "00:00:00";
    QTest::newRow("empty time") << "TIME"
                                << ""
                                << "now";
}

void TestRecordEditor::initialValues()
{
    QFETCH(QString, type);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    const QDateTime now = QDateTime::currentDateTime();
    const pugi::xml_node record = showField(type, stored);
    const QStringList expected = shown.split(' ');

    QWidget* control = m_editor->controlList().at(1);
    if (auto* edit = dynamic_cast<FieldLineEdit*>(control)) {
        QCOMPARE(edit->text(), shown);
    } else if (auto* memo = dynamic_cast<FieldMemo*>(control)) {
        QCOMPARE(memo->toPlainText(), shown);
    } else if (auto* picker = dynamic_cast<FieldDatePicker*>(control)) {
        const QDate date = expected.at(0) == "now" ? now.date() : QDate::fromString(expected.at(0), Qt::ISODate);
        QCOMPARE(picker->dateEdit()->date(), date);
        QCOMPARE(picker->checkBox()->isChecked(), expected.at(1) == "checked");
        QCOMPARE(picker->dateEdit()->isEnabled(), expected.at(1) == "checked");
    } else if (auto* time = dynamic_cast<FieldTimePicker*>(control); shown == "now") {
        QVERIFY(std::abs(time->time().secsTo(now.time())) <= 2);
    } else {
        QCOMPARE(time->time(), QTime::fromString(shown, Qt::ISODate));
        QCOMPARE(time->text(), timeDisplayText(stored)); // what a search compares against
    }
    QCOMPARE(fieldText(record, "f"), stored); // kept until something changes
}

void TestRecordEditor::showingARecordEmitsNothing()
{
    QSignalSpy caption(m_editor, &RecordEditor::captionRefreshNeeded);
    QSignalSpy entered(m_editor, &RecordEditor::panelEntered);
    const pugi::xml_node record =
        show(R"(<record><label/><field name="a" basic_type="TEXT">x</field>)"
             R"(<field name="b" basic_type="LONG TEXT">l1&#13;&#10;l2</field>)"
             R"(<field name="c" basic_type="E-MAIL">bad</field><field name="d" basic_type="NUMBER">1</field>)"
             R"(<field name="e" basic_type="DATE">bad</field><field name="f" basic_type="TIME"></field>)"
             R"(<field name="g" basic_type="PHONE">2</field></record>)");
    const QString before = recordXml(record);
    QTest::qWait(20);
    QCOMPARE(caption.count() + entered.count(), 0);
    QCOMPARE(recordXml(record), before);
}

void TestRecordEditor::typingInTextWritesBackThenRefreshesCaption()
{
    const pugi::xml_node record = show(R"(<record parent_type="Login"><label link="User"/>)"
                                       R"(<field name="User" basic_type="TEXT">ann</field></record>)");
    QStringList events;
    connect(m_editor, &RecordEditor::captionRefreshNeeded, this,
            [&] { events << "caption " + Schema::RecordCaption(record); });

    auto* edit = controlOf<FieldLineEdit>(1);
    moveToEnd(edit);
    QTest::keyClick(edit, 'x');
    QCOMPARE(events, QStringList({"caption annx"}));
    QCOMPARE(fieldText(record, "User"), QStringLiteral("annx"));
}

void TestRecordEditor::pickerChanges_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QDateTimeEdit::Section>("section");
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("captionRefreshes");
    QTest::newRow("date") << "DATE"
                          << "20240502:" << QDateTimeEdit::YearSection << "20250502:" << 0;
    QTest::newRow("time") << "TIME"
                          << "235958." << QDateTimeEdit::SecondSection << "235959." << 1;
}

// A date change is written back without a caption refresh, even when the
// caption is taken from that field; any other change refreshes it.
void TestRecordEditor::pickerChanges()
{
    QFETCH(QString, type);
    QFETCH(QString, stored);
    QFETCH(QDateTimeEdit::Section, section);
    QFETCH(QString, written);
    QFETCH(int, captionRefreshes);
    const pugi::xml_node record = showField(type, stored);
    record.first_child().append_attribute("link") = "f";
    QSignalSpy caption(m_editor, &RecordEditor::captionRefreshNeeded);

    auto* edit = type == "DATE" ? controlOf<FieldDatePicker>(1)->dateEdit()
                                : static_cast<QDateTimeEdit*>(controlOf<FieldTimePicker>(1));
    edit->setCurrentSection(section);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(caption.count(), captionRefreshes);
    QCOMPARE(fieldText(record, "f"), written);
}

void TestRecordEditor::dateCheckBoxGivesOrRemovesTheDate()
{
    const pugi::xml_node record = showField("DATE", "20240502:");
    QCheckBox* checkBox = controlOf<FieldDatePicker>(1)->checkBox();

    QTest::mouseClick(checkBox, Qt::LeftButton);
    QCOMPARE(recordXml(record), QStringLiteral(R"(<label/><field name="f" basic_type="DATE"/>)"));

    QTest::mouseClick(checkBox, Qt::LeftButton);
    QCOMPARE(fieldText(record, "f"), QStringLiteral("20240502:"));
}

void TestRecordEditor::unshownDatesSurviveOtherEdits_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("no date") << "";
    QTest::newRow("before the year 100") << "00500102:";
    QTest::newRow("unreadable") << "20241302:";
}

// What the picker does not show is kept until the user changes the picker.
void TestRecordEditor::unshownDatesSurviveOtherEdits()
{
    QFETCH(QString, stored);
    const pugi::xml_node record = show(QStringLiteral(R"(<record><label/><field name="D" basic_type="DATE">%1</field>)"
                                                      R"(<field name="T" basic_type="TEXT"></field></record>)")
                                           .arg(stored));
    QTest::keyClicks(controlOf<FieldLineEdit>(2), "ab");
    QCOMPARE(fieldText(record, "T"), QStringLiteral("ab"));
    QCOMPARE(fieldText(record, "D"), stored);
}

void TestRecordEditor::eMailColour_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<QColor>>("colours"); // when shown, then after each typed key
    const QColor red(Qt::red);
    const QColor black(Qt::black);
    QTest::newRow("becomes valid") << "E-MAIL"
                                   << "ann@example"
                                   << ".c" << QList{red, red, black};
    QTest::newRow("becomes invalid") << "E-MAIL"
                                     << "ann@example.co"
                                     << ".u" << QList{black, red, red};
    QTest::newRow("empty is invalid") << "E-MAIL"
                                      << ""
                                      << "a" << QList{red, red};
    QTest::newRow("other types keep their colour") << "TEXT"
                                                   << "not an address"
                                                   << "@" << QList<QColor>{QColor(), QColor()};
}

void TestRecordEditor::eMailColour()
{
    QFETCH(QString, type);
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QList<QColor>, colours);
    showField(type, stored);
    auto* edit = controlOf<FieldLineEdit>(1);
    // An invalid colour in the table stands for the colour every edit has.
    const auto textColour = [&] {
        const QColor colour = edit->palette().color(QPalette::Text);
        return colour == m_outside->palette().color(QPalette::Text) && type != "E-MAIL" ? QColor() : colour;
    };
    QList<QColor> seen{textColour()};
    moveToEnd(edit);
    for (const QChar key : typed) {
        typeKeys(edit, key);
        seen << textColour();
    }
    QCOMPARE(seen, colours);
}

void TestRecordEditor::numberFieldKeys_data()
{
    QTest::addColumn<QTestEventList>("keys"); // typed at the end of "12"
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("focused"); // the field that has the focus afterwards
    QTest::addColumn<int>("returnPresses");
    const auto keys = [](std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>> clicks) {
        QTestEventList list;
        for (const auto& [key, modifiers] : clicks)
            list.addKeyClick(key, modifiers);
        return list;
    };
    const Qt::KeyboardModifiers none;
    QTest::newRow("letter, minus, blank, period")
        << keys({{Qt::Key_A, none}, {Qt::Key_Minus, none}, {Qt::Key_Space, none}, {Qt::Key_Period, none}}) << "12"
        << "f" << 0;
    QTest::newRow("digit") << keys({{Qt::Key_7, none}}) << "127"
                           << "f" << 0;
    QTest::newRow("Backspace") << keys({{Qt::Key_Backspace, none}}) << "12"
                               << "f" << 0;
    QTest::newRow("Delete") << keys({{Qt::Key_Left, none}, {Qt::Key_Delete, none}}) << "1"
                            << "f" << 0;
    QTest::newRow("Ctrl shortcuts") << keys({{Qt::Key_A, Qt::ControlModifier}, {Qt::Key_X, Qt::ControlModifier}})
                                    << "12"
                                    << "f" << 0;
    // Past the copy button of the field and of the one before.
    QTest::newRow("Tab") << keys({{Qt::Key_Tab, none}, {Qt::Key_Tab, none}}) << "12"
                         << "c" << 0;
    QTest::newRow("Shift+Tab") << keys({{Qt::Key_Tab, Qt::ShiftModifier}, {Qt::Key_Tab, Qt::ShiftModifier}}) << "12"
                               << "a" << 0;
    QTest::newRow("Return and Enter") << keys({{Qt::Key_Return, none}, {Qt::Key_Enter, Qt::KeypadModifier}}) << "12"
                                      << "f" << 2;
}

// Only digits are typed into a Number field, but the keys that leave or
// confirm it work as in any other.
void TestRecordEditor::numberFieldKeys()
{
    QFETCH(QTestEventList, keys);
    activateWindow();
    const pugi::xml_node record = show(R"(<record><label/><field name="a" basic_type="TEXT"/>)"
                                       R"(<field name="f" basic_type="NUMBER">12</field>)"
                                       R"(<field name="c" basic_type="TEXT"/></record>)");
    auto* edit = controlOf<FieldLineEdit>(2);
    QSignalSpy returns(edit, &QLineEdit::returnPressed);
    edit->setFocus();
    moveToEnd(edit);
    keys.simulate(edit);
    QTEST(fieldText(record, "f"), "written");
    QTEST(static_cast<int>(returns.count()), "returnPresses");
    const QStringList names = {"a", "f", "c"};
    QTEST(names.value(static_cast<int>(m_editor->controlList().indexOf(QApplication::focusWidget()) / 2)), "focused");
}

void TestRecordEditor::typingLimits_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("limit");
    QTest::newRow("text") << "TEXT" << 256;
    QTest::newRow("e-mail") << "E-MAIL" << 256;
    QTest::newRow("number") << "NUMBER" << 256;
    QTest::newRow("phone") << "PHONE" << 256;
    QTest::newRow("long text") << "LONG TEXT" << 5000;
}

void TestRecordEditor::typingLimits()
{
    QFETCH(QString, type);
    QFETCH(int, limit);
    const QString start(limit - 2, u'1');
    const pugi::xml_node record = showField(type, start);
    QWidget* control = m_editor->controlList().at(1);
    moveToEnd(control);
    typeKeys(control, type == "LONG TEXT" ? "2345\n" : "2345");
    QCOMPARE(fieldText(record, "f"), type == "LONG TEXT" ? start + "23\r\n" : start + "23");

    // With the selection replaced there is room again.
    QTest::keyClick(control, Qt::Key_Left, Qt::ShiftModifier);
    typeKeys(control, "9");
    QVERIFY(fieldText(record, "f").startsWith(start + "29"));
}

void TestRecordEditor::pasteIntoLongTextIsLimited()
{
    const pugi::xml_node record = showField("LONG TEXT", QString(4995, u'x'));
    auto* memo = controlOf<FieldMemo>(1);
    moveToEnd(memo);
    QGuiApplication::clipboard()->setText(QStringLiteral("ab\r\ncdefgh"));
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(fieldText(record, "f"), QString(4995, u'x') + "ab\r\ncd\r\n");
}

void TestRecordEditor::overlongValuesSurvive_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("stored");
    QTest::newRow("text") << "TEXT" << QStringLiteral("abcdefghij").repeated(4000);
    QTest::newRow("e-mail") << "E-MAIL" << QString(300, u'a') + "@example.com";
    QTest::newRow("long text") << "LONG TEXT" << (QString(99, u'z') + "\r\n").repeated(80);
}

void TestRecordEditor::overlongValuesSurvive()
{
    QFETCH(QString, type);
    QFETCH(QString, stored);
    const pugi::xml_node record = show(QStringLiteral(R"(<record><label/><field name="long" basic_type="%1">%2</field>)"
                                                      R"(<field name="other" basic_type="TEXT"/></record>)")
                                           .arg(type, stored));
    QTest::keyClicks(controlOf<FieldLineEdit>(2), "o");
    QCOMPARE(fieldText(record, "other"), QStringLiteral("o"));
    QCOMPARE(fieldText(record, "long"), stored);

    // Typing into it stays bounded by what it held.
    QWidget* control = m_editor->controlList().at(1);
    moveToEnd(control);
    typeKeys(control, "q");
    QCOMPARE(fieldText(record, "long"), stored);
    typeKeys(control, "\bqq");
    QCOMPARE(fieldText(record, "long").size(), stored.size());
    QVERIFY(fieldText(record, "long").contains(u'q'));
}

void TestRecordEditor::longTextWriteBack_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed"); // at the end
    QTest::addColumn<QString>("written");
    QTest::newRow("lines get CR LF") << "a\nb"
                                     << "c"
                                     << "a\r\nbc\r\n";
    QTest::newRow("lone CR") << "a\rb"
                             << "c"
                             << "a\r\nbc\r\n";
    QTest::newRow("empty box") << "x"
                               << "\b"
                               << "";
    QTest::newRow("empty last line not counted") << "a"
                                                 << "\n"
                                                 << "a\r\n";
    QTest::newRow("second empty line counts") << "a"
                                              << "\n\n"
                                              << "a\r\n\r\n";
    QTest::newRow("stored break stays one") << "a\r\n"
                                            << "b"
                                            << "ab\r\n";
    QTest::newRow("from empty") << ""
                                << "x"
                                << "x\r\n";
}

void TestRecordEditor::longTextWriteBack()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    const pugi::xml_node record = showField("LONG TEXT", stored);
    auto* memo = controlOf<FieldMemo>(1);
    moveToEnd(memo);
    typeKeys(memo, typed);
    QCOMPARE(fieldText(record, "f"), written);
}

void TestRecordEditor::writeBackRewritesFieldsInPlace()
{
    const pugi::xml_node record = show(R"(<record parent_type="P" type="DEFAULT"><label link="a">Own</label>)"
                                       R"(<field basic_type="TEXT" extra="1" name="a">one</field>)"
                                       R"(<field name="x" basic_type="text" note="kept">lower case</field>)"
                                       R"(<note>other child</note>)"
                                       R"(<field basic_type="LONG TEXT">l1&#13;&#10;l2</field>)"
                                       R"(<field name="y">no type</field>)"
                                       R"(<field name="d" basic_type="DATE">20240502:</field></record>)");
    const pugi::xml_node first = record.child("field");
    QCOMPARE(m_editor->controlList().size(), 6);

    // Only the field typed in is rewritten; the others stay exactly as they were.
    QTest::keyClicks(controlOf<FieldLineEdit>(1), "z");
    QCOMPARE(recordXml(record), QStringLiteral(R"(<label link="a">Own</label>)"
                                               R"(<field name="a" basic_type="TEXT">zone</field>)"
                                               R"(<field name="x" basic_type="text" note="kept">lower case</field>)"
                                               R"(<note>other child</note>)"
                                               "<field basic_type=\"LONG TEXT\">l1\r\nl2</field>"
                                               R"(<field name="y">no type</field>)"
                                               R"(<field name="d" basic_type="DATE">20240502:</field>)"));
    QCOMPARE(record.child("field"), first); // a remembered field stays usable
}

void TestRecordEditor::erasedValueLeavesAnEmptyField()
{
    const pugi::xml_node record = show(R"(<record><label/><field name="a" basic_type="TEXT">ab</field></record>)");
    auto* edit = controlOf<FieldLineEdit>(1);
    moveToEnd(edit);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(recordXml(record), QStringLiteral(R"(<label/><field name="a" basic_type="TEXT"/>)"));
}

void TestRecordEditor::clearFreesEverything()
{
    const pugi::xml_node record = show(R"(<record><label/><field name="a" basic_type="TEXT">1</field>)"
                                       R"(<field name="b" basic_type="DATE"/></record>)");
    const int filledTop = m_editor->nextRowTop();
    const QPointer<QWidget> firstLabel = m_editor->controlList().first();
    controlOf<FieldLineEdit>(1)->setText(QStringLiteral("2"));
    const QString written = recordXml(record);

    m_editor->ClearRecordEditor();
    QVERIFY(m_editor->isEmpty());
    QCOMPARE(m_editor->nextRowTop(), 8);
    QVERIFY(firstLabel.isNull());
    QVERIFY(m_editor->widget()->findChildren<QWidget*>().isEmpty());
    QCOMPARE(recordXml(record), written);

    m_editor->FillRecordEditor(record.first_child());
    QCOMPARE(m_editor->nextRowTop(), filledTop);
    QCOMPARE(m_editor->controlList().at(0)->y(), 8);
}

void TestRecordEditor::focusHitControl()
{
    activateWindow();
    QString fields = R"(<field name="b" basic_type="DATE">20240502:</field>)"
                     R"(<field name="c" basic_type="DATE"/><field name="d" basic_type="LONG TEXT"/>)";
    for (int i = 5; i <= 50; ++i)
        fields += QStringLiteral(R"(<field name="f%1" basic_type="TEXT">%1</field>)").arg(i);
    show(R"(<record><label/><field name="a" basic_type="TEXT"/>)" + fields + "</record>");
    const QList<QWidget*>& entries = m_editor->controlList();

    // At once after the fill, as the search does after selecting the record.
    m_editor->FocusHitControl(50);
    QVERIFY(entries.last()->hasFocus());
    QVERIFY(m_editor->verticalScrollBar()->value() > 0);
    const QRect inViewport(entries.last()->mapTo(m_editor->viewport(), QPoint(0, 0)), entries.last()->size());
    QVERIFY(m_editor->viewport()->rect().contains(inViewport));

    for (int k : {4, 1, 3, 2}) {
        m_editor->FocusHitControl(k);
        QVERIFY2(entries.at(2 * k - 1)->hasFocus(), qPrintable(QString::number(k)));
    }
    QCOMPARE(QApplication::focusWidget(), controlOf<FieldDatePicker>(2)->dateEdit());
    m_editor->FocusHitControl(3); // a picker without a date
    QCOMPARE(QApplication::focusWidget(), controlOf<FieldDatePicker>(3)->checkBox());

    for (int outOfRange : {-1, 0, 51, 100}) {
        m_editor->FocusHitControl(outOfRange);
        QVERIFY2(entries.at(5)->hasFocus(), qPrintable(QString::number(outOfRange)));
    }
}

void TestRecordEditor::panelEnteredOnlyFromOutside()
{
    activateWindow();
    show(R"(<record><label/><field name="a" basic_type="TEXT"/><field name="b" basic_type="DATE"/>)"
         R"(<field name="c" basic_type="NUMBER"/></record>)");
    m_outside->setFocus();
    QSignalSpy entered(m_editor, &RecordEditor::panelEntered);

    controlOf<FieldLineEdit>(1)->setFocus();
    QCOMPARE(entered.count(), 1);
    for (int press = 0; press < 10 && QApplication::focusWidget() != controlOf<FieldLineEdit>(3); ++press)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), controlOf<FieldLineEdit>(3));
    QCOMPARE(entered.count(), 1);

    m_outside->setFocus();
    m_editor->FocusHitControl(2);
    QCOMPARE(entered.count(), 2);
}

void TestRecordEditor::secretFieldsShowDots_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("password text") << "TEXT"
                                   << "Password" << true;
    QTest::newRow("PIN number") << "NUMBER"
                                << "PIN-код" << true;
    QTest::newRow("other text") << "TEXT"
                                << "Login" << false;
    QTest::newRow("password phone") << "PHONE"
                                    << "Password" << false;
    QTest::newRow("password long text") << "LONG TEXT"
                                        << "Password" << false;
}

// Dots for a secret Text or Number field, with an eye beside it; no eye elsewhere.
void TestRecordEditor::secretFieldsShowDots()
{
    QFETCH(QString, type);
    QFETCH(QString, name);
    QFETCH(bool, hidden);
    show(QStringLiteral(R"(<record><label/><field name="%1" basic_type="%2">s3cret</field>)"
                        R"(<field name="Other" basic_type="TEXT"/></record>)")
             .arg(name, type));
    QWidget* control = m_editor->controlList().at(1);
    auto* edit = qobject_cast<QLineEdit*>(control);
    QCOMPARE(edit && edit->echoMode() == QLineEdit::Password, hidden);
    QCOMPARE(m_editor->findChildren<QToolButton*>("ButtonRevealField").size(), hidden ? 1 : 0);
    QCOMPARE(m_editor->findChildren<QToolButton*>("ButtonCopyField").size(), 2);
    // The controls are as wide with an eye beside them as without.
    QCOMPARE(control->geometry().right(), m_editor->controlList().at(3)->geometry().right());
}

void TestRecordEditor::secretsHideAgain_data()
{
    QTest::addColumn<QString>("hiddenBy");
    QTest::newRow("another record") << "refill";
    QTest::newRow("the lock") << "hideSecrets";
    QTest::newRow("a search hit") << "FocusHitControl";
}

// The eye button and Ctrl+H each show the value for as long as the user wants.
void TestRecordEditor::secretsHideAgain()
{
    QFETCH(QString, hiddenBy);
    activateWindow();
    const QString record = R"(<record><label/><field name="Passwort" basic_type="TEXT">s3cret</field></record>)";
    show(record);
    auto* edit = controlOf<FieldLineEdit>(1);
    auto* eye = m_editor->findChild<QToolButton*>("ButtonRevealField");
    eye->click();
    QCOMPARE(edit->echoMode(), QLineEdit::Normal);
    eye->click();
    QCOMPARE(edit->echoMode(), QLineEdit::Password);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(edit->echoMode(), QLineEdit::Normal);
    QCOMPARE(edit->text(), QStringLiteral("s3cret"));

    if (hiddenBy == "refill")
        show(record);
    else if (hiddenBy == "hideSecrets")
        m_editor->hideSecrets();
    else
        m_editor->FocusHitControl(1);
    edit = controlOf<FieldLineEdit>(1);
    QCOMPARE(edit->echoMode(), QLineEdit::Password);
    QVERIFY(!m_editor->findChild<QToolButton*>("ButtonRevealField")->isChecked());
    if (hiddenBy == "FocusHitControl")
        QCOMPARE(QApplication::focusWidget(), edit);
}

void TestRecordEditor::copyGivesTheWholeValue_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("copied"); // "shown date": the text the picker shows
    QTest::newRow("secret text") << "TEXT"
                                 << "s3cret value"
                                 << "s3cret value";
    QTest::newRow("long text") << "LONG TEXT"
                               << "one\r\ntwo\r\n"
                               << "one\ntwo";
    QTest::newRow("date") << "DATE"
                          << "20240502:"
                          << "shown date";
    QTest::newRow("no date") << "DATE"
                             << ""
                             << "";
}

// The copy button and the context menu's Copy give the value as shown, not a
// selection of it, nor its stored form.
void TestRecordEditor::copyGivesTheWholeValue()
{
    QFETCH(QString, type);
    QFETCH(QString, stored);
    QFETCH(QString, copied);
    show(QStringLiteral(R"(<record><label/><field name="Password" basic_type="%1">%2</field></record>)")
             .arg(type, stored));
    if (copied == "shown date") {
        copied = controlOf<FieldDatePicker>(1)->dateEdit()->text();
        QVERIFY(copied.contains("2024"));
    }
    QSignalSpy copies(m_editor, &RecordEditor::copyRequested);
    m_editor->findChild<QToolButton*>("ButtonCopyField")->click();
    m_editor->findChild<QAction*>("ActionCopyField")->trigger();
    QCOMPARE(copies.count(), 2);
    QCOMPARE(copies.at(0).at(0).toString(), copied);
    QCOMPARE(copies.at(1).at(0).toString(), copied);
}

void TestRecordEditor::secretsCopiedInTheirBoxAreGuarded_data()
{
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("selectedFrom"); // -1: nothing selected
    QTest::addColumn<int>("key");          // a QKeySequence::StandardKey
    QTest::addColumn<QString>("copied");
    QTest::addColumn<QString>("left");
    QTest::newRow("hidden, copy all") << false << -1 << int(QKeySequence::Copy) << "s3cret"
                                      << "s3cret";
    QTest::newRow("shown, copy selection") << true << 2 << int(QKeySequence::Copy) << "cret"
                                           << "s3cret";
    QTest::newRow("shown, cut selection") << true << 2 << int(QKeySequence::Cut) << "cret"
                                          << "s3";
}

// A secret's copy keys in its box ask for the guarded copy, as its button
// does, and never touch the clipboard themselves; its menu has that one Copy.
void TestRecordEditor::secretsCopiedInTheirBoxAreGuarded()
{
    QFETCH(bool, shown);
    QFETCH(int, selectedFrom);
    QFETCH(int, key);
    QFETCH(QString, copied);
    const pugi::xml_node record =
        show(R"(<record><label/><field name="Password" basic_type="TEXT">s3cret</field></record>)");
    activateWindow();
    m_editor->findChild<QAction*>("ActionRevealField")->setChecked(shown);
    auto* box = controlOf<FieldLineEdit>(1);
    box->setFocus();
    box->setSelection(std::max(selectedFrom, 0), selectedFrom < 0 ? 0 : 6);
    QGuiApplication::clipboard()->setText("before");
    QSignalSpy copies(m_editor, &RecordEditor::copyRequested);
    QTest::keySequence(box, QKeySequence(QKeySequence::StandardKey(key)));
    QCOMPARE(copies.size(), 1);
    QCOMPARE(copies.at(0).at(0).toString(), copied);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    QTEST(fieldText(record, "Password"), "left");

    QStringList entries;
    QTimer::singleShot(0, [&entries] {
        for (const QAction* action : QApplication::activePopupWidget()->actions())
            entries << action->text().remove('&').section('\t', 0, 0);
        QApplication::activePopupWidget()->close();
    });
    emit box->customContextMenuRequested(QPoint(1, 1));
    QCOMPARE(entries.count("Copy"), 1);
}

void TestRecordEditor::generatedPasswordReplacesTheValue_data()
{
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("written");
    QTest::newRow("taken") << true << "G3nerated!";
    QTest::newRow("declined") << false << "old";
}

// A button beside the secret Text field and the context menu of every Text
// field; the value comes in as if typed, so the document is marked modified.
void TestRecordEditor::generatedPasswordReplacesTheValue()
{
    QFETCH(bool, taken);
    QFETCH(QString, written);
    const std::optional<QString> generated = taken ? std::optional<QString>("G3nerated!") : std::nullopt;
    const QString fields =
        R"(<record><label/><field name="Password" basic_type="TEXT">old</field>)"
        R"(<field name="Name" basic_type="TEXT">old</field><field name="PIN" basic_type="NUMBER"/></record>)";
    show(fields);
    QVERIFY(!m_editor->findChild<QToolButton*>("ButtonGenerateField"));

    QList<QWidget*> parents;
    m_editor->setPasswordSource([&](QWidget* parent) {
        parents << parent;
        return generated;
    });
    const pugi::xml_node record = show(fields);
    QCOMPARE(m_editor->findChildren<QToolButton*>("ButtonGenerateField").size(), 1);
    QCOMPARE(m_editor->findChildren<QAction*>("ActionGenerateField").size(), 2); // both Text fields
    m_editor->findChild<QToolButton*>("ButtonGenerateField")->click();
    controlOf<FieldLineEdit>(2)->parentWidget()->findChild<QAction*>("ActionGenerateField")->trigger();
    QCOMPARE(parents, (QList<QWidget*>{m_editor, m_editor}));
    QCOMPARE(fieldText(record, "Password"), written);
    QCOMPARE(fieldText(record, "Name"), written);
}

void TestRecordEditor::oneTimeCodesShowBesideTheirSeed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("seed");
    const QString secret = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";
    QTest::newRow("address") << "Authenticator"
                             << "otpauth://totp/Mail?secret=" + secret + "&amp;period=60";
    QTest::newRow("seed by its name") << "TOTP Seed" << secret;
}

// The code beside the seed follows the clock each second; copying, from the
// row or with the tree's key, gives the code, and the password key still the
// password.
void TestRecordEditor::oneTimeCodesShowBesideTheirSeed()
{
    QFETCH(QString, name);
    QFETCH(QString, seed);
    qint64 now = 1111111109;
    m_editor->setClock([&now] { return now; });
    show(QStringLiteral(R"(<record><label/><field name="%1" basic_type="TEXT">%2</field>)"
                        R"(<field name="Password" basic_type="TEXT">pw</field></record>)")
             .arg(name, seed));
    const auto generator = OneTimeCode::fromText(qText(m_document->root().first_child().child("field").text()));
    auto* label = m_editor->findChild<QLabel*>("LabelOneTimeCode");
    QCOMPARE(label->text().remove(' '), generator->codeAt(now));
    QCOMPARE(controlOf<FieldLineEdit>(1)->echoMode(), QLineEdit::Password);

    now += generator->period();
    QTRY_COMPARE(label->text().remove(' '), generator->codeAt(now));
    QCOMPARE(m_editor->findChild<QProgressBar*>("ProgressOneTimeCode")->value(), generator->secondsLeftAt(now));

    QSignalSpy copies(m_editor, &RecordEditor::copyRequested);
    m_editor->findChild<QToolButton*>("ButtonCopyField")->click();
    QVERIFY(m_editor->copyFirstCode());
    QVERIFY(m_editor->copyFirstSecret());
    const QList<QVariantList> expected{{generator->codeAt(now)}, {generator->codeAt(now)}, {"pw"}};
    QCOMPARE(copies, expected);
}

QTEST_MAIN(TestRecordEditor)
#include "tst_recordeditor.moc"
