#include "ProgramFixture.h"

#include "app/ui/HealthTools.h"
#include "app/ui/TreeFilterBar.h"
#include "document/FieldFormats.h"
#include "document/ui/DocumentTreeModel.h"
#include "health/ui/HealthReportWindow.h"

#include <QAction>
#include <QLabel>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

namespace {

// Records first at every level: Card, Mail, then the group Web with Shop.
QByteArray sample()
{
    const QByteArray soon = FormatStoredDate(QDate::currentDate().addDays(5)).toUtf8();
    return "<data><folder name='Web'><record><label>Shop</label>"
           "<field name='Password' basic_type='TEXT'>letmein</field></record></folder>"
           "<record><label>Card</label><field name='Expiry' basic_type='DATE'>"
           + soon
           + "</field></record>"
             "<record><label>Mail</label><field name='Password' basic_type='TEXT'>letmein</field></record></data>";
}

// The captions the tree shows, in tree order, from the top: opened groups
// show what is in them.
QString shownTree(const QTreeView& view)
{
    QStringList captions;
    for (QModelIndex node = view.model()->index(0, 0); node.isValid(); node = view.indexBelow(node))
        captions << node.data().toString();
    return captions.join(QLatin1Char(','));
}

} // namespace

class TestDailyTools : public ProgramTestCase {
    Q_OBJECT

private slots:
    void typingInTheTreeFiltersItAndEscapeBringsItBack()
    {
        m_fixture->writeDataFile(path("tools.zv"), "pw", sample());
        m_fixture->start(path("tools.zv"), {"pw"});
        QTreeView& tree = main().TreeView();
        QCOMPARE(shownTree(tree), QStringLiteral("Card,Mail,Web"));
        tree.setFocus();
        QTest::keyClick(&tree, Qt::Key_S, Qt::NoModifier);
        TreeFilterBar& box = main().filterBar();
        QCOMPARE(box.text(), QStringLiteral("s"));
        QCOMPARE(main().focusWidget(), &box);
        QTest::keyClicks(&box, "h");
        QCOMPARE(box.text(), QStringLiteral("sh"));
        QCOMPARE(shownTree(tree), QStringLiteral("Web,Shop"));
        QCOMPARE(tree.currentIndex().data().toString(), QStringLiteral("Shop"));
        // A secret value matches without being shown anywhere but its record.
        QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&box, "letm");
        QCOMPARE(shownTree(tree), QStringLiteral("Mail,Web,Shop"));
        QCOMPARE(tree.currentIndex().data().toString(), QStringLiteral("Mail"));
        QTest::keyClick(&box, Qt::Key_Escape);
        QCOMPARE(main().focusWidget(), &tree);
        QVERIFY(box.text().isEmpty());
        QCOMPARE(shownTree(tree), QStringLiteral("Card,Mail,Web"));
        QCOMPARE(tree.currentIndex().data().toString(), QStringLiteral("Mail"));
        QVERIFY(!main().Modified());
    }

    void theReminderLeadsToTheReportWhoseRowsSelectRecords()
    {
        m_fixture->writeDataFile(path("tools.zv"), "pw", sample());
        m_fixture->start(path("tools.zv"), {"pw"});
        HealthTools& tools = main().healthTools();
        QTRY_VERIFY(tools.reminder().isVisible());
        QVERIFY(tools.reminder().text().contains(QLatin1String("1 record expires soon")));
        emit tools.reminder().linkActivated(QStringLiteral("#expiring"));
        QTreeWidget& rows = tools.window().list();
        QTRY_VERIFY(tools.window().isVisible());
        QCOMPARE(rows.topLevelItemCount(), 1);
        QCOMPARE(rows.topLevelItem(0)->text(2), QStringLiteral("Expires soon"));

        main().actions().healthReport->trigger();
        QStringList problems;
        for (int row = 0; row < rows.topLevelItemCount(); ++row)
            problems << rows.topLevelItem(row)->text(0) + ':' + rows.topLevelItem(row)->text(2);
        QCOMPARE(problems, QStringList({"Card:Expires soon", "Mail:Weak password", "Mail:Reused password",
                                        "Web/Shop:Weak password", "Web/Shop:Reused password"}));
        // Chosen while the tree is filtered to something else.
        main().filterBar().start(QStringLiteral("card"));
        emit rows.itemActivated(rows.topLevelItem(3), 0);
        QCOMPARE(main().TreeView().currentIndex().data().toString(), QStringLiteral("Shop"));
        QVERIFY(main().filterBar().text().isEmpty());
    }
};

QTEST_MAIN(TestDailyTools)
#include "tst_dailytools.moc"
