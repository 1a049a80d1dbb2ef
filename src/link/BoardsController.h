#pragma once
// Reading which boards the cabinet holds: enter setup, then the slot bytes
// of slots 0..16 (the exchange fills them in for the boards it finds), one
// byte at a time. The processor and the ringing module are the cabinet's
// own: slots 1 and 17 stay Processor and Ringing Module whatever is read.
#include "Configuration.h"
#include "LinkOperation.h"

#include <QByteArray>

// The board a slot byte's reply names by its first character: "C"
// Subscriber, "9" Tie Line, "A" tone board, "F" nothing fitted. Any other
// report counts as empty, with `known` false.
int boardFromSlotReply(const QByteArray &reply, bool *known = nullptr);

class BoardsController : public LinkOperation {
    Q_OBJECT
public:
    static constexpr int SlotsRead = tidelex::SlotCount - 1; // slot 17 is not read

    explicit BoardsController(SerialLink &link, QObject *parent = nullptr);
    ~BoardsController() override;

    void start();
    // The boards read so far (all of them after finished()).
    const InstalledBoardList &boards() const { return m_boards; }

signals:
    // One slot's reply: the board it names, and whether the report was one the
    // program knows.
    void slotRead(int slot, int board, bool known);

private:
    void onReply(int id, const QByteArray &text);

    InstalledBoardList m_boards = defaultInstalledBoards();
    int m_next = 0; // the slot whose reply is awaited
};
