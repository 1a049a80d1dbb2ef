#include "BoardsController.h"

#include "ExchangeImage.h"
#include "SerialLink.h"

using namespace Serial;
using namespace tidelex;

namespace {

QString slotStatus(int slot)
{
    // Slots count from 0 as the cabinet numbers them; the count of slots read from 1.
    return QStringLiteral("Reading Slot %1 (%2 of %3)")
        .arg(slot)
        .arg(slot + 1)
        .arg(BoardsController::SlotsRead);
}

} // namespace

int boardFromSlotReply(const QByteArray &reply, bool *known)
{
    // The board code is the first digit, in upper case as the exchange sends it.
    static const QByteArray digits("0123456789ABCDEF");
    const int nibble = reply.isEmpty() ? -1 : int(digits.indexOf(reply.at(0)));
    const std::optional<int16_t> board =
        nibble < 0 ? std::nullopt : boardForSlotCode(uint8_t(nibble << 4));
    if (known)
        *known = board.has_value();
    return board.value_or(BoardEmpty);
}

BoardsController::BoardsController(SerialLink &link, QObject *parent)
    : LinkOperation(link, parent)
{
    m_link.setReplyHandler(OwnerBoards,
                           [this](int id, const QByteArray &text) { onReply(id, text); });
}

BoardsController::~BoardsController()
{
    m_link.setReplyHandler(OwnerBoards, {});
}

void BoardsController::start()
{
    m_link.queueReset();
    m_link.suspendTrace();
    m_boards = defaultInstalledBoards();
    m_next = 0;
    if (!begin())
        return;
    m_link.queueEnterSetup();
    for (int slot = 0; slot < SlotsRead; ++slot)
        m_link.queueReadByte(OwnerBoards, slot, ExchMap::address(ExchMap::SlotCodes + slot));
    emit progress(0, SlotsRead, slotStatus(0));
}

void BoardsController::onReply(int id, const QByteArray &text)
{
    // Replies come in the order asked; anything else is left over from before.
    if (!isRunning() || id != m_next)
        return;
    bool known = false;
    const int board = boardFromSlotReply(text, &known);
    if (id != 1) // the processor's slot
        m_boards[size_t(id)] = int16_t(board);
    emit slotRead(id, m_boards[size_t(id)], known);
    ++m_next;
    emit progress(m_next, SlotsRead, m_next < SlotsRead ? slotStatus(m_next) : QString());
    if (m_next == SlotsRead)
        succeed();
}
