#include "ProgramFixture.h"

#include "document/ui/DocumentTreeModel.h"
#include "document/ui/FormGroupSelect.h"
#include "document/ui/FormNewField.h"
#include "document/ui/FormNewGroup.h"
#include "editor/ui/RecordEditor.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleHints>
#include <QTreeView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

namespace {

const QByteArray Sample = "<data>"
                          "<folder name=\"Home\" type=\"PRIVATE\">"
                          "<folder name=\"Cars\" type=\"AUTO\"/>"
                          "<record parent_type=\"Note\" type=\"NOTE\"><label link=\"Title\"></label>"
                          "<field name=\"Title\" basic_type=\"TEXT\">Keys</field></record>"
                          "</folder>"
                          "<folder name=\"Work\" type=\"OFFICE\"/>"
                          "</data>";

using Answer = MessageService::Answer;

enum Gesture { ClickCaption, ClickArrow, ClickBelowNodes, KeyF2, RenameCommand };

} // namespace

class TestTreeCommands : public ProgramTestCase {
    Q_OBJECT

private:
    DocumentTreeModel& model() { return main().treeModel(); }
    pugi::xml_node root() { return main().XMLDocumentData().root(); }

    QModelIndex node(const QString& caption) { return nodeCaptioned(model(), caption); }

