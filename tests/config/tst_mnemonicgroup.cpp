#include "config/MnemonicGroup.h"

#include <QtTest>

class TestMnemonics : public QObject {
    Q_OBJECT

private slots:
    void marksEachTextWithAFreeLetter_data();
    void marksEachTextWithAFreeLetter();
};

void TestMnemonics::marksEachTextWithAFreeLetter_data()
{
    QTest::addColumn<QStringList>("reserved");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("marked");
    QTest::newRow("first letters of words first") << QStringList() << QStringList{"New", "Open", "Save", "Save as..."}
                                                  << QStringList{"&New", "&Open", "&Save", "Save &as..."};
    QTest::newRow("then the other letters, ignoring case")
        << QStringList() << QStringList{"open", "Options", "Find", "Find"}
        << QStringList{"&open", "O&ptions", "&Find", "F&ind"};
    QTest::newRow("any sign starts a word") << QStringList() << QStringList{"Show/Hide", "E-Mail", "Select"}
                                            << QStringList{"&Show/Hide", "&E-Mail", "Se&lect"};
    QTest::newRow("other alphabets") << QStringList()
                                     << QStringList{QString::fromUtf8("Файл"), QString::fromUtf8("Формат")}
                                     << QStringList{QString::fromUtf8("&Файл"), QString::fromUtf8("Ф&ормат")};
    QTest::newRow("an ampersand of the caption shows")
        << QStringList() << QStringList{"Save & Exit", "&"} << QStringList{"&Save && Exit", "&&"};
    QTest::newRow("no free letter, no mnemonic")
        << QStringList() << QStringList{"Ab", "ab", "!"} << QStringList{"&Ab", "a&b", "!"};
    QTest::newRow("letters marked before stay taken")
        << QStringList{"&New Group", "Save &&&as", "Tom && &Jerry"} << QStringList{"Delete Field", "New", "Jar"}
        << QStringList{"&Delete Field", "N&ew", "Ja&r"};
}

void TestMnemonics::marksEachTextWithAFreeLetter()
{
    QFETCH(QStringList, reserved);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, marked);
    MnemonicGroup group;
    for (const QString& text : reserved)
        group.reserve(text);
    QStringList result;
    for (const QString& text : texts)
        result << group.mark(text);
    QCOMPARE(result, marked);
}

QTEST_GUILESS_MAIN(TestMnemonics)
#include "tst_mnemonicgroup.moc"
