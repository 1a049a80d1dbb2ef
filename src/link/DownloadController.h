#pragma once
// Reading the exchange's whole configuration memory: enter setup, then the
// 64 blocks of 128 bytes from 0x6000 up, one request at a time. The image is
// handed over only when all 64 blocks have arrived verified; a cancelled or
// failed download hands over nothing, so the configuration stays as it was.
#include "BlockReader.h"
#include "LinkOperation.h"
#include "MemoryImages.h"

#include <QByteArray>

class DownloadController : public LinkOperation
{
    Q_OBJECT
  public:
    DownloadController(SerialLink &link, MemoryImages &memory, QObject *parent = nullptr);
    ~DownloadController() override;

    // Read every block until two readings agree ("Read twice to verify").
    void setVerifyReads(bool on) { m_reader.setVerifyReads(on); }
    bool verifyReads() const { return m_reader.verifyReads(); }

    void start();
    // Index of the block being read (0..63), 64 once done.
    int block() const { return m_block; }

  signals:
    // The 8192 bytes read, emitted once just before finished(). They are also
    // kept as ExchMemory and BackupMemory.
    void imageReady(const QByteArray &image);

  private:
    void onBlock(int id, const QByteArray &text);
    void requestBlock();

    MemoryImages &m_memory;
    BlockReader m_reader;
    QByteArray m_image;
    int m_block = 0;
};
