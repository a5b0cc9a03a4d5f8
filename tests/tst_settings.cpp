#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "shell/identity.h"

using namespace tolvex;

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void firstRunGivesDefaults();
    void valuesRoundTripExactly_data();
    void valuesRoundTripExactly();
    void emptyStoredValueLoadsEmpty();
    void fileIsOwnerOnly();
    void unwritableStoreIsReported();
    void dialogResult_data();
    void dialogResult();

private:
    QString file() const { return dir->filePath(QStringLiteral("Tolvex/Tolvex.ini")); }
    std::unique_ptr<QTemporaryDir> dir;
};

void TestSettings::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestSettings::firstRunGivesDefaults()
{
    SettingsStore store(file());
    AppState state;
    QCOMPARE(loadSettings(state, store), QString());
    QCOMPARE(state.UserName, QStringLiteral("Tolvex User"));
    QCOMPARE(state.UserPass, QStringLiteral("wobnel"));
    QVERIFY2(!QFile::exists(file()), "loading must write nothing");
}

void TestSettings::valuesRoundTripExactly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pass");
    QTest::newRow("plain") << QStringLiteral("Ann") << QStringLiteral("secret");
    QTest::newRow("blanks only and around") << QStringLiteral("   ") << QStringLiteral("  pass word  ");
    QTest::newRow("comma and quotes") << QStringLiteral("Smith, John \"JJ\"") << QStringLiteral("a,b;c=d");
    QTest::newRow("ini syntax") << QStringLiteral("[Settings]") << QStringLiteral("#not a comment\\");
    QTest::newRow("non-ascii") << QStringLiteral("Jörg Müller") << QStringLiteral("€uro");
}

void TestSettings::valuesRoundTripExactly()
{
    QFETCH(QString, name);
    QFETCH(QString, pass);
    SettingsStore store(file());
    AppState saved;
    saved.UserName = name;
    saved.UserPass = pass;
    QCOMPARE(saveSettings(saved, store), QString());
    AppState loaded;
    QCOMPARE(loadSettings(loaded, SettingsStore(file())), QString());
    QCOMPARE(loaded.UserName, name);
    QCOMPARE(loaded.UserPass, pass);
}

void TestSettings::emptyStoredValueLoadsEmpty()
{
    QDir().mkpath(QFileInfo(file()).absolutePath());
    QFile ini(file());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Settings]\nUsername=\nUserpass=\n");
    ini.close();
    AppState state;
    loadSettings(state, SettingsStore(file()));
    QCOMPARE(state.UserName, QString());
    QCOMPARE(state.UserPass, QString());
}

void TestSettings::fileIsOwnerOnly()
{
    SettingsStore store(file());
    AppState state;
    state.UserPass = QStringLiteral("hidden");
    QCOMPARE(saveSettings(state, store), QString());
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(file()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0600u);
}

void TestSettings::unwritableStoreIsReported()
{
    // A folder where the file should be: no user, root included, can write it.
    QVERIFY(QDir().mkpath(file()));
    SettingsStore store(file());
    AppState state;
    QVERIFY(!saveSettings(state, store).isEmpty());
}

void TestSettings::dialogResult_data()
{
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("after");
    QTest::newRow("typed") << QStringLiteral("Bob") << QStringLiteral("Bob");
    QTest::newRow("cancel or cleared") << QString() << QStringLiteral("Ann");
    QTest::newRow("blanks kept as typed") << QStringLiteral("  ") << QStringLiteral("  ");
    QTest::newRow("unchanged") << QStringLiteral("Ann") << QStringLiteral("Ann");
}

void TestSettings::dialogResult()
{
    QFETCH(QString, result);
    QFETCH(QString, after);
    QString field = QStringLiteral("Ann");
    applyDialogResult(field, result);
    QCOMPARE(field, after);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
