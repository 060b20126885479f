#include "config/CaptionTable.h"
#include "config/ProgramPaths.h"
#include "document/DataDocument.h"
#include "document/Schema.h"
#include "document/TreeEditing.h"
#include "document/ui/DocumentTreeModel.h"
#include "document/ui/FormGroupSelect.h"
#include "document/ui/FormNewField.h"
#include "document/ui/FormNewGroup.h"
#include "document/ui/FormNewRecord.h"
#include "document/ui/MainTreeSelection.h"
#include "document/ui/TypeIcons.h"

#include "support/ScriptedMessageService.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <cstring>
#include <functional>

namespace {

const QByteArray Document =
    "<data>"
    "<record type=\"DEFAULT\" parent_type=\"Note\"><label link=\"\">Top note</label></record>"
    "<folder name=\"Work\" type=\"BUSINESS\">"
    "<folder name=\"Servers\" type=\"NOTYPE\">"
    "<record type=\"DEFAULT\" parent_type=\"Note\"><label link=\"\">Mail server</label></record>"
    "</folder>"
    "</folder>"
    "<folder name=\"Home\" type=\"FAMILY\"/>"
    "</data>";

// The tree icons as the built program has them.
QList<QIcon> programTreeIcons()
{
    return TypeIcons::treeIcons(ProgramPaths(TestSupport::programDir() + "/zantrove").iconsFolder());
}

// The main window's tree as the creation windows see it: a document, its tree
// and one selected node.
class FakeMainTree : public MainTreeSelection {
public:
    FakeMainTree()
    {
        document.loadText(Document);
        model.RebuildTree(document.root());
    }

    // The group named name, or the record whose label reads name.
    pugi::xml_node item(const char* name) const
    {
        return document.root().find_node([name](const pugi::xml_node& node) {
            return std::strcmp(node.attribute("name").value(), name) == 0
                   || std::strcmp(node.child(Schema::LabelElement).text().get(), name) == 0;
        });
    }
    // An empty name selects nothing.
    void select(const char* name) { selected = *name ? model.FindTreeNode(item(name)) : QModelIndex(); }

    const TTreeNodeData* selectedNode() const override { return model.nodeData(selected); }
    const TTreeNodeData* selectedNodeParent() const override { return model.nodeData(selected.parent()); }
    pugi::xml_node dataElement() const override { return document.root(); }
    pugi::xml_node createGroup(const pugi::xml_node& parent, const QString& name, int iconPosition) override
    {
        const pugi::xml_node folder = TreeEditing::appendGroup(parent ? parent : document.root(), name, iconPosition);
        if (!folder)
            return {};
        ++groupsCreated;
        model.RebuildTree(document.root());
        selected = model.FindTreeNode(folder);
        return folder;
    }

    DataDocument document;
    DocumentTreeModel model{programTreeIcons()};
    QModelIndex selected;
    int groupsCreated = 0;
};

// Runs action once dialog is the innermost modal window. A modal loop that is
// still open after five seconds is cancelled, so a failing test cannot hang.
void whenModal(QDialog* dialog, std::function<void()> action)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == dialog) {
            poll->deleteLater();
            action();
        } else if (++*tries > 500) {
            poll->deleteLater();
            if (auto* stuck = qobject_cast<QDialog*>(modal))
                stuck->reject();
            QFAIL("the expected window never became modal");
        }
    });
    poll->start(10);
}

