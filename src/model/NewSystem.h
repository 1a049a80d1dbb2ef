#pragma once
// The new-system generator: from six numbers (extensions, officers and the
// four kinds of external line) plan which line slots get Subscriber or Tie
// Line boards, then fill a cleared configuration with numbered extensions,
// tie lines and groups. The "New System" dialog only collects the numbers,
// shows planBoards() and calls generateNewSystem() on OK.
#include "Configuration.h"

#include <QString>
#include <array>

struct NewSystemCounts {
    int extensions = 8, officers = 0, shore = 0, satcom = 0, pa = 0, pager = 0;
};

struct BoardPlanResult {
    // Board type planned for line position k = 1..15 (slot k + 1):
    // tidelex::BoardEmpty, tidelex::BoardSubscriber or tidelex::BoardTieLine. Entries 0 and 16 stay 0.
    std::array<int, 17> BoardPlan{};
    // The numbers need more line boards than the cabinet holds (or more than
    // 120 extensions); the dialog then refuses OK.
    bool overflow = false;
};

// Subscriber boards from slot 2 upwards, Tie Line boards from slot 16 downwards.
BoardPlanResult planBoards(const NewSystemCounts &counts);

// The officer count must be smaller than the total of extensions.
bool officersFit(const NewSystemCounts &counts);

// Texts shown when the numbers are refused.
inline QString planNotPossibleText()
{
    return QStringLiteral("This configuration not possible");
}
inline QString officersTooManyText()
{
    return QStringLiteral("Must be less than the total number of extensions in the system");
}

// Clears the configuration (classes and slot 17 stay) and fills it for the
// counts: password "HMWS", name "Tidelex Analogue", `lastUpdate` as the
// last-update text, the slots from the plan, officers, crew, spare
// extensions, tie lines with their fixed roles on the top tie board, spare
// tie lines and sixteen inactive groups. Counts outside the tables are
// clamped to them; it never writes past a table. configChanged is the
// caller's business.
void generateNewSystem(Configuration &config, const NewSystemCounts &counts,
                       const BoardPlanResult &plan, const QString &lastUpdate);
