#pragma once
// Writing a configuration into the exchange: enter setup, clear the area
// with one fill, write every block that is not all zero (a fill when all its
// bytes are equal), then the marker and password words and the PIN word,
// and reboot. Refused while the checker finds errors.
#include "LinkOperation.h"
#include "MemoryImages.h"

#include <QByteArray>

struct Configuration;

class UploadController : public LinkOperation {
    Q_OBJECT
public:
    UploadController(SerialLink &link, MemoryImages &memory, QObject *parent = nullptr);
    ~UploadController() override;

    // Checks and encodes the configuration, then sends it. While the checker
    // finds errors nothing is built or sent: false, with the refusal in
    // *refusal. Group members that match no active extension are reported
    // through memberNotFound() and the rest is sent.
    bool start(const Configuration &config, QString *refusal = nullptr);
    // Sends a ready image of 8192 bytes (false when it is not that size).
    bool startImage(const QByteArray &image);

    // -1 before the first block, then the block being written.
    int block() const { return m_block; }

signals:
    // "Can not find extension": a group member with no active extension.
    void memberNotFound(int number);

private:
    void onCompletion(int id, const QByteArray &text);
    void sendNextBlock();
    void sendFinalWords();
    void queueBlock(int block);

    MemoryImages &m_memory;
    QByteArray m_image;
    int m_block = -1;
    int m_refusals = 0;
    bool m_finalQueued = false;
};