template <typename T>
T* control(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

void click(const QWidget& window, const char* button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

QTreeWidgetItem* treeItem(const TFormGroupSelect& window, const QString& caption)
{
    const QList<QTreeWidgetItem*> found =
        control<QTreeWidget>(window, "TreeViewGroups")->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

// All windows wired as the main window wires them.
struct Windows {
    explicit Windows(const QString& programFolder = QString())
        : paths(programFolder + "/zantrove")
    {
        groupSelect.setNewGroupWindow(&newGroup);
        newGroup.setGroupSelectWindow(&groupSelect);
        newRecord.setGroupSelectWindow(&groupSelect);
    }

    FakeMainTree tree;
    CaptionTable captions;
    ScriptedMessageService messages;
    ProgramPaths paths;
    const QList<QIcon> icons = programTreeIcons();
    TFormGroupSelect groupSelect{captions, tree, icons};
    TFormNewGroup newGroup{captions, messages, icons};
    TFormNewRecord newRecord{captions, messages, tree, icons};
    TFormNewField newField{captions, messages};
};

QByteArray catalogueOf(const QByteArray& entries)
{
    return "<catalogue><types>" + entries + "</types></catalogue>";
}

const QByteArray ThreeTypes = catalogueOf(
    "<type type=\"CAR INFO\" name=\"Car\"><l link=\"Model\"/><field name=\"Model\" basic_type=\"TEXT\"/></type>"
    "<type type=\"UNKNOWN\" name=\"Misc\"><l link=\"\"/></type>"
    "<type type=\"ADDRESS\" name=\"Address\"><l link=\"\"/></type>");

} // namespace

class TestCreationWindows : public QObject {
    Q_OBJECT

private slots:
    void parentFollowsMainTreeSelection_data();
    void parentFollowsMainTreeSelection();
    void selectionTreeListsGroupsAndPreselects();
    void createGroupOfferedOnlyFromNewRecordWindow();
    void okInSelectionSetsParent_data();
    void okInSelectionSetsParent();
    void createNewGroupAddsGroupUnderSelection();
    void emptyNameIsRefused_data();
    void emptyNameIsRefused();
    void typeProposesIconAndKeepsTheUsersChoice();
    void missingCatalogueIsReported();
    void newFieldWindowStartsWithTextAndEmptyName();
    void oneTimeCodeIsCheckedBeforeOk();
};

void TestCreationWindows::parentFollowsMainTreeSelection_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("parentText");
    QTest::addColumn<QString>("parentGroup");

    QTest::newRow("nothing") << QString() << "Root" << QString();
    QTest::newRow("top-level record") << "Top note"
                                      << "Root" << QString();
    QTest::newRow("record in a subgroup") << "Mail server"
                                          << "Servers"
                                          << "Servers";
    QTest::newRow("group") << "Work"
                           << "Work"
                           << "Work";
}

// The new group window is preset by its caller; the new record window presets
// itself on every showing.
void TestCreationWindows::parentFollowsMainTreeSelection()
{
    QFETCH(QString, selected);
    QFETCH(QString, parentText);
    QFETCH(QString, parentGroup);
    Windows windows;
    windows.tree.select(selected.toUtf8().constData());
    const pugi::xml_node expected =
        parentGroup.isEmpty() ? pugi::xml_node() : windows.tree.item(parentGroup.toUtf8().constData());

    windows.newGroup.PresetParentFromTree(windows.tree);
    QCOMPARE(control<QLineEdit>(windows.newGroup, "EditParentGroup")->text(), parentText);
    QVERIFY(windows.newGroup.chosenParent() == expected);

    windows.newRecord.open();
    QCOMPARE(control<QLineEdit>(windows.newRecord, "EditParentGroup")->text(), parentText);
    QVERIFY(windows.newRecord.chosenParent() == expected);
    windows.newRecord.reject();
}

void TestCreationWindows::selectionTreeListsGroupsAndPreselects()
{
    Windows windows;
    windows.tree.select("Mail server");
    windows.groupSelect.open();

    auto* tree = control<QTreeWidget>(windows.groupSelect, "TreeViewGroups");
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("Root"));
    QCOMPARE(root->childCount(), 2);
    QCOMPARE(root->child(0)->text(0), QStringLiteral("Work"));
    QCOMPARE(root->child(1)->text(0), QStringLiteral("Home"));
    QCOMPARE(root->child(0)->childCount(), 1);
    QCOMPARE(root->child(0)->child(0)->text(0), QStringLiteral("Servers"));
    QCOMPARE(root->child(0)->child(0)->childCount(), 0);

    const TTreeNodeData* selected = windows.groupSelect.selectedNodeData();
    QVERIFY(selected);
    QVERIFY(selected->element == windows.tree.item("Servers"));
    QCOMPARE(selected->parentCaption(), QStringLiteral("Work"));
    QCOMPARE(tree->currentItem(), root->child(0)->child(0));

    // A top-level record preselects nothing; the tree is refilled on showing.
    windows.groupSelect.reject();
    windows.tree.select("Top note");
    windows.groupSelect.open();
    QVERIFY(!windows.groupSelect.selectedNodeData());
    windows.groupSelect.reject();
}

