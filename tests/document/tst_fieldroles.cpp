#include "document/FieldRoles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QSet>
#include <QtTest>

#include <pugixml.hpp>

namespace {

// Every field name of the shipped catalogues, in all languages.
QSet<QString> catalogueFieldNames()
{
    const QString data = TestSupport::sourceDir() + "/data";
    QStringList files{data + "/config.xml"};
    for (const QString& language : QDir(data + "/languages").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        files << data + "/languages/" + language + "/config.xml";
    QSet<QString> names;
    for (const QString& file : files) {
        const QByteArray text = TestSupport::readFile(file);
        pugi::xml_document catalogue;
        if (!catalogue.load_buffer(text.constData(), text.size()))
            qFatal("cannot read %s", qPrintable(file));
        for (const pugi::xpath_node& field : catalogue.select_nodes("//field"))
            names.insert(QString::fromUtf8(field.node().attribute("name").value()));
    }
    return names;
}

QSet<QString> namesWhere(const QSet<QString>& names, bool (*hasRole)(const QString&))
{
    QSet<QString> chosen;
    for (const QString& name : names)
        if (hasRole(name))
            chosen.insert(name);
    return chosen;
}

} // namespace

class TestFieldRoles : public QObject {
    Q_OBJECT

private slots:
    void catalogueNames_data();
    void catalogueNames();
    void namesUsersGive_data();
    void namesUsersGive();
};

void TestFieldRoles::catalogueNames_data()
{
    QTest::addColumn<bool>("secret");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("secrets") << true
                             << QStringList{"Password",
                                            "Online Password",
                                            "PIN",
                                            "CVV",
                                            "Passwort",
                                            "Online-Banking-Passwort",
                                            "Prüfnummer (CVV)",
                                            "Mot de passe",
                                            "Mot de passe en ligne",
                                            "Code PIN",
                                            "Cryptogramme (CVV)",
                                            "Пароль",
                                            "Пароль интернет-банка",
                                            "PIN-код"};
    QTest::newRow("logins")
        << false
        << QStringList{"Login",       "Online Login",         "E-Mail", "Benutzername", "Online-Banking-Benutzername",
                       "Identifiant", "Identifiant en ligne", "E-mail", "Логин",        "Логин интернет-банка",
                       "Эл. почта"};
}

// Exactly these names of the shipped catalogues have the role: none missed in
// a translation, and no other field caught by a fragment.
void TestFieldRoles::catalogueNames()
{
    QFETCH(bool, secret);
    QFETCH(QStringList, expected);
    const QSet<QString> names = catalogueFieldNames();
    QVERIFY(names.size() > 100);
    const QSet<QString> found =
        namesWhere(names, secret ? &FieldRoles::isSecretFieldName : &FieldRoles::isLoginFieldName);
    QCOMPARE(found, QSet<QString>(expected.cbegin(), expected.cend()));
}

void TestFieldRoles::namesUsersGive_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("secret");
    QTest::addColumn<bool>("login");
    QTest::newRow("capitals") << "PASSWORD" << true << false;
    QTest::newRow("fragment inside") << "Wi-Fi password 2" << true << false;
    QTest::newRow("Cyrillic capitals") << "ПАРОЛЬ" << true << false;
    QTest::newRow("blanks around") << " pin " << true << false;
    QTest::newRow("PIN inside a word") << "Spinner" << false << false;
    QTest::newRow("a secret, as an import marks one") << "Recovery code (secret)" << true << false;
    QTest::newRow("German secret") << "Geheimzahl" << true << false;
    QTest::newRow("user name") << "user name" << false << true;
    QTest::newRow("login inside a word") << "Loginserver" << false << false;
    QTest::newRow("support e-mail") << "Support E-Mail" << false << false;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("seed") << "TOTP Seed" << true << false;
    QTest::newRow("seed, any case") << "OTPSECRET" << true << false;
    QTest::newRow("seed named for a login") << "login_totp" << true << false;
    QTest::newRow("card code, as exports name it") << "VERIFICATION NUMBER" << true << false;
    QTest::newRow("card code, another name") << "Security Code" << true << false;
    QTest::newRow("card code, French") << "Code de sécurité" << true << false;
    QTest::newRow("a hidden custom field") << "Hidden Field" << true << false;
    QTest::newRow("security, not a code") << "Social Security Number" << false << false;
}

void TestFieldRoles::namesUsersGive()
{
    QFETCH(QString, name);
    QTEST(FieldRoles::isSecretFieldName(name), "secret");
    QTEST(FieldRoles::isLoginFieldName(name), "login");
}

QTEST_APPLESS_MAIN(TestFieldRoles)
#include "tst_fieldroles.moc"
