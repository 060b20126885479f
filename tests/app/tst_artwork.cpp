#include "app/ui/Artwork.h"
#include "app/ui/BackgroundPicture.h"
#include "app/ui/FormAbout.h"
#include "app/ui/HelpLinks.h"
#include "config/CaptionTable.h"
#include "config/ProgramPaths.h"
#include "document/Schema.h"
#include "document/ui/TypeIcons.h"

#include "support/RecordingDesktopLauncher.h"
#include "support/ScriptedMessageService.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(Artwork::Picture)
Q_DECLARE_METATYPE(Artwork::ActionIcon)

namespace {

ProgramPaths builtProgram()
{
    return ProgramPaths(TestSupport::programDir() + "/zantrove");
}

QSize imageSize(const QString& file)
{
    return QImageReader(file).size();
}

const QList<Artwork::ActionIcon> AllActionIcons = {
    Artwork::ActionIcon::NewGroup,    Artwork::ActionIcon::NewRecord, Artwork::ActionIcon::NewField,
    Artwork::ActionIcon::Delete,      Artwork::ActionIcon::Find,      Artwork::ActionIcon::Settings,
    Artwork::ActionIcon::RevealField, Artwork::ActionIcon::CopyField, Artwork::ActionIcon::GenerateField};

// The pixels an icon shows at size, comparable with a picture read from a file.
QImage shownAt(const QIcon& icon, int size)
{
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Only the pixels: the reader takes "@2x" in a name for a double density.
QImage fileImage(const QString& file)
{
    QImage image = QImage(file).convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1);
    return image;
}

// Left half red, right half blue.
QPixmap twoColourPicture(QSize size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    painter.fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    painter.fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), Qt::blue);
    return picture;
}

} // namespace

class TestArtwork : public QObject {
    Q_OBJECT

private slots:
    void treeIconsAreRenderedAtBothSizes();
    void picturesAreJpegsOfTheirSize_data();
    void picturesAreJpegsOfTheirSize();
    void programIconIsRendered();
    void treeIconsLoadDistinctPictures();
    void actionIconsAreRenderedAtBothSizes_data();
    void actionIconsAreRenderedAtBothSizes();
    void actionIconsLoadDistinctPictures();
    void missingArtworkGivesNullIconsAndPictures();
    void backgroundCoversTheWindowBehindItsControls();
    void nullBackgroundAddsNothing();
    void aboutWordsAreWrittenOverThePicture();
};

void TestArtwork::treeIconsAreRenderedAtBothSizes()
{
    const QString folder = builtProgram().iconsFolder();
    for (int index = 0; index <= Schema::RootIcon; ++index) {
        const QString base = folder + TypeIcons::treeIconName(index);
        QCOMPARE(imageSize(base + ".png"), QSize(16, 16));
        QCOMPARE(imageSize(base + "@2x.png"), QSize(32, 32));
    }
    QCOMPARE(TypeIcons::treeIconName(0), QStringLiteral("00-auto"));
    QCOMPARE(TypeIcons::treeIconName(14), QStringLiteral("14-drivers-license"));
    QCOMPARE(TypeIcons::treeIconName(Schema::RootIcon), QStringLiteral("26-root"));
}

void TestArtwork::picturesAreJpegsOfTheirSize_data()
{
    QTest::addColumn<Artwork::Picture>("picture");
    QTest::addColumn<QSize>("size");
    QTest::newRow("splash") << Artwork::Picture::Splash << QSize(500, 300);
    QTest::newRow("about") << Artwork::Picture::About << QSize(497, 299);
    QTest::newRow("main window") << Artwork::Picture::MainBackground << QSize(727, 566);
    QTest::newRow("dialogs") << Artwork::Picture::DialogBackground << QSize(361, 209);
    QTest::newRow("settings") << Artwork::Picture::SettingsBackground << QSize(233, 313);
}

void TestArtwork::picturesAreJpegsOfTheirSize()
{
    QFETCH(Artwork::Picture, picture);
    QFETCH(QSize, size);
    QImageReader reader(Artwork::pictureFile(builtProgram(), picture), "jpeg");
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QCOMPARE(Artwork::picture(builtProgram(), picture).size(), size);
}

void TestArtwork::programIconIsRendered()
{
    QCOMPARE(imageSize(Artwork::programIconFile(builtProgram())), QSize(256, 256));
    QVERIFY(!Artwork::programIcon(builtProgram()).isNull());
    // The desktop entry's icon is the drawing itself.
    QVERIFY(QFile::exists(builtProgram().iconsFolder() + "zantrove.svg"));
}

void TestArtwork::treeIconsLoadDistinctPictures()
{
    const QList<QIcon> icons = TypeIcons::treeIcons(builtProgram().iconsFolder());
    QCOMPARE(icons.size(), Schema::RootIcon + 1);
    QList<QImage> seen;
    for (const QIcon& icon : icons) {
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
        QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
        const QImage small = icon.pixmap(QSize(16, 16)).toImage();
        // Every type has a picture of its own.
        QVERIFY(!seen.contains(small));
        seen << small;
    }
}

void TestArtwork::actionIconsAreRenderedAtBothSizes_data()
{
    QTest::addColumn<Artwork::ActionIcon>("icon");
    QTest::addColumn<QString>("name");
    QTest::newRow("new group") << Artwork::ActionIcon::NewGroup << "action-new-group";
    QTest::newRow("new record") << Artwork::ActionIcon::NewRecord << "action-new-record";
    QTest::newRow("new field") << Artwork::ActionIcon::NewField << "action-new-field";
    QTest::newRow("delete") << Artwork::ActionIcon::Delete << "action-delete";
    QTest::newRow("find") << Artwork::ActionIcon::Find << "action-find";
    QTest::newRow("settings") << Artwork::ActionIcon::Settings << "action-settings";
    QTest::newRow("reveal field") << Artwork::ActionIcon::RevealField << "action-reveal-field";
    QTest::newRow("copy field") << Artwork::ActionIcon::CopyField << "action-copy-field";
    QTest::newRow("generate field") << Artwork::ActionIcon::GenerateField << "action-generate-field";
}

