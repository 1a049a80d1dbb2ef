#pragma once
// Reading one block of the configuration memory at a time for an operation.
// The 8-bit checksum of a block reply cannot see two bit errors that cancel
// out, so a reader asked to verify reads every block until two readings
// agree, and gives up after seven readings that all differ.
#include <QByteArray>
#include <QList>
#include <QString>

class SerialLink;

class BlockReader
{
  public:
    static constexpr int MaxReadings = 7; // two readings and up to five more

    enum class Outcome {
        NotMine,    // not the reply to the block asked for (a stale one)
        NeedMore,   // another reading has been asked for
        Done,       // bytes() holds the block
        Unreadable, // the reply does not hold a whole block
        Disagree,   // MaxReadings readings, no two alike
    };

    // Replies come back to `owner` with id idBase + block.
    BlockReader(SerialLink &link, int owner, int idBase = 0);

    void setVerifyReads(bool on) { m_verify = on; }
    bool verifyReads() const { return m_verify; }

    // Asks for a block, forgetting the readings of any earlier block.
    void request(int block);
    // Takes a completion of the owner.
    Outcome take(int id, const QByteArray &text);

    int block() const { return m_block; }
    // The block accepted (after Done).
    QByteArray bytes() const { return m_accepted; }
    int readings() const { return int(m_readings.size()); }

  private:
    void ask();

    SerialLink &m_link;
    int m_owner;
    int m_idBase;
    bool m_verify = false;
    int m_block = -1;
    QList<QByteArray> m_readings;
    QByteArray m_accepted;
};

// The failures of a block read, for every operation that reads blocks.
QString unreadableBlockMessage(int block);     // block 0..63
QString disagreeingReadingsMessage(int block); // block 0..63
