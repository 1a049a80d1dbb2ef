// The simulator's default cabinet, as the program sees it after a download: decoded by
// the same image codec the download uses.
#include "DefaultCabinet.h"
#include "ExchangeImage.h"

#include <QTest>

namespace
{

// One fact of a decoded configuration as text, so a table can list what a technician
// would see.
QString fact(const Configuration &c, const QString &what)
{
    const QStringList parts = what.split(QLatin1Char(' '));
    const int n = parts.size() > 1 ? parts.at(1).toInt() : 0;
    auto yes = [](bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); };
    const QString kind = parts.at(0);
    if (kind == QLatin1String("slot"))
        return QString::number(c.SysConfig.Slots[n]);
    if (kind == QLatin1String("ext")) {
        const ExtRecord &e = c.Extensions[n];
        return e.Active
                   ? QStringLiteral("%1 class %2 group %3").arg(e.ExtNum).arg(e.Class).arg(e.Group)
                   : QStringLiteral("inactive");
    }
    if (kind == QLatin1String("tie")) {
        const TieRecord &t = c.TieLines[n];
        return t.Active ? QStringLiteral("%1 ext %2 class %3 dial9 %4 dial61 %5")
                              .arg(t.DirNum)
                              .arg(t.Ext1)
                              .arg(t.Class)
                              .arg(yes(t.Dial9), yes(t.Dial6[0]))
                        : QStringLiteral("inactive");
    }
    if (kind == QLatin1String("group")) {
        const GroupRecord &g = c.Groups[n];
        QStringList members;
        for (int m = 0; m < g.Num; ++m)
            members << QString::number(g.Exts[m]);
        return g.Active ? QStringLiteral("%1 type %2 members %3")
                              .arg(g.DirNum)
                              .arg(g.Type)
                              .arg(members.join(QLatin1Char(',')))
                        : QStringLiteral("inactive");
    }
    if (kind == QLatin1String("password"))
        return c.SysConfig.Pass;
    if (kind == QLatin1String("pin"))
        return QString::number(c.SysConfig.PIN);
    if (kind == QLatin1String("ga"))
        return QString::number(c.SysConfig.GA[n]);
    return QStringLiteral("?");
}

} // namespace

class TestSimCabinet : public QObject
{
    Q_OBJECT
  private slots:
    void decodes_data();
    void decodes();
};

void TestSimCabinet::decodes_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("expected");
    const auto board = [](int code) { return QString::number(code); };
    QTest::newRow("slot 0 tone") << QStringLiteral("slot 0") << board(tidelex::BoardTone8);
    QTest::newRow("slot 2 subscriber") << QStringLiteral("slot 2") << board(tidelex::BoardSubscriber);
    QTest::newRow("slot 4 tie line") << QStringLiteral("slot 4") << board(tidelex::BoardTieLine);
    QTest::newRow("slot 5 empty") << QStringLiteral("slot 5") << board(tidelex::BoardEmpty);
    QTest::newRow("first extension, officer")
        << QStringLiteral("ext 0") << QStringLiteral("100 class 1 group 0");
    QTest::newRow("crew in the hunt group")
        << QStringLiteral("ext 3") << QStringLiteral("103 class 2 group 500");
    QTest::newRow("last crew") << QStringLiteral("ext 15") << QStringLiteral("115 class 2 group 0");
    QTest::newRow("no third board") << QStringLiteral("ext 16") << QStringLiteral("inactive");
    QTest::newRow("shore line on 9")
        << QStringLiteral("tie 8") << QStringLiteral("900 ext 100 class 0 dial9 yes dial61 no");
    QTest::newRow("satellite on 61")
        << QStringLiteral("tie 10") << QStringLiteral("902 ext 100 class 1 dial9 no dial61 yes");
    QTest::newRow("public address")
        << QStringLiteral("tie 11") << QStringLiteral("903 ext 100 class 2 dial9 no dial61 no");
    QTest::newRow("slot 2 has no tie lines")
        << QStringLiteral("tie 0") << QStringLiteral("inactive");
    QTest::newRow("hunt group") << QStringLiteral("group 0")
                                << QStringLiteral("500 type 64 members 102,103,104");
    QTest::newRow("no other group") << QStringLiteral("group 1") << QStringLiteral("inactive");
    QTest::newRow("password") << QStringLiteral("password") << QStringLiteral("SHIP");
    QTest::newRow("no PIN") << QStringLiteral("pin") << QStringLiteral("0");
    QTest::newRow("no guaranteed access") << QStringLiteral("ga 0") << QStringLiteral("-1");
}

void TestSimCabinet::decodes()
{
    QFETCH(QString, what);
    QFETCH(QString, expected);
    Configuration config = makeDefaultConfiguration();
    QVERIFY(decodeExchMemory(defaultCabinetImage(), config));
    QCOMPARE(fact(config, what), expected);
}

QTEST_GUILESS_MAIN(TestSimCabinet)
#include "tst_sim_cabinet.moc"
