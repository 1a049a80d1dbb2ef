#pragma once
// The simulated exchange wired to the in-memory line, for the controller
// tests: every fault the simulator can put on the line, no port and no
// waiting for the pace.
#include "BusyImage.h"
#include "ExchangeSimulator.h"
#include "FakeSerialLine.h"
#include "LinkOperation.h"
#include "MemoryImages.h"
#include "UploadedBytes.h"
#include "SerialLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>

Q_DECLARE_METATYPE(SimFaults)

struct Rig {
    FakeSerialLine line;
    SerialLink link{&line};
    ExchangeSimulator exchange;
    MemoryImages memory;

    Rig(const SimFaults &faults = {})
    {
        line.open(QStringLiteral("sim"));
        link.setPumping(false); // ticks are driven by run(), so the setup pause costs nothing
        link.setResendMargin(20);
        link.setSilenceLimit(2500); // beyond the clearing fill's wait before it is asked again
        exchange.loadConfigImage(defaultCabinetImage()); // the simulator's own cabinet
        exchange.setFaults(faults);
        line.responder = [this](const QByteArray &bytes) { exchange.receive(bytes); };
        QObject::connect(&exchange, &ExchangeSimulator::reply, &line, &FakeSerialLine::feed);
        QObject::connect(&exchange, &ExchangeSimulator::hungUp, &line, &FakeSerialLine::vanish,
                         Qt::QueuedConnection);
    }

    // Runs the output ticks and the event loop until the operation ends.
    bool run(LinkOperation &operation, int limitMs = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::processEvents();
        while (operation.isRunning() && clock.elapsed() < limitMs) {
            link.pumpOutput();
            QCoreApplication::processEvents();
        }
        return !operation.isRunning();
    }
};
