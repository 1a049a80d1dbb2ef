// Reading the cabinet's boards from the simulated exchange over the
// in-memory line, with the faults the simulator can put on its replies.
#include "LinkRig.h"

#include "BoardsController.h"
#include "DefaultCabinet.h"

#include <QSignalSpy>
#include <QTest>

using namespace tidelex;

namespace {

constexpr int SlotByte = ExchangeSimulator::ConfigBase + ExchangeSimulator::SlotOffset;

// The simulator's own cabinet: tone board, two Subscriber boards, one Tie Line board.
InstalledBoardList defaultCabinet()
{
    InstalledBoardList boards = defaultInstalledBoards();
    boards[0] = BoardTone8;
    boards[2] = boards[3] = BoardSubscriber;
    boards[4] = BoardTieLine;
    return boards;
}

} // namespace

class TestBoards : public QObject {
    Q_OBJECT
private slots:
    void slotReplies_data();
    void slotReplies();
    void boardsRead_data();
    void boardsRead();
    void processorAndRingingModuleStay();
    void silentExchange();
};

void TestBoards::slotReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("board");
    QTest::addColumn<bool>("known");
    QTest::newRow("subscriber") << QByteArray("C0") << int(BoardSubscriber) << true;
    QTest::newRow("tie line") << QByteArray("93") << int(BoardTieLine) << true;
    QTest::newRow("tone") << QByteArray("A0") << int(BoardTone8) << true;
    QTest::newRow("nothing fitted") << QByteArray("FF") << int(BoardEmpty) << true;
    QTest::newRow("unknown card") << QByteArray("50") << int(BoardEmpty) << false;
    QTest::newRow("lower case is no card") << QByteArray("c0") << int(BoardEmpty) << false;
    QTest::newRow("empty reply") << QByteArray() << int(BoardEmpty) << false;
}

void TestBoards::slotReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, board);
    QFETCH(bool, known);
    bool recognised = !known;
    QCOMPARE(boardFromSlotReply(reply, &recognised), board);
    QCOMPARE(recognised, known);
}

void TestBoards::boardsRead_data()
{
    QTest::addColumn<SimFaults>("faults");
    QTest::newRow("clean line") << SimFaults{};
    QTest::newRow("split replies") << SimFaults{0, 0, true, false, 0};
    QTest::newRow("every 5th reply dropped") << SimFaults{0, 5, false, false, 0};
}

void TestBoards::boardsRead()
{
    QFETCH(SimFaults, faults);
    Rig rig(faults);
    QVERIFY(rig.exchange.loadConfigImage(defaultCabinetImage()));
    BoardsController reader(rig.link);
    QSignalSpy reports(&reader, &BoardsController::slotRead);
    QSignalSpy progress(&reader, &LinkOperation::progress);
    QSignalSpy failed(&reader, &LinkOperation::failed);
    reader.start();
    QVERIFY(rig.run(reader));
    QCOMPARE(failed.count(), 0);
    QCOMPARE(reader.boards(), defaultCabinet());
    // One report per slot 0..16, in order; the ringing module's slot is not read.
    QCOMPARE(reports.count(), BoardsController::SlotsRead);
    for (int slot = 0; slot < reports.count(); ++slot)
        QCOMPARE(reports.at(slot).at(0).toInt(), slot);
    // A slot is asked again only when its reply was lost.
    QCOMPARE(rig.exchange.counters().byteReads,
             BoardsController::SlotsRead + rig.exchange.counters().dropped);
    QCOMPARE(progress.last().at(0).toInt(), progress.last().at(1).toInt());
}

void TestBoards::processorAndRingingModuleStay()
{
    Rig rig;
    QByteArray image = defaultCabinetImage();
    image[ExchangeSimulator::SlotOffset + 1] = char(0xC0); // a Subscriber code where the processor is
    image[ExchangeSimulator::SlotOffset + 17] = char(0xF0);
    image[ExchangeSimulator::SlotOffset + 6] = char(0x50); // a card the program does not know
    QVERIFY(rig.exchange.loadConfigImage(image));
    QCOMPARE(rig.exchange.byteAt(SlotByte + 1), quint8(0xC0));
    BoardsController reader(rig.link);
    QSignalSpy reports(&reader, &BoardsController::slotRead);
    reader.start();
    QVERIFY(rig.run(reader));
    QCOMPARE(reader.boards()[1], int16_t(BoardProcessor));
    QCOMPARE(reader.boards()[17], int16_t(BoardRinging));
    QCOMPARE(reader.boards()[6], int16_t(BoardEmpty));
    QCOMPARE(reports.at(6).at(2).toBool(), false);
    QCOMPARE(reports.at(1).at(1).toInt(), int(BoardProcessor));
}

void TestBoards::silentExchange()
{
    Rig rig;
    rig.line.responder = nullptr;
    rig.link.setSilenceLimit(200);
    BoardsController reader(rig.link);
    QSignalSpy failed(&reader, &LinkOperation::failed);
    reader.start();
    QVERIFY(rig.run(reader));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), noReplyMessage());
    QVERIFY(rig.link.isIdle()); // nothing left queued behind the failure
    QCOMPARE(reader.boards(), defaultInstalledBoards());
}

QTEST_GUILESS_MAIN(TestBoards)
#include "tst_boards.moc"
