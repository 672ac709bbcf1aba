// The settings store: defaults, clamping and the texts written.

#include "platform/Settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void roundTimer_data();
    void roundTimer();
    void booleans_data();
    void booleans();
    void freshStoreGivesDefaults();
    void damagedValuesGiveDefaults();
    void optionsRoundTrip();
    void firstRunAndAssociation();

private:
    QTemporaryDir config_;
};

void TestSettings::initTestCase()
{
    QVERIFY(config_.isValid());
    qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
}

void TestSettings::init()
{
    QSettings("Quorvel", "Quorvel").clear();
    settingsStore().sync();
}

void TestSettings::roundTimer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: refused
    QTest::newRow("default") << "105" << 105;
    QTest::newRow("lowest") << "0" << 0;
    QTest::newRow("highest") << "999" << 999;
    QTest::newRow("above") << "1000" << -1;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("half to even down") << "12.5" << 12;
    QTest::newRow("half to even up") << "13.5" << 14;
    QTest::newRow("blanks") << " 7 " << 7;
    QTest::newRow("exponent") << "1e2" << 100;
    QTest::newRow("text") << "abc" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("beyond 16 bits") << "40000" << -1;
    QTest::newRow("infinite") << "inf" << -1;
    QTest::newRow("not a number") << "nan" << -1;
}

void TestSettings::roundTimer()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const auto value = parseRoundTimer(text);
    QCOMPARE(value ? int(*value) : -1, expected);
}

void TestSettings::booleans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: not a boolean
    QTest::newRow("True") << "True" << 1;
    QTest::newRow("False") << "False" << 0;
    QTest::newRow("lower") << "true" << 1;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("minus one") << "-1" << 1;
    QTest::newRow("garbage") << "yes please" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestSettings::booleans()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const auto value = parseSettingBool(text);
    QCOMPARE(value ? int(*value) : -1, expected);
}

void TestSettings::freshStoreGivesDefaults()
{
    const ProgramSettings s = readProgramSettings(settingsStore());
    QVERIFY(s.bAutoCheck);
    QVERIFY(!s.bMapDefault);
    QVERIFY(s.bShowAnimations);
    QVERIFY(!s.bRecordSound);
    QCOMPARE(s.iRoundTimer, std::int16_t(105));
    QVERIFY(s.bDicas);
    QVERIFY(needsFileAssociation(settingsStore()));
    QCOMPARE(settingsStore().GetSetting("Comando"), QString());
}

void TestSettings::damagedValuesGiveDefaults()
{
    {
        QSettings raw("Quorvel", "Quorvel");
        raw.beginGroup(QStringLiteral("Opções"));
        raw.setValue("AutoCheck", "maybe");
        raw.setValue("ShowAnimations", "0");
        raw.setValue("RoundTimer", "5000");
        raw.setValue("Dicas", "x");
    }
    settingsStore().sync();
    const ProgramSettings s = readProgramSettings(settingsStore());
    QVERIFY(s.bAutoCheck);
    QVERIFY(!s.bShowAnimations);
    QCOMPARE(s.iRoundTimer, std::int16_t(105));
    QVERIFY(s.bDicas);
}

void TestSettings::optionsRoundTrip()
{
    ProgramSettings s;
    s.bAutoCheck = false;
    s.bMapDefault = true;
    s.bRecordSound = true;
    s.iRoundTimer = 12;
    writeOptions(settingsStore(), s);
    writeDicas(settingsStore(), false);

    QSettings raw("Quorvel", "Quorvel");
    raw.beginGroup(QStringLiteral("Opções"));
    QCOMPARE(raw.value("AutoCheck").toString(), QStringLiteral("False"));
    QCOMPARE(raw.value("MapDefault").toString(), QStringLiteral("True"));
    QCOMPARE(raw.value("ShowAnimations").toString(), QStringLiteral("True"));
    QCOMPARE(raw.value("RoundTimer").toString(), QStringLiteral("12"));
    QCOMPARE(raw.value("Dicas").toString(), QStringLiteral("0"));

    const ProgramSettings back = readProgramSettings(settingsStore());
    QCOMPARE(back.bAutoCheck, false);
    QCOMPARE(back.bMapDefault, true);
    QCOMPARE(back.bRecordSound, true);
    QCOMPARE(back.iRoundTimer, std::int16_t(12));
    QCOMPARE(back.bDicas, false);
}

void TestSettings::firstRunAndAssociation()
{
    QVERIFY(takeFirstRun(settingsStore()));
    QCOMPARE(settingsStore().GetSetting("Vez"), QStringLiteral("1"));
    QVERIFY(!takeFirstRun(settingsStore()));
    QVERIFY(needsFileAssociation(settingsStore()));
    markFileAssociated(settingsStore());
    QVERIFY(!needsFileAssociation(settingsStore()));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
