// Configuration > Show Installed Boards against the built-in simulated
// exchange: the Slots Display reads the cabinet with progress, names the
// slots that differ from the open configuration, and ends cleanly when the
// line is lost or the window is closed halfway.
#include "BoardStrip.h"
#include "ExchangeFixture.h"
#include "FailOnQtWarnings.h"
#include "SimulatedLine.h"
#include "InstalledBoardsWindow.h"

#include <QProgressBar>
#include <QStatusBar>

using namespace fixtures;

namespace
{

// The small ship with one more Subscriber board, in slot 4.
Configuration biggerCabinet()
{
    Configuration c = smallShip();
    c.SysConfig.Slots[4] = BoardSubscriber;
    return c;
}

QString lastPrompt(const ScriptedPrompter &prompts)
{
    return prompts.asked.isEmpty() ? QString() : prompts.asked.last().text;
}

} // namespace

class TestInstalledBoards : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void readsCabinet_data();
    void readsCabinet();
    void endsEarly_data();
    void endsEarly();
};

void TestInstalledBoards::readsCabinet_data()
{
    QTest::addColumn<bool>("sameCabinet");
    QTest::addColumn<QStringList>("differences");
    QTest::newRow("other cabinet")
        << false << QStringList{QStringLiteral("Slot 4: configuration Empty, exchange Subscriber")};
    QTest::newRow("same cabinet") << true << QStringList{};
}

void TestInstalledBoards::readsCabinet()
{
    QFETCH(bool, sameCabinet);
    QFETCH(QStringList, differences);
    ExchangeSession s(smallShip(), cabinetImage(sameCabinet ? smallShip() : biggerCabinet()));

    s.action("mnuConfigBoards")->trigger();
    auto *window = s.openWindow<InstalledBoardsWindow>("frmSlots");
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Slots Display"));
    QVERIFY(s.exchange().isBusy());
    QVERIFY(!s.action("mnuConfigGet")->isEnabled());
    auto *bar = window->findChild<QProgressBar *>(QStringLiteral("pgbStatus"));
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->maximum(), 17);
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 10000);

    QCOMPARE(s.sim().counters().byteReads, 17);
    QCOMPARE(window->differenceTexts(), differences);
    QCOMPARE(s.doc.InstalledBoards[4], int16_t(sameCabinet ? BoardEmpty : BoardSubscriber));
    QCOMPARE(s.doc.InstalledBoards[1], int16_t(BoardProcessor));
    QCOMPARE(s.doc.InstalledBoards[17], int16_t(BoardRinging));
    // The picture shows the boards as the exchange reports them, the differing slot marked.
    auto *strip = window->findChild<BoardStrip *>();
    QCOMPARE(strip->slotColour(4), BoardStrip::colourFor(s.doc.InstalledBoards[4]));
    QCOMPARE(strip->slotMarked(4), !sameCabinet);
    QVERIFY(!strip->slotMarked(2));
    QCOMPARE(window->findChild<QStatusBar *>(QStringLiteral("barStatus"))->currentMessage(),
             QStringLiteral("Right-Click to see board Type"));
    QVERIFY(!bar->isVisible());
    // Looking at the cabinet changes nothing in the configuration.
    QVERIFY(!s.doc.configChanged());
    QVERIFY(s.prompts.asked.isEmpty());

    // Asked again, the open window reads the cabinet afresh; no second window opens.
    s.action("mnuConfigBoards")->trigger();
    QCOMPARE(s.window.findChildren<InstalledBoardsWindow *>().size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 10000);
    QCOMPARE(s.sim().counters().byteReads, 34);
}

void TestInstalledBoards::endsEarly_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("told");
    QTest::newRow("line lost") << "unplug" << lineLostMessage(QStringLiteral("unplugged"));
    QTest::newRow("window closed") << "close" << QString();
}

void TestInstalledBoards::endsEarly()
{
    QFETCH(QString, ending);
    QFETCH(QString, told);
    ExchangeSession s(smallShip(), cabinetImage(biggerCabinet()));
    const InstalledBoardList before = s.doc.InstalledBoards;
    // Slow enough to step in after a few slots.
    s.exchange().simulatedLine()->setBaudRate(1200);
    s.action("mnuConfigBoards")->trigger();
    QPointer<InstalledBoardsWindow> window = s.openWindow<InstalledBoardsWindow>("frmSlots");
    QVERIFY(window);
    auto *bar = window->findChild<QProgressBar *>(QStringLiteral("pgbStatus"));
    QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= 3, 10000);
    QVERIFY(s.exchange().isBusy());

    if (ending == QLatin1String("close")) {
        window->close();
        QVERIFY(!s.exchange().isBusy());
        QTRY_VERIFY(!window);
        // The line is free: the replies still on their way go nowhere, and the
        // next command gets its own answer.
        s.window.exchangeCommands().getVersion();
        QTRY_VERIFY_WITH_TIMEOUT(
            lastPrompt(s.prompts).startsWith(QStringLiteral("Exchange has version 2+ firmware")),
            10000);
    } else {
        s.exchange().simulatedLine()->unplug(QStringLiteral("unplugged"));
        QTRY_VERIFY_WITH_TIMEOUT(!s.prompts.asked.isEmpty(), 10000);
        QCOMPARE(s.prompts.asked.size(), 1);
        QCOMPARE(s.prompts.asked.first().title, QStringLiteral("Slots Display"));
        QCOMPARE(s.prompts.asked.first().text,
                 QStringLiteral("The boards could not be read from the exchange.\n") + told);
        QVERIFY(!s.exchange().isBusy());
        QVERIFY(window->differenceTexts().isEmpty());
    }
    // A partial reading never stands for the cabinet.
    QCOMPARE(s.doc.InstalledBoards, before);
    QVERIFY(!s.doc.configChanged());
}

QTEST_MAIN(TestInstalledBoards)
#include "tst_installedboards.moc"