void TestCreationWindows::createGroupOfferedOnlyFromNewRecordWindow()
{
    Windows windows;
    QList<bool> offered;
    const auto note = [&] {
        offered.append(control<QPushButton>(windows.groupSelect, "JvXPButtonNewGroup")->isVisible());
        windows.groupSelect.reject();
    };

    windows.newGroup.open();
    whenModal(&windows.groupSelect, note);
    click(windows.newGroup, "JvXPButtonSelectGroup");
    windows.newGroup.reject();

    windows.newRecord.open();
    whenModal(&windows.groupSelect, note);
    click(windows.newRecord, "JvXPButtonSelectGroup");
    windows.newRecord.reject();

    QCOMPARE(offered, QList<bool>({false, true}));
}

void TestCreationWindows::okInSelectionSetsParent_data()
{
    QTest::addColumn<QString>("choice"); // empty: no selection
    QTest::addColumn<QString>("parentText");

    QTest::newRow("Root") << "Root"
                          << "Root";
    QTest::newRow("nothing") << QString() << "Root";
    QTest::newRow("group") << "Home"
                           << "Home";
}

void TestCreationWindows::okInSelectionSetsParent()
{
    QFETCH(QString, choice);
    QFETCH(QString, parentText);
    Windows windows;
    windows.tree.select("Mail server");
    windows.newGroup.PresetParentFromTree(windows.tree);
    windows.newGroup.open();

    whenModal(&windows.groupSelect, [&] {
        auto* tree = control<QTreeWidget>(windows.groupSelect, "TreeViewGroups");
        tree->clearSelection();
        if (!choice.isEmpty())
            tree->setCurrentItem(treeItem(windows.groupSelect, choice));
        click(windows.groupSelect, "JvXPButtonOk");
    });
    click(windows.newGroup, "JvXPButtonSelectGroup");

    QCOMPARE(control<QLineEdit>(windows.newGroup, "EditParentGroup")->text(), parentText);
    const pugi::xml_node expected = parentText == "Root" ? pugi::xml_node() : windows.tree.item("Home");
    QVERIFY(windows.newGroup.chosenParent() == expected);
    windows.newGroup.reject();
}

void TestCreationWindows::createNewGroupAddsGroupUnderSelection()
{
    Windows windows;
    windows.newRecord.open();
    QString presetInNewGroup;
    bool selectButtonShownInNewGroup = true;
    QString preselectedAfterwards;

    whenModal(&windows.groupSelect, [&] {
        control<QTreeWidget>(windows.groupSelect, "TreeViewGroups")
            ->setCurrentItem(treeItem(windows.groupSelect, "Home"));
        whenModal(&windows.newGroup, [&] {
            presetInNewGroup = control<QLineEdit>(windows.newGroup, "EditParentGroup")->text();
            selectButtonShownInNewGroup = control<QPushButton>(windows.newGroup, "JvXPButtonSelectGroup")->isVisible();
            QTest::keyClicks(control<QLineEdit>(windows.newGroup, "EditName"), "Garden");
            control<QComboBox>(windows.newGroup, "ComboBoxExIcons")->setCurrentIndex(2);
            click(windows.newGroup, "JvXPButtonOk");
        });
        click(windows.groupSelect, "JvXPButtonNewGroup");
        const TTreeNodeData* selected = windows.groupSelect.selectedNodeData();
        preselectedAfterwards = selected ? qText(selected->element.attribute("name")) : QString();
        windows.groupSelect.reject();
    });
    click(windows.newRecord, "JvXPButtonSelectGroup");
    windows.newRecord.reject();

    QCOMPARE(presetInNewGroup, QStringLiteral("Home"));
    QVERIFY(!selectButtonShownInNewGroup);
    QCOMPARE(preselectedAfterwards, QStringLiteral("Garden"));
    QCOMPARE(windows.tree.groupsCreated, 1);

    const pugi::xml_node garden = windows.tree.item("Home").child(Schema::GroupElement);
    QCOMPARE(qText(garden.attribute("name")), QStringLiteral("Garden"));
    QCOMPARE(qText(garden.attribute("type")), Schema::TypeKeyForIndex(2, false));
    QVERIFY(windows.tree.selectedNode()->element == garden);
    // The cancelled selection left the record's parent as it was.
    QCOMPARE(control<QLineEdit>(windows.newRecord, "EditParentGroup")->text(), QStringLiteral("Root"));
    QVERIFY(!control<QPushButton>(windows.newGroup, "JvXPButtonSelectGroup")->isHidden());
}

