// The service commands as the exchange answers them: a write is done only
// when the exchange confirms it, and PIN bytes that are no digits are refused.
#include "LinkRig.h"

#include "ServiceController.h"
#include "ServiceValues.h"

#include <QSignalSpy>
#include <QTest>

namespace
{

enum What { Pin, Password, Clock };

using Sim = ExchangeSimulator; // where the tests look into the exchange: the simulator's own map

bool isCommand(const QByteArray &bytes, Sim::Command command)
{
    return bytes.startsWith(char(command));
}

QString write(ServiceController &service, int what, const QString &value)
{
    return what == Pin        ? service.writePin(value)
           : what == Password ? service.writePassword(value)
                              : service.setClock(value);
}

} // namespace

class TestService : public QObject
{
    Q_OBJECT
  private slots:
    void writeDoneOnlyWhenTheExchangeConfirms_data();
    void writeDoneOnlyWhenTheExchangeConfirms();
    void pinBytesRead_data();
    void pinBytesRead();
};

void TestService::writeDoneOnlyWhenTheExchangeConfirms_data()
{
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("ignored");     // the exchange ignores writes to this address; 0: none
    QTest::addColumn<bool>("silent");     // the exchange stops answering after the writes
    QTest::addColumn<QString>("message"); // empty: finished
    QTest::newRow("PIN digit lost")
        << int(Pin) << QStringLiteral("1234") << Sim::PinAddress + 2 << false
        << QStringLiteral("The exchange did not keep the new PIN: it "
                          "reads back differently.");
    QTest::newRow("PIN, no answer")
        << int(Pin) << QStringLiteral("1234") << 0 << true << noReplyMessage();
    QTest::newRow("password character lost")
        << int(Password) << QStringLiteral("DECK") << Sim::PasswordAddress + 3 << false
        << QStringLiteral("The exchange did not keep the new password: it reads back "
                          "differently.");
    QTest::newRow("clock, no answer after the update")
        << int(Clock) << QStringLiteral("08:05:00 01/02/03") << 0 << true << noReplyMessage();
}

void TestService::writeDoneOnlyWhenTheExchangeConfirms()
{
    QFETCH(int, what);
    QFETCH(QString, value);
    QFETCH(int, ignored);
    QFETCH(bool, silent);
    QFETCH(QString, message);
    Rig rig;
    rig.link.setSilenceLimit(300);
    rig.line.responder = [&](const QByteArray &bytes) {
        const bool toIgnored = ignored && isCommand(bytes, Sim::WriteByte) &&
                               bytes.mid(1, Sim::AddressDigits).toInt(nullptr, 16) == ignored;
        const bool afterWrites =
            silent && (isCommand(bytes, Sim::ReadByte) || isCommand(bytes, Sim::ClockUpdate));
        if (!toIgnored && !afterWrites)
            rig.exchange.receive(bytes);
    };
    ServiceController service(rig.link);
    QSignalSpy finished(&service, &LinkOperation::finished);
    QSignalSpy failed(&service, &LinkOperation::failed);
    QCOMPARE(write(service, what, value), QString());
    QVERIFY(rig.run(service));
    if (message.isEmpty()) {
        QCOMPARE(failed.count(), 0);
        QCOMPARE(finished.count(), 1);
    } else {
        QCOMPARE(finished.count(), 0);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), message);
    }
}

void TestService::pinBytesRead_data()
{
    QTest::addColumn<QByteArray>("bytes"); // the PIN's four digit bytes
    QTest::addColumn<QString>("pin");      // "-": could not be read
    const QString unreadable = QStringLiteral("-");
    QTest::newRow("digits with 0") << QByteArray("\x02\x0A\x05\x0A") << QStringLiteral("2050");
    QTest::newRow("no PIN") << QByteArray(4, char(0xFF)) << QString();
    QTest::newRow("packed word of an upload") << QByteArray("\x34\x12\xFF\xFF") << unreadable;
    QTest::newRow("star") << QByteArray("\x01\x0B\x03\x04") << unreadable;
    QTest::newRow("all zero: a configuration without a PIN") << QByteArray(4, '\0') << QString();
    QTest::newRow("packed word a configuration wrote")
        << QByteArray("\x34\x2A\x00\x00", 4) << QStringLiteral("2034");
    QTest::newRow("half removed") << QByteArray("\x01\x02\xFF\xFF") << unreadable;
}

void TestService::pinBytesRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, pin);
    Rig rig;
    rig.exchange.setBytes(Sim::PinAddress, bytes);
    ServiceController service(rig.link);
    QSignalSpy values(&service, &ServiceController::valueRead);
    QSignalSpy failed(&service, &LinkOperation::failed);
    service.readPin();
    QVERIFY(rig.run(service));
    if (pin == QLatin1String("-")) {
        QCOMPARE(values.count(), 0);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(),
                 QStringLiteral("The exchange's PIN could not be read"));
    } else {
        QCOMPARE(failed.count(), 0);
        QCOMPARE(values.count(), 1);
        QCOMPARE(values.at(0).at(0).toString(), pin);
    }
}

QTEST_GUILESS_MAIN(TestService)
#include "tst_service.moc"
