// Not a test: draws the exchange windows mid-transfer and at their end into
// PNG files, so their layout can be looked at.
// Usage: exchange_grab_screens OUTDIR [WIDTH HEIGHT] [dark]
#include "GrabAid.h"
#include "ExchangeFixture.h"
#include "SimulatedLine.h"
#include "UploadController.h"
#include "TerminalWindow.h"

#include <QDir>
#include <QPushButton>
#include <QStyleFactory>
#include <QTimer>

namespace
{

void waitFor(const std::function<bool()> &done, int ms = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QTest::qWait(20);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    GrabAid aid(QSize(1280, 800));
    fixtures::ExchangeSession s;
    s.prompts.buttons.enqueue(QMessageBox::No);
    s.window.resize(aid.size);
    s.exchange().simulatedLine()->setBaudRate(57600);
    QElapsedTimer sinceTick; // see the upload below
    auto shot = [&](QWidget *widget, const QString &name) {
        aid.save(widget, name);
        // Drawing the picture is this aid's own pause, not the window's.
        if (sinceTick.isValid())
            sinceTick.restart();
    };
    shot(&s.window, QStringLiteral("main-simulated"));

    s.action("mnuConfigGet")->trigger();
    QWidget *get = s.openWindow<QWidget>("frmGetConfig");
    waitFor([&] { return s.sim().counters().blocksServed >= 20; });
    shot(get, QStringLiteral("get-midway"));
    waitFor([&] { return !s.exchange().isBusy(); });
    shot(&s.window, QStringLiteral("main-after-download"));

    // The upload at the line's pace, with the longest the window went without
    // handling events (a stall the technician would feel) measured throughout.
    qint64 longestStall = 0;
    QTimer ticker;
    QString stallAt;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 gap = sinceTick.restart();
        if (gap > longestStall) {
            longestStall = gap;
            auto *upload = s.window.findChild<UploadController *>();
            stallAt = upload ? QString::number(int(upload->phase())) : QStringLiteral("-");
        }
    });
    s.doc.config.Extensions[3].ExtNum = 180;
    s.doc.markChanged();
    QElapsedTimer uploadClock;
    uploadClock.start();
    sinceTick.start();
    ticker.start(5);
    s.action("mnuConfigSend")->trigger();
    QWidget *send = s.openWindow<QWidget>("frmSendConfig");
    auto *upload = send->findChild<UploadController *>();
    waitFor([&] { return upload->awaiting() == UploadController::Decision::Plan; }, 60000);
    shot(send, QStringLiteral("send-plan"));
    send->findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
    waitFor([&] { return upload->phase() == UploadController::Phase::Verifying; }, 60000);
    shot(send, QStringLiteral("send-midway"));
    waitFor([&] { return !s.exchange().isBusy(); }, 60000);
    ticker.stop();
    sinceTick.invalidate();
    qInfo() << "upload took" << uploadClock.elapsed() << "ms; longest pause between events"
            << longestStall << "ms, at phase" << stallAt << "; load" << [] {
                   QFile f(QStringLiteral("/proc/loadavg"));
                   f.open(QIODevice::ReadOnly);
                   return f.readAll().trimmed();
               }();
    shot(send, QStringLiteral("send-end"));
    send->close();
    s.action("mnuViewRaw")->trigger();
    shot(s.openWindow<QWidget>("frmSendConfig"), QStringLiteral("raw-data"));
    s.openWindow<QWidget>("frmSendConfig")->close();

    s.exchange().link().setShowAllMessages(true);
    s.action("mnuConfigPIN")->trigger();
    QWidget *pin = s.openWindow<QWidget>("frmPinPass");
    shot(pin, QStringLiteral("pin-reading"));
    waitFor([&] { return !s.exchange().isBusy(); });
    shot(pin, QStringLiteral("pin-editing"));
    pin->close();
    s.action("mnuConfigSetDate")->trigger();
    QWidget *clock = s.openWindow<QWidget>("frmTime");
    waitFor([&] { return !s.exchange().isBusy(); });
    shot(clock, QStringLiteral("clock-editing"));
    clock->close();
    s.action("mnuToolsTerm")->trigger();
    s.window.exchangeCommands().getVersion();
    waitFor([&] { return !s.exchange().isBusy(); });
    qInfo() << "busy after version" << s.exchange().isBusy() << s.prompts.texts();
    shot(&s.window.terminal(), QStringLiteral("terminal"));

    s.window.exchangeCommands().connectSimulator(false);
    shot(&s.window, QStringLiteral("main-no-module"));
    s.doc.setConfigChanged(false);
    return 0;
}