void TestCreationWindows::emptyNameIsRefused_data()
{
    QTest::addColumn<bool>("field");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");

    QTest::newRow("group") << false << "EditName" << int(MessageService::Kind::Error) << "Enter Group Name first";
    QTest::newRow("field") << true << "EditField" << int(MessageService::Kind::Information) << "Enter Field Name first";
}

void TestCreationWindows::emptyNameIsRefused()
{
    QFETCH(bool, field);
    QFETCH(QString, edit);
    QFETCH(int, kind);
    QFETCH(QString, message);
    Windows windows;
    QDialog& window = field ? static_cast<QDialog&>(windows.newField) : windows.newGroup;
    window.open();
    auto* name = control<QLineEdit>(window, qPrintable(edit));
    control<QPushButton>(window, "JvXPButtonCancel")->setFocus();

    click(window, "JvXPButtonOk");
    QVERIFY(window.isVisible());
    QCOMPARE(windows.messages.shown.size(), 1);
    QCOMPARE(int(windows.messages.shown[0].kind), kind);
    QCOMPARE(windows.messages.shown[0].text, message);
    QCOMPARE(window.focusWidget(), name);

    // Enter in the name box is the default button.
    QTest::keyClicks(name, "Keys");
    QTest::keyClick(name, Qt::Key_Return);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(field ? windows.newField.fieldName() : windows.newGroup.groupName(), QStringLiteral("Keys"));
}

void TestCreationWindows::typeProposesIconAndKeepsTheUsersChoice()
{
    QTemporaryDir program;
    TestSupport::writeFile(program.filePath("config.xml"), ThreeTypes);
    Windows windows(program.path());
    QVERIFY(windows.newRecord.LoadCatalogue(windows.paths, "English"));
    auto* types = control<QComboBox>(windows.newRecord, "ComboBoxTypes");
    auto* icons = control<QComboBox>(windows.newRecord, "ComboBoxExIcons");
    const int carIcon = Schema::TypeImageIndex("CAR INFO", true) - Schema::FirstRecordIcon;
    QCOMPARE(icons->count(), Schema::RecordIconCount);
    QVERIFY(icons->itemText(0).isEmpty());

    windows.newRecord.open();
    QCOMPARE(windows.newRecord.chosenTypeName(), QStringLiteral("Car"));
    QCOMPARE(windows.newRecord.iconPosition(), carIcon);
    types->setCurrentIndex(1);
    QCOMPARE(windows.newRecord.iconPosition(), 0); // an unknown key proposes DEFAULT
    icons->setCurrentIndex(7);
    QTest::keyClicks(control<QLineEdit>(windows.newRecord, "EditName"), "Spare");
    click(windows.newRecord, "JvXPButtonOk");
    QCOMPARE(windows.newRecord.result(), int(QDialog::Accepted));
    QCOMPARE(windows.newRecord.chosenTypeName(), QStringLiteral("Misc"));
    QCOMPARE(windows.newRecord.recordName(), QStringLiteral("Spare"));
    QCOMPARE(windows.newRecord.iconPosition(), 7);

    // The next showing starts over, and Misc now proposes the user's icon.
    windows.newRecord.open();
    QVERIFY(control<QLineEdit>(windows.newRecord, "EditName")->text().isEmpty());
    QCOMPARE(windows.newRecord.chosenTypeName(), QStringLiteral("Car"));
    QCOMPARE(windows.newRecord.iconPosition(), carIcon);
    types->setCurrentIndex(1);
    QCOMPARE(windows.newRecord.iconPosition(), 7);
    windows.newRecord.reject();

    // Reading the catalogue again forgets the choice.
    QVERIFY(windows.newRecord.ApplyNewRecordCaptions(windows.paths, "English"));
    windows.newRecord.open();
    types->setCurrentIndex(1);
    QCOMPARE(windows.newRecord.iconPosition(), 0);
    windows.newRecord.reject();
    QCOMPARE(control<QLabel>(windows.newRecord, "LabelType")->text(), QStringLiteral("Record Type:"));
}

