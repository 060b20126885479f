#include "ProgramFixture.h"

#include "config/ui/FormSettings.h"
#include "datafile/ui/FormPassword.h"
#include "document/ui/FormNewField.h"
#include "document/ui/FormNewGroup.h"
#include "document/ui/FormNewRecord.h"
#include "editor/ui/RecordEditor.h"
#include "search/ui/FormSearch.h"

#include "support/ShownText.h"

#include <QLabel>
#include <QTreeView>
#include <QtTest>

namespace {

// A record whose field name looks like markup, to fill the record editor.
const QByteArray Sample = "<data><record parent_type=\"Note\" type=\"NOTE\"><label link=\"Title\"></label>"
                          "<field name=\"&lt;b&gt;Title&lt;/b&gt;\" basic_type=\"TEXT\">x</field></record></data>";

} // namespace

// File names, captions and field names come from files anyone may have
// written; every label that shows them reads as written, never as markup.
class TestPlainText : public QObject {
    Q_OBJECT

private slots:
    void labelsShowTextAsWritten_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* window :
             {"password", "lock prompt", "new group", "new record", "new field", "search", "settings", "record editor"})
            QTest::newRow(window) << QString::fromLatin1(window);
    }

    void labelsShowTextAsWritten()
    {
        QFETCH(QString, window);
        ProgramFixture fixture;
        fixture.writeDataFile(fixture.path("private.zv"), "secret", Sample);
        fixture.start(fixture.path("private.zv"), {"secret"});
        QTreeView& tree = fixture.main().TreeView();
        tree.setCurrentIndex(tree.model()->index(0, 0));

        Program& program = fixture.program();
        const QHash<QString, QWidget*> windows = {
            {"password", &program.passwordWindow()},  {"lock prompt", &program.lockPrompt()},
            {"new group", &program.newGroupWindow()}, {"new record", &program.newRecordWindow()},
            {"new field", &program.newFieldWindow()}, {"search", &program.searchWindow()},
            {"settings", &program.settingsWindow()},  {"record editor", fixture.main().findChild<RecordEditor*>()},
        };
        const QList<QLabel*> labels = windows.value(window)->findChildren<QLabel*>();
        QVERIFY(!labels.isEmpty());
        const QString markup = QStringLiteral("<font size=6 color=red>big</font>");
        for (QLabel* label : labels) {
            label->setText(markup);
            QVERIFY2(shownText(*label) == markup, qPrintable(label->objectName()));
        }
    }
};

QTEST_MAIN(TestPlainText)
#include "tst_plaintext.moc"
