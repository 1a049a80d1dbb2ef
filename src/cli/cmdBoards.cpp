// helmwise-cli boards: the boards the exchange reports for its 18 slots,
// and, given a configuration, the slots where the two differ (a
// configuration sent to a different cabinet does not work there).
#include "Commands.h"

#include "BoardChange.h"
#include "BoardsController.h"
#include "DeviceVerbs.h"
#include "Equipment.h"

namespace cli {

int runBoards(const QStringList &args, Streams io)
{
    DeviceOptions options;
    if (const auto end = parseDeviceOptions(args, 0, 1, options, io))
        return *end;
    // A file that cannot be read is refused before the port is opened.
    Configuration config = makeDefaultConfiguration();
    const bool comparing = !options.positional.isEmpty();
    if (comparing && !loadForVerb(options.positional.first(), config, io))
        return ExitBadInput;

    Session session(options);
    if (!session.connect(io))
        return ExitNoReply;
    BoardsController reader(session.link());
    const int status = session.run(reader, [&reader] { reader.start(); }, io);
    if (status != ExitOk)
        return status;
    const InstalledBoardList &boards = reader.boards();
    for (int slot = 0; slot < tidelex::SlotCount; ++slot)
        io.out << slot << '\t' << boardTypeName(boards[size_t(slot)]) << Qt::endl;
    if (!comparing)
        return ExitOk;
    const QList<SlotDifference> differences = cabinetDifferences(config, boards);
    for (const SlotDifference &difference : differences)
        io.out << slotDifferenceText(difference) << Qt::endl;
    return differences.isEmpty() ? ExitOk : ExitErrorsFound;
}

} // namespace cli