void TestCreationWindows::missingCatalogueIsReported()
{
    QTemporaryDir program;
    QVERIFY(QDir(program.path()).mkpath("languages/English"));
    Windows windows(program.path());

    QVERIFY(!windows.newRecord.LoadCatalogue(windows.paths, "English"));
    QCOMPARE(windows.messages.shown.size(), 1);
    QCOMPARE(windows.messages.shown[0].kind, MessageService::Kind::Error);
    QCOMPARE(windows.messages.shown[0].text, QStringLiteral("Config file not found"));

    // An empty entry level offers no type at all.
    TestSupport::writeFile(program.filePath("config.xml"), catalogueOf(""));
    QVERIFY(windows.newRecord.LoadCatalogue(windows.paths, "English"));
    windows.newRecord.open();
    QVERIFY(windows.newRecord.chosenTypeName().isEmpty());
    windows.newRecord.reject();
}

void TestCreationWindows::newFieldWindowStartsWithTextAndEmptyName()
{
    Windows windows;
    auto* types = control<QComboBox>(windows.newField, "ComboBoxTypes");
    auto* name = control<QLineEdit>(windows.newField, "EditField");
    QCOMPARE(types->count(), 8);
    QCOMPARE(types->itemText(2), QStringLiteral("E-Mail"));
    QVERIFY(!control<QLineEdit>(windows.newField, "EditSeed")->isVisibleTo(&windows.newField));

    windows.newField.open();
    QTest::keyClicks(name, "Born");
    types->setCurrentIndex(4);
    QCOMPARE(windows.newField.chosenTypeCaption(), QStringLiteral("Date"));
    QTest::keyClick(name, Qt::Key_Escape);
    QCOMPARE(windows.newField.result(), int(QDialog::Rejected));

    windows.newField.open();
    QVERIFY(name->text().isEmpty());
    QCOMPARE(windows.newField.chosenTypeCaption(), QStringLiteral("Text"));

    // A language change lists the translated captions and chooses the first.
    types->setCurrentIndex(3);
    windows.captions.setLines(NameValueList({"FieldText=Texte", "NewFieldLabelType=Type"}));
    windows.newField.ApplyNewFieldCaptions();
    QCOMPARE(types->currentIndex(), 0);
    QCOMPARE(windows.newField.chosenTypeCaption(), QStringLiteral("Texte"));
    QCOMPARE(control<QLabel>(windows.newField, "LabelType")->text(), QStringLiteral("Type:"));
    windows.newField.reject();
}

// A one-time code is a Text field holding its address; what makes no code is
// refused, and a bare secret becomes an address.
void TestCreationWindows::oneTimeCodeIsCheckedBeforeOk()
{
    Windows windows;
    auto* seed = control<QLineEdit>(windows.newField, "EditSeed");
    auto* firstCode = control<QLabel>(windows.newField, "LabelFirstCode");
    windows.newField.open();
    control<QComboBox>(windows.newField, "ComboBoxTypes")->setCurrentIndex(7);
    QCOMPARE(control<QLineEdit>(windows.newField, "EditField")->text(), QStringLiteral("One-time code"));
    QTest::keyClicks(seed, "not a secret");
    QVERIFY(firstCode->text().isEmpty());
    QTest::mouseClick(control<QPushButton>(windows.newField, "JvXPButtonOk"), Qt::LeftButton);
    QCOMPARE(windows.messages.texts(), QStringList{"Paste an otpauth:// address or a Base32 secret"});
    QVERIFY(windows.newField.isVisible());

    seed->setText("gezd gnbv gy3t qojq gezd gnbv gy3t qojq");
    QVERIFY(QRegularExpression("^Code now: \\d{6}$").match(firstCode->text()).hasMatch());
    QTest::mouseClick(control<QPushButton>(windows.newField, "JvXPButtonOk"), Qt::LeftButton);
    QCOMPARE(windows.newField.chosenTypeCaption(), QStringLiteral("Text"));
    QCOMPARE(windows.newField.initialValue(),
             QStringLiteral("otpauth://totp/One-time%20code?secret=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ"));
}

QTEST_MAIN(TestCreationWindows)
#include "tst_creationwindows.moc"
