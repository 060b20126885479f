#include "ProgramFixture.h"

#include "app/ui/DeletionQuestion.h"
#include "app/ui/TreeFilterBar.h"
#include "app/ui/UndoCommands.h"
#include "config/CaptionTable.h"
#include "config/ProgramPaths.h"
#include "document/DocumentEditing.h"
#include "document/DocumentHistory.h"
#include "document/FieldFormats.h"
#include "document/Schema.h"
#include "document/ui/FormNewField.h"
#include "document/ui/FormNewGroup.h"
#include "document/ui/FormNewRecord.h"
#include "document/ui/TypeIcons.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Records come first at each level of the tree; Pin is of no type the editor shows.
const QByteArray Sample = R"(<data><folder name='Home' type='PRIVATE'><folder name='Cars' type='AUTO'/>
<record parent_type='Note' type='NOTE'><label link='Title'/><field name='Title' basic_type='TEXT'>Keys</field>
<field name='Pin' basic_type='NOSUCHTYPE'/><field name='Door' basic_type='TEXT'/></record></folder>
<folder name='Work' type='OFFICE'><folder name='Desk' type='NOTYPE'/></folder></data>)";
const QStringList SampleOutline{"Home", "  Keys", "  Cars", "Work", "  Desk"};

using Answer = MessageService::Answer;

QItemSelectionModel& showing(QTreeView& view, QAbstractItemModel& model)
{
    view.setModel(&model);
    return *view.selectionModel();
}

// The sample in its tree, with the commands and their windows wired as the main window wires them.
struct Tree {
    Tree()
    {
        document.loadText(Sample);
        commands.setCreationWindows(&newGroup, &newRecord, &newField);
        commands.RebuildTree();
    }

    QModelIndex node(const QString& caption) const { return nodeCaptioned(model, caption); }
    void select(const QString& caption) { view.setCurrentIndex(node(caption)); }
    QString selectedCaption() const { return model.caption(view.currentIndex()); }
    QStringList outline() const { return TestSupport::treeOutline(document.root()); }

    const ProgramPaths paths{TestSupport::programDir() + "/zantrove"};
    const QList<QIcon> icons = TypeIcons::treeIcons(paths.iconsFolder());
    DataDocument document;
    CaptionTable captions;
    ScriptedMessageService messages;
    DocumentHistory history{document};
    DocumentEditing editing{document, history, captions};
    DocumentTreeModel model{icons};
    DocumentTreeView view;
    TreeCommands commands{editing, model, showing(view, model), view, captions, messages};
    TFormNewGroup newGroup{captions, messages, icons};
    TFormNewRecord newRecord{captions, messages, commands, icons};
    TFormNewField newField{captions, messages};
    // Every change the commands make goes into the history, where undo finds it.
    QSignalSpy changes{&history, &DocumentHistory::changed};
};

} // namespace