void TestArtwork::actionIconsAreRenderedAtBothSizes()
{
    QFETCH(Artwork::ActionIcon, icon);
    QFETCH(QString, name);
    QCOMPARE(Artwork::actionIconName(icon), name);
    const QString base = builtProgram().iconsFolder() + name;
    QCOMPARE(imageSize(base + ".png"), QSize(16, 16));
    QCOMPARE(imageSize(base + "@2x.png"), QSize(32, 32));

    // The menus and the tool buttons each get the picture drawn for their
    // size, not the other one scaled.
    const QIcon loaded = Artwork::actionIcon(builtProgram(), icon);
    QVERIFY(!loaded.isNull());
    QCOMPARE(shownAt(loaded, 16), fileImage(base + ".png"));
    QCOMPARE(shownAt(loaded, 32), fileImage(base + "@2x.png"));
}

void TestArtwork::actionIconsLoadDistinctPictures()
{
    const QList<QIcon> treeIconList = TypeIcons::treeIcons(builtProgram().iconsFolder());
    QList<QImage> seen;
    for (const QIcon& icon : treeIconList)
        seen << shownAt(icon, 32);
    for (Artwork::ActionIcon action : AllActionIcons) {
        const QImage large = shownAt(Artwork::actionIcon(builtProgram(), action), 32);
        QVERIFY2(!large.isNull(), qPrintable(Artwork::actionIconName(action)));
        // No two actions, and no action and tree icon, look alike.
        QVERIFY2(!seen.contains(large), qPrintable(Artwork::actionIconName(action)));
        seen << large;
    }
}

void TestArtwork::missingArtworkGivesNullIconsAndPictures()
{
    QTemporaryDir empty;
    const ProgramPaths broken(empty.filePath("zantrove"));
    const QList<QIcon> icons = TypeIcons::treeIcons(broken.iconsFolder());
    QCOMPARE(icons.size(), Schema::RootIcon + 1);
    for (const QIcon& icon : icons)
        QVERIFY(icon.isNull());
    QVERIFY(Artwork::programIcon(broken).isNull());
    for (Artwork::ActionIcon action : AllActionIcons)
        QVERIFY(Artwork::actionIcon(broken, action).isNull());
    QVERIFY(Artwork::picture(broken, Artwork::Picture::About).isNull());

    // A window whose picture is missing still works.
    CaptionTable captions;
    RecordingDesktopLauncher launcher;
    ScriptedMessageService messages;
    HelpLinks links(broken, captions, messages, launcher);
    TFormAbout about(captions, links, Artwork::picture(broken, Artwork::Picture::About));
    about.show();
    QVERIFY(!about.findChild<BackgroundPicture*>());
    QTest::mouseClick(about.findChild<QPushButton*>("LabelSite"), Qt::LeftButton);
    QCOMPARE(launcher.openedUrls.size(), 1);
}

void TestArtwork::backgroundCoversTheWindowBehindItsControls()
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    edit->setGeometry(10, 10, 60, 20);
    // Wider than the window: scaled to its height, the middle shows.
    auto* background = BackgroundPicture::showBehind(&window, twoColourPicture(QSize(40, 20)));
    QVERIFY(background);
    QCOMPARE(window.children().first(), background);
    window.resize(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(background->geometry(), window.rect());

    edit->hide();
    const QImage shown = window.grab().toImage();
    QCOMPARE(shown.pixelColor(2, 95), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(45, 50), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(55, 50), QColor(Qt::blue));
    QCOMPARE(shown.pixelColor(97, 2), QColor(Qt::blue));

    // The pointer reaches the controls in front of it, and passes through
    // the picture elsewhere.
    edit->show();
    QCOMPARE(window.childAt(edit->geometry().center()), edit);
    QCOMPARE(window.childAt(90, 90), nullptr);

    window.resize(160, 120);
    QCOMPARE(background->geometry(), window.rect());
}

void TestArtwork::nullBackgroundAddsNothing()
{
    QWidget window;
    QVERIFY(!BackgroundPicture::showBehind(&window, QPixmap()));
    QVERIFY(window.children().isEmpty());
}

// The picture leaves room for the words, which the window writes in each
// language; they fit there, and nothing dark of the picture is behind them.
void TestArtwork::aboutWordsAreWrittenOverThePicture()
{
    const QString languages = TestSupport::sourceDir() + "/data/languages/";
    const QPixmap picture = Artwork::picture(builtProgram(), Artwork::Picture::About);
    const QImage image = picture.toImage();
    RecordingDesktopLauncher launcher;
    ScriptedMessageService messages;
    const QStringList names = QDir(languages).entryList(QDir::Dirs | QDir::NoDotAndDotDot) << "English";
    for (const QString& language : names) {
        CaptionTable captions;
        captions.load(languages + language + "/lang.ini");
        HelpLinks links(builtProgram(), captions, messages, launcher);
        TFormAbout about(captions, links, picture);
        for (const char* name : {"LabelTagline", "LabelDescription"}) {
            const auto* label = about.findChild<QLabel*>(name);
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(label->text()));
            for (int y = label->y(); y < label->y() + label->height(); y += 2) {
                for (int x = label->x(); x < label->x() + label->width(); x += 2)
                    QVERIFY(image.pixelColor(x, y).lightness() > 150);
            }
        }
    }
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
