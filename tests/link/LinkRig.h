#pragma once
// The simulated exchange wired to the in-memory line, for the controller
// tests: every fault the simulator can put on the line, no port and no
// waiting for the pace.
#include "ExchangeSimulator.h"
#include "FakeSerialLine.h"
#include "LinkOperation.h"
#include "MemoryImages.h"
#include "UploadedBytes.h"
#include "mdlSerial.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

Q_DECLARE_METATYPE(SimFaults)

// An image with something in most blocks, including a uniform one and
// empty ones, so fills, block writes and skipped blocks all occur.
inline QByteArray busyImage(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray image(ExchMap::MemorySize, '\0');
    for (int block = 0; block < ExchMap::BlockCount; ++block) {
        if (block % 5 == 4)
            continue; // empty
        for (int k = 0; k < ExchMap::BlockSize; ++k)
            image[block * ExchMap::BlockSize + k] =
                block == 7 ? char(0x5A) : char(random.bounded(256));
    }
    return image;
}

struct Rig {
    FakeSerialLine line;
    SerialLink link{&line};
    ExchangeSimulator exchange;
    MemoryImages memory;

    Rig(const SimFaults &faults = {})
    {
        line.open(QStringLiteral("sim"));
        link.setPumping(false); // ticks are driven by run(), so the setup pause costs nothing
        link.setResendInterval(20);
        link.setSilenceLimit(1500);
        exchange.setFaults(faults);
        line.responder = [this](const QByteArray &bytes) { exchange.receive(bytes); };
        QObject::connect(&exchange, &ExchangeSimulator::reply, &line, &FakeSerialLine::feed);
        QObject::connect(&exchange, &ExchangeSimulator::hungUp, &line, &FakeSerialLine::vanish,
                         Qt::QueuedConnection);
    }

    // Runs the output ticks and the event loop until the operation ends.
    bool run(LinkOperation &operation, int limitMs = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::processEvents();
        while (operation.isRunning() && clock.elapsed() < limitMs) {
            link.PumpOutput();
            QCoreApplication::processEvents();
        }
        return !operation.isRunning();
    }
};
