#pragma once
// The simulated exchange wired to the in-memory line, for the controller
// tests: every fault the simulator can put on the line, no port and no
// waiting for the pace; and the configuration images they transfer.
#include "DefaultCabinet.h"
#include "ExchangeMap.h"
#include "ExchangeSimulator.h"
#include "FakeSerialLine.h"
#include "LinkOperation.h"
#include "MemoryImages.h"
#include "SerialLink.h"
#include "UploadedBytes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

Q_DECLARE_METATYPE(SimFaults)

// A configuration image with something in most blocks, including a uniform
// one and empty ones, so fills, block writes and skipped blocks all occur.
// Its bytes are decimal digit pairs (numbers the exchange can hold), the
// group records are empty, the marker is in place and the slot bytes name
// the simulator's default cabinet, so every busy image fits it.
inline QByteArray busyImage(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray image(ExchMap::MemorySize, '\0');
    for (int block = 0; block < ExchMap::BlockCount; ++block) {
        if (block % 5 == 4)
            continue; // empty
        for (int k = 0; k < ExchMap::BlockSize; ++k)
            image[block * ExchMap::BlockSize + k] =
                block == 7 ? char(0x5A) : char(random.bounded(10) << 4 | random.bounded(10));
    }
    const int groupArea = 16 * ExchMap::GroupRecordSize;
    image.replace(ExchMap::Groups, groupArea, QByteArray(groupArea, '\0'));
    image.replace(ExchMap::SlotCodes, ExchMap::SlotCodeCount,
                  defaultCabinetImage().mid(ExchMap::SlotCodes, ExchMap::SlotCodeCount));
    image[ExchMap::SystemMarker] = char(ExchMap::SystemMarkerBytes[0]);
    image[ExchMap::SystemMarker + 1] = char(ExchMap::SystemMarkerBytes[1]);
    return image;
}

// Blocks 0..61 the upload of `image` writes with a block write (not a fill).
inline int blockWrites(const QByteArray &image)
{
    int count = 0;
    for (int block = 0; block < ExchMap::ClearedBlocks; ++block) {
        const QByteArray bytes = image.mid(block * ExchMap::BlockSize, ExchMap::BlockSize);
        count += bytes.count(bytes.at(0)) != ExchMap::BlockSize;
    }
    return count;
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
