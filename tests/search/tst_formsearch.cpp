#include "config/CaptionTable.h"
#include "search/ui/FormSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Shows the window as Find does and waits until it has the focus.
bool showActive(TFormSearch& window)
{
    window.open();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

} // namespace

class TestSearchWindow : public QObject {
    Q_OBJECT

private slots:
    void captionsComeFromTheTable()
    {
        CaptionTable captions;
        TFormSearch window(captions);
        QCOMPARE(window.findChild<QLabel*>("LabelKeyword")->text(), QStringLiteral("Search keyword:"));
        captions.setLines(NameValueList({"SearchLabelKeyword=Suchbegriff", "SearchButtonSearch=Suchen"}));
        window.ApplySearchCaptions();
        QCOMPARE(window.findChild<QLabel*>("LabelKeyword")->text(), QStringLiteral("Suchbegriff:"));
        QCOMPARE(window.findChild<QPushButton*>("JvXPButtonSearch")->text(), QStringLiteral("Suchen"));
    }

    void labelReleaseTogglesItsBox_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("box");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("whole words, left") << "LabelWhole"
                                           << "CheckBoxWhole" << Qt::LeftButton;
        QTest::newRow("field names, right") << "LabelFieldNames"
                                            << "CheckBoxFieldNames" << Qt::RightButton;
    }

    void labelReleaseTogglesItsBox()
    {
        QFETCH(QString, label);
        QFETCH(QString, box);
        QFETCH(Qt::MouseButton, button);
        CaptionTable captions;
        TFormSearch window(captions);
        QVERIFY(showActive(window));
        auto* checkBox = window.findChild<QCheckBox*>(box);
        auto* labelWidget = window.findChild<QLabel*>(label);
        QTest::mouseClick(labelWidget, button);
        QVERIFY(checkBox->isChecked());
        QVERIFY(checkBox->hasFocus());
        QTest::mouseClick(labelWidget, button);
        QVERIFY(!checkBox->isChecked());
        // A press that leaves the label before its release is no click.
        QTest::mousePress(labelWidget, button);
        QTest::mouseRelease(labelWidget, button, {}, QPoint(-5, -5));
        QVERIFY(!checkBox->isChecked());
    }

    void enterSearchesAndTheValuesStayForTheNextShowing()
    {
        CaptionTable captions;
        TFormSearch window(captions);
        QSignalSpy finished(&window, &QDialog::finished);
        QVERIFY(showActive(window));
        auto* edit = window.findChild<QLineEdit*>("EditKeyword");
        QVERIFY(edit->hasFocus());
        QTest::keyClicks(edit, "card");
        QTest::mouseClick(window.findChild<QLabel*>("LabelFieldNames"), Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.takeFirst().first().toInt(), int(QDialog::Accepted));
        QCOMPARE(window.options().keyword, QStringLiteral("card"));
        QVERIFY(window.options().fieldNames && !window.options().wholeWords);

        // Shown again: the same keyword, all selected, so typing replaces it.
        QVERIFY(showActive(window));
        QVERIFY(edit->hasFocus());
        QCOMPARE(edit->selectedText(), QStringLiteral("card"));
        QVERIFY(window.fieldNames());
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QVERIFY(showActive(window));
        QTest::mouseClick(window.findChild<QPushButton*>("JvXPButtonCancel"), Qt::LeftButton);
        QCOMPARE(finished.size(), 2);
        for (const QList<QVariant>& result : finished)
            QCOMPARE(result.first().toInt(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestSearchWindow)
#include "tst_formsearch.moc"