    void select(const QString& caption) { main().TreeView().setCurrentIndex(node(caption)); }

private slots:
    // A click opens no caption editor; one that did would open it a
    // double-click interval later. A short interval keeps that wait short.
    void initTestCase() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(25); }

    void init()
    {
        ProgramTestCase::init();
        m_fixture->writeDataFile(path("private.zv"), "secret", Sample);
        m_fixture->start(path("private.zv"), {"secret"});
    }

    void newFieldIsFocusedAndInView()
    {
        // More fields than the editor shows at once.
        pugi::xml_node keys = root().child("folder").child("record");
        for (int i = 0; i < 20; ++i) {
            pugi::xml_node field = keys.append_child("field");
            field.append_attribute("name") = "More";
            field.append_attribute("basic_type") = "TEXT";
        }
        select("Keys");
        WhenShown confirm(m_fixture->program().newFieldWindow(),
                          [&] { fillAndConfirm(m_fixture->program().newFieldWindow(), "Since", "Date"); });
        main().ActionNewFieldExecute();
        const RecordEditor& editor = main().recordEditor();
        QCOMPARE(editor.controlList().size(), 44);
        QWidget* added = editor.controlList().last();
        QVERIFY(added->isAncestorOf(main().focusWidget()));
        QVERIFY(editor.viewport()->rect().contains(QRect(added->mapTo(editor.viewport(), QPoint()), added->size())));
        QVERIFY(main().Modified());
    }

    void deletingEverythingLeavesTheActionsDisabled()
    {
        for (const char* caption : {"Home", "Work"}) {
            select(caption);
            m_fixture->messages.answers.enqueue(Answer::Yes);
            main().ActionDeleteExecute();
        }
        QCOMPARE(model().nodeCount(), 0);
        for (const QAction* command : {main().actions().deleteItem, main().actions().newField, main().actions().find})
            QVERIFY2(!command->isEnabled(), qPrintable(command->objectName()));
        QVERIFY(main().recordEditor().isEmpty());
    }

    // As deep as a file may nest groups: the tree, selecting the deepest
    // group, the group selection window and deleting the whole chain cope.
    void groupsNestedToTheLimit()
    {
        const int levels = DataDocument::MaxNesting;
        QVERIFY(main().XMLDocumentData().loadText("<data>"
                                                  + QByteArray("<folder name='g' type='AUTO'>").repeated(levels)
                                                  + QByteArray("</folder>").repeated(levels) + "</data>"));
        pugi::xml_node deepest = root();
        while (deepest.first_child())
            deepest = deepest.first_child();
        main().RebuildAndSelect(deepest);
        QCOMPARE(model().nodeCount(), levels);
        QCOMPARE(main().TreeView().currentIndex(), model().FindTreeNode(deepest));

        TFormGroupSelect& groups = m_fixture->program().groupSelectWindow();
        groups.FillGroupTree();
        QCOMPARE(groups.selectedNodeData()->element, deepest);
        int shown = 0;
        for (QTreeWidgetItemIterator it(groups.findChild<QTreeWidget*>("TreeViewGroups")); *it; ++it)
            ++shown;
        QCOMPARE(shown, levels + 1);
        // New Group from that window would nest one level too deep: nothing is added.
        const QByteArray full = main().XMLDocumentData().toText();
        TFormNewGroup& newGroup = m_fixture->program().newGroupWindow();
        WhenShown named(newGroup, [&] { fillAndConfirm(newGroup, "deeper"); });
        groups.findChild<QPushButton*>("JvXPButtonNewGroup")->click();
        QCOMPARE(main().XMLDocumentData().toText(), full);
        QVERIFY(!main().actions().undo->isEnabled());

        main().TreeView().setCurrentIndex(model().firstNode());
        m_fixture->messages.answers.enqueue(Answer::Yes);
        main().ActionDeleteExecute();
        QCOMPARE(model().nodeCount(), 0);
        QVERIFY(!root().first_child());
    }

    // Undo and Redo by their keys and from the menu, named after the change;
    // Ctrl+Z in a field's box is the box's own.
    void undoAndRedo()
    {
        const auto undoText = [this] { return main().actions().undo->text().remove('&'); };
        // A shortcut reaches only the active window's focus.
        main().activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &main());
        main().TreeView().expand(node("Home"));
        select("Cars");
        m_fixture->messages.answers.enqueue(Answer::Yes);
        main().ActionDeleteExecute();
        QCOMPARE(undoText(), QStringLiteral("Undo Delete “Cars”"));
        QVERIFY(main().Modified());

        main().TreeView().setFocus();
        QTest::keyClick(&main().TreeView(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(model().caption(main().TreeView().currentIndex()), QStringLiteral("Cars"));
        QVERIFY(main().TreeView().isExpanded(node("Home")));
        QVERIFY(!main().Modified());
        QCOMPARE(main().actions().redo->text().remove('&'), QStringLiteral("Redo Delete “Cars”"));
        QCOMPARE(undoText(), QStringLiteral("Undo"));
        QVERIFY(!main().actions().undo->isEnabled());

        for (const QKeySequence& redo : main().actions().redo->shortcuts()) {
            QTest::keySequence(&main().TreeView(), redo);
            QVERIFY(!node("Cars").isValid());
            main().actions().undo->trigger();
            QVERIFY(node("Cars").isValid());
        }

        select("Keys");
        auto* box = qobject_cast<QLineEdit*>(main().recordEditor().controlList().at(1));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_X);
        QCOMPARE(qText(root().child("folder").child("record").child("field").text()), QStringLiteral("Keysx"));
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("Keys"));
        QCOMPARE(qText(root().child("folder").child("record").child("field").text()), QStringLiteral("Keys"));
        QCOMPARE(undoText(), QStringLiteral("Undo Edit “Title”"));
        main().actions().undo->trigger();
        QCOMPARE(model().caption(main().TreeView().currentIndex()), QStringLiteral("Keys"));
        QVERIFY(!main().Modified());
    }

    // A name of millions of characters stays whole in the document but both
    // trees show it cut: laying it all out would freeze the window.
    void hugeNamesAreShownCut()
    {
        const QByteArray name(2000000, 'n');
        QVERIFY(main().XMLDocumentData().loadText("<data><folder name='" + name + "' type='AUTO'/></data>"));
        main().RebuildTree();
        const QModelIndex group = model().firstNode();
        QCOMPARE(model().caption(group).size(), name.size());
        QCOMPARE(model().data(group, Qt::DisplayRole).toString().size(), DocumentTreeModel::MaxShownCaption);

        TFormGroupSelect& groups = m_fixture->program().groupSelectWindow();
        groups.FillGroupTree();
        const QTreeWidgetItem* shown = groups.findChild<QTreeWidget*>("TreeViewGroups")->topLevelItem(0)->child(0);
        QCOMPARE(shown->text(0).size(), DocumentTreeModel::MaxShownCaption);
    }

    // The message box leaves the focus elsewhere; it goes back to the tree.
    void refusedGroupNameGivesTheFocusBackToTheTree()
    {
        select("Keys");
        main().recordEditor().controlList().at(1)->setFocus();
        main().TreeViewEdited(node("Home"), "");
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Enter Group Name first"});
        QCOMPARE(main().focusWidget(), &main().TreeView());
        QVERIFY(!main().Modified());
    }

    void pointerAndF2_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("gesture");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("current"); // afterwards
        QTest::addColumn<bool>("renaming");
        QTest::newRow("click on another node selects it") << "Work" << int(ClickCaption) << "Home"
                                                          << "Home" << false;
        QTest::newRow("click on the selected node keeps it") << "Home" << int(ClickCaption) << "Home"
                                                             << "Home" << false;
        QTest::newRow("arrow of another group") << "Work" << int(ClickArrow) << "Home"
                                                << "Home" << false;
        QTest::newRow("arrow of the selected group") << "Home" << int(ClickArrow) << "Home"
                                                     << "Home" << false;
        QTest::newRow("click below the nodes keeps the record") << "Keys" << int(ClickBelowNodes) << ""
                                                                << "Keys" << false;
        QTest::newRow("F2 renames the selected node") << "Keys" << int(KeyF2) << ""
                                                      << "Keys" << true;
        QTest::newRow("Rename renames the selected node") << "Keys" << int(RenameCommand) << ""
                                                          << "Keys" << true;
    }

    // Only F2 or Rename opens the caption editor, never a click; whatever the
    // pointer does, the current node stays highlighted and the document
    // unchanged.
    void pointerAndF2()
    {
        QFETCH(QString, selected);
        QFETCH(int, gesture);
        QFETCH(QString, target);
        QFETCH(QString, current);
        QFETCH(bool, renaming);
        QTreeView& tree = main().TreeView();
        tree.expandAll();
        select(selected);
        const bool wasExpanded = tree.isExpanded(node("Home"));
        const QRect caption = tree.visualRect(node(target));
        switch (gesture) {
        case ClickCaption: QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, caption.center()); break;
        case ClickArrow:
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                              QPoint(caption.left() - tree.indentation() / 2, caption.center().y()));
            break;
        case ClickBelowNodes:
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(5, tree.viewport()->height() - 5));
            break;
        case KeyF2: QTest::keyClick(&tree, Qt::Key_F2); break;
        default: main().actions().rename->trigger();
        }
        const auto editing = [&] {
            const auto* editor = tree.viewport()->findChild<QLineEdit*>();
            return editor && editor->isVisible();
        };
        if (renaming) {
            QTRY_VERIFY(editing());
        } else {
            QTest::qWait(2 * QApplication::doubleClickInterval());
            QVERIFY(!editing());
        }
        QCOMPARE(tree.currentIndex(), node(current));
        QVERIFY(tree.selectionModel()->isSelected(tree.currentIndex()));
        QCOMPARE(main().recordEditor().isEmpty(), !model().nodeData(tree.currentIndex())->isRecord);
        QCOMPARE(tree.isExpanded(node("Home")), gesture == ClickArrow ? !wasExpanded : wasExpanded);
        QVERIFY(!main().Modified());
    }

    void keyboardOpensTheContextMenuAtTheCurrentNode_data()
    {
        QTest::addColumn<int>("key"); // 0: the context menu event a platform makes of the Menu key
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Menu key") << int(Qt::Key_Menu) << Qt::KeyboardModifiers();
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier);
        QTest::newRow("context menu event") << 0 << Qt::KeyboardModifiers();
    }

    void keyboardOpensTheContextMenuAtTheCurrentNode()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QTreeView& tree = main().TreeView();
        tree.expandAll();
        select("Keys");
        QWindow* window = main().windowHandle();
        if (key) {
            QTest::keyClick(window, Qt::Key(key), modifiers);
        } else {
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), tree.mapToGlobal(QPoint()));
            QApplication::sendEvent(&tree, &event);
        }
        QMenu& menu = main().PopupMenuTree();
        QTRY_COMPARE(QApplication::activePopupWidget(), &menu);
        QCOMPARE(menu.pos(), tree.viewport()->mapToGlobal(tree.visualRect(node("Keys")).bottomLeft()));
        QCOMPARE(menu.activeAction(), main().actions().newGroup);

        // New Record, New Field, Rename, Delete: the keys reach the menu, not the tree.
        for (int step = 0; step < 4; ++step)
            QTest::keyClick(window, Qt::Key_Down);
        QCOMPARE(menu.activeAction(), main().actions().deleteItem);
        m_fixture->messages.answers.enqueue(Answer::Yes);
        QTest::keyClick(window, Qt::Key_Return);
        QTRY_VERIFY(!node("Keys").isValid());
        QVERIFY(!menu.isVisible());
    }

    void keysOfTheTree()
    {
        select("Work");
        main().TreeView().setFocus();
        m_fixture->messages.answers.enqueue(Answer::Yes);
        QTest::keyClick(&main().TreeView(), Qt::Key_Delete);
        QVERIFY(!node("Work").isValid());
    }
};

QTEST_MAIN(TestTreeCommands)
#include "tst_treecommands.moc"