class TestTreeCommandUnit : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_tree = std::make_unique<Tree>();
        QVERIFY(m_tree->newRecord.LoadCatalogue(m_tree->paths, "English"));
    }
    void cleanup() { m_tree.reset(); }

    void creatingAnItem_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("name"); // name and type empty: the window is cancelled
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("outline");
        QTest::addColumn<QString>("selectedAfter");
        QTest::addColumn<QString>("datedField"); // a Date field of the selected item that must hold today
        const QStringList withGarden{"Home", "  Keys", "  Cars", "  Garden", "Work", "  Desk"};
        const QStringList withCar{"Home", "  Keys", "  Cars", "    Car", "Work", "  Desk"};
        QTest::newRow("group beside the record") << "Keys" << 0 << "Garden"
                                                 << "" << withGarden << "Garden"
                                                 << "";
        QTest::newRow("group at the top, nothing selected") << "" << 0 << "Garden"
                                                            << "" << SampleOutline + QStringList{"Garden"} << "Garden"
                                                            << "";
        QTest::newRow("record from its template") << "Cars" << 1 << ""
                                                  << "Car" << withCar << "Car"
                                                  << "Bought";
        QTest::newRow("field in English") << "Keys" << 2 << "Since"
                                          << "Date" << SampleOutline << "Keys"
                                          << "Since";
        QTest::newRow("cancelled group") << "Work" << 0 << ""
                                         << "" << SampleOutline << "Work"
                                         << "";
        QTest::newRow("cancelled record") << "Cars" << 1 << ""
                                          << "" << SampleOutline << "Cars"
                                          << "";
        QTest::newRow("no field for a group") << "Home" << 2 << "Since"
                                              << "Date" << SampleOutline << "Home"
                                              << "";
    }

    void creatingAnItem()
    {
        QFETCH(QString, selected);
        QFETCH(int, command);
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QStringList, outline);
        QFETCH(QString, selectedAfter);
        QFETCH(QString, datedField);
        Tree& tree = *m_tree;
        QDialog& window = *QList<QDialog*>{&tree.newGroup, &tree.newRecord, &tree.newField}.at(command);
        const auto run =
            QList<void (TreeCommands::*)()>{&TreeCommands::newGroup, &TreeCommands::newRecord, &TreeCommands::newField}
                .at(command);
        QSignalSpy fieldsAdded(&tree.commands, &TreeCommands::fieldAdded);
        tree.select(selected);
        WhenShown answer(window, [&] {
            if (name.isEmpty() && type.isEmpty())
                window.reject();
            else
                fillAndConfirm(window, name, type);
        });
        const QDate today = QDate::currentDate();
        (tree.commands.*run)();
        QCOMPARE(tree.outline(), outline);
        QCOMPARE(tree.selectedCaption(), selectedAfter);
        const bool added = outline != SampleOutline || !datedField.isEmpty();
        QCOMPARE(tree.changes.count(), int(added));
        QCOMPARE(fieldsAdded.count(), int(added && command == 2));
        if (!datedField.isEmpty()) {
            const pugi::xml_node field = tree.commands.selectedNode()->element.find_child_by_attribute(
                "field", "name", datedField.toUtf8().constData());
            QCOMPARE(qText(field.attribute("basic_type")), QStringLiteral("DATE"));
            QCOMPARE(qText(field.text()), FormatStoredDate(today));
        }
    }

    void deleting_data()
    {
        QTest::addColumn<QStringList>("deleted");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QStringList>("outline");
        QTest::addColumn<QString>("selectedAfter");
        QTest::newRow("answered No") << QStringList{"Cars"} << false << SampleOutline << "Cars";
        QTest::newRow("next sibling") << QStringList{"Keys"} << true << QStringList{"Home", "  Cars", "Work", "  Desk"}
                                      << "Cars";
        QTest::newRow("else previous") << QStringList{"Cars"} << true << QStringList{"Home", "  Keys", "Work", "  Desk"}
                                       << "Keys";
        QTest::newRow("else parent") << QStringList{"Desk"} << true << QStringList{"Home", "  Keys", "  Cars", "Work"}
                                     << "Work";
        QTest::newRow("groups with all under them") << QStringList{"Home", "Work"} << true << QStringList{} << "";
    }

    void deleting()
    {
        QFETCH(QStringList, deleted);
        QFETCH(bool, confirmed);
        QFETCH(QStringList, outline);
        QFETCH(QString, selectedAfter);
        Tree& tree = *m_tree;
        for (const QString& caption : deleted) {
            tree.select(caption);
            tree.messages.answers.enqueue(confirmed ? Answer::Yes : Answer::No);
            tree.commands.deleteSelected();
        }
        QCOMPARE(tree.messages.shown.size(), deleted.size());
        for (const ScriptedMessageService::Shown& question : std::as_const(tree.messages.shown))
            QCOMPARE(question.kind, MessageService::Kind::Warning);
        QCOMPARE(tree.outline(), outline);
        QCOMPARE(tree.model.nodeCount(), outline.size());
        QCOMPARE(tree.selectedCaption(), selectedAfter);
        QCOMPARE(tree.changes.count(), confirmed ? deleted.size() : 0);
    }

    void deletionQuestionSaysWhatGoes_data()
    {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<QString>("question");
        const QByteArray keys = "<record><label>Keys</label></record>";
        QTest::newRow("record") << keys << "Delete the record “Keys”?";
        QTest::newRow("no records") << QByteArray("<folder name='P'><folder name='Q'/></folder>")
                                    << "Delete the group “P”, which holds no records?";
        QTest::newRow("one record") << "<folder name='P'>" + keys + "</folder>"
                                    << "Delete the group “P” with the one record in it?";
        QTest::newRow("records at every depth")
            << "<folder name='P'>" + keys + "<folder name='Q'>" + keys + keys + "</folder></folder>"
            << "Delete the group “P” with its 3 records?";
        QTest::newRow("a long name cut") << "<folder name='" + QByteArray(500, 'n') + "'/>"
                                         << "Delete the group “" + QString(80, 'n') + "…”, which holds no records?";
    }

    void deletionQuestionSaysWhatGoes()
    {
        QFETCH(QByteArray, item);
        DataDocument document;
        QVERIFY(document.loadText("<data>" + item + "</data>"));
        QFETCH(QString, question);
        QCOMPARE(DeletionQuestion::text(CaptionTable(), document.root().first_child()),
                 question + "\nEdit ▸ Undo brings it back.");
    }

    void deletingAField_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("fieldsLeft");
        QTest::newRow("the first") << 1 << QStringList{"Pin", "Door"};
        QTest::newRow("the second shown") << 2 << QStringList{"Title", "Pin"};
        QTest::newRow("beyond the shown ones") << 3 << QStringList{"Title", "Pin", "Door"};
    }

    void deletingAField()
    {
        QFETCH(int, position);
        QFETCH(QStringList, fieldsLeft);
        Tree& tree = *m_tree;
        tree.select("Keys");
        const pugi::xml_node record = tree.commands.selectedNode()->element;
        QList<pugi::xml_node> refilled;
        connect(&tree.commands, &TreeCommands::recordFieldsChanged, this, [&](auto shown) { refilled << shown; });
        tree.commands.deleteField(position);
        QStringList names;
        for (const pugi::xml_node& field : Schema::recordFields(record))
            names << qText(field.attribute("name"));
        QCOMPARE(names, fieldsLeft);
        QCOMPARE(refilled, QList<pugi::xml_node>{record});
    }

    void renaming_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");  // the node's caption afterwards
        QTest::addColumn<QString>("stored"); // a record's label, a group's name
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("changed");
        QTest::newRow("record") << "Keys"
                                << "House keys"
                                << "House keys"
                                << "House keys" << QStringList{} << true;
        QTest::newRow("record confirmed as shown keeps following its fields") << "Keys"
                                                                              << "Keys"
                                                                              << "Keys"
                                                                              << "" << QStringList{} << false;
        QTest::newRow("record never named stays unnamed") << "Keys"
                                                          << ""
                                                          << "Keys"
                                                          << "" << QStringList{} << false;
        QTest::newRow("group and its children") << "Home"
                                                << "Family"
                                                << "Family"
                                                << "Family" << QStringList{} << true;
        QTest::newRow("group confirmed as shown") << "Home"
                                                  << "Home"
                                                  << "Home"
                                                  << "Home" << QStringList{} << false;
        QTest::newRow("group unnamed") << "Home"
                                       << ""
                                       << "Home"
                                       << "Home" << QStringList{"Enter Group Name first"} << false;
    }

    void renaming()
    {
        QFETCH(QString, before);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        QFETCH(QStringList, messages);
        Tree& tree = *m_tree;
        const QModelIndex node = tree.node(before);
        const pugi::xml_node item = tree.model.nodeData(node)->element;
        tree.commands.rename(node, text);
        QCOMPARE(tree.model.caption(node), shown);
        QCOMPARE(Schema::isRecord(item) ? qText(item.child("label").text()) : qText(item.attribute("name")), stored);
        for (int row = 0; row < tree.model.rowCount(node); ++row)
            QCOMPARE(tree.model.nodeData(tree.model.index(row, 0, node))->parentCaption(), shown);
        QCOMPARE(tree.messages.texts(), messages);
        QTEST(tree.changes.count() > 0, "changed");
    }

    void dragAndDrop_data()
    {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("target"); // empty: below the nodes
        QTest::addColumn<QStringList>("outline");
        QTest::newRow("into its own subtree") << "Home"
                                              << "Cars" << SampleOutline;
        QTest::newRow("onto its own parent") << "Keys"
                                             << "Home" << SampleOutline;
        QTest::newRow("onto a record") << "Cars"
                                       << "Keys" << SampleOutline;
        QTest::newRow("into a group") << "Home"
                                      << "Work" << QStringList{"Work", "  Desk", "  Home", "    Keys", "    Cars"};
        QTest::newRow("record to the top") << "Keys"
                                           << "" << QStringList{"Keys", "Home", "  Cars", "Work", "  Desk"};
    }

    // The drop goes through the model as the view's would; the group the user
    // opened stays open, also where it moved.
    void dragAndDrop()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(QStringList, outline);
        Tree& tree = *m_tree;
        const bool moves = outline != SampleOutline;
        tree.view.expand(tree.node("Home"));
        std::unique_ptr<QMimeData> data(tree.model.mimeData({tree.node(dragged)}));
        const QModelIndex onto = target.isEmpty() ? QModelIndex() : tree.node(target);
        QCOMPARE(tree.model.canDropMimeData(data.get(), Qt::MoveAction, -1, -1, onto), moves);
        tree.model.dropMimeData(data.get(), Qt::MoveAction, -1, -1, onto);
        QCoreApplication::processEvents();
        QCOMPARE(tree.outline(), outline);
        QCOMPARE(tree.changes.count(), int(moves));
        QVERIFY(tree.view.isExpanded(tree.node("Home")));
        if (moves)
            QCOMPARE(tree.selectedCaption(), dragged);
    }

    // Qt's model tester watches the model through each kind of change the
    // window makes and stops the test at the first broken model rule.
    void modelKeepsItsRulesThroughEdits_data()
    {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QStringList>("outline");
        QTest::addColumn<int>("nodesShown");
        const QStringList withoutCars{"Home", "  Keys", "Work", "  Desk"};
        QTest::newRow("new group") << 0 << QStringList{"Home", "  Keys", "  Cars", "  Garden", "Work", "  Desk"} << 6;
        QTest::newRow("delete") << 1 << withoutCars << 4;
        QTest::newRow("move") << 2 << QStringList{"Home", "  Keys", "Work", "  Desk", "  Cars"} << 5;
        QTest::newRow("rename") << 3 << QStringList{"Home", "  Keys", "  Cars", "Office", "  Desk"} << 5;
        QTest::newRow("undo") << 4 << SampleOutline << 5;
        QTest::newRow("redo") << 5 << withoutCars << 4;
        QTest::newRow("filter") << 6 << SampleOutline << 2;
    }

    void modelKeepsItsRulesThroughEdits()
    {
        QFETCH(int, edit);
        QFETCH(QStringList, outline);
        QFETCH(int, nodesShown);
        Tree& tree = *m_tree;
        QAbstractItemModelTester tester(&tree.model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QAction undo;
        QAction redo;
        UndoCommands undoCommands(tree.history, tree.commands, tree.captions, undo, redo);
        TreeFilterBar filter(tree.document, tree.model, tree.view, tree.commands);
        WhenShown answer(tree.newGroup, [&] { fillAndConfirm(tree.newGroup, "Garden"); });
        tree.select(edit == 0 ? "Keys" : "Cars");
        if (edit == 0)
            tree.commands.newGroup();
        if (edit == 1 || edit == 4 || edit == 5) {
            tree.messages.answers.enqueue(Answer::Yes);
            tree.commands.deleteSelected();
        }
        if (edit == 2)
            tree.commands.move(tree.model.nodeData(tree.node("Cars"))->element,
                               tree.model.nodeData(tree.node("Work"))->element);
        if (edit == 3)
            tree.commands.rename(tree.node("Work"), "Office");
        if (edit >= 4 && edit <= 5)
            undo.trigger();
        if (edit == 5)
            redo.trigger();
        if (edit == 6)
            filter.start("Desk");
        QCOMPARE(tree.outline(), outline);
        QCOMPARE(tree.model.nodeCount(), nodesShown);
    }

private:
    std::unique_ptr<Tree> m_tree;
};

QTEST_MAIN(TestTreeCommandUnit)
#include "tst_treecommandunit.moc"
