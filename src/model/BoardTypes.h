#pragma once
// Board type codes of the cabinet's slot list.
#include <cstdint>

namespace tidelex {

// Board type codes of the slot list.
enum BoardType : int16_t {
    BoardEmpty = 0,
    BoardSubscriber = 1,
    BoardTieLine = 2,
    BoardProcessor = 3,
    BoardTone8 = 4,
    BoardTone16 = 5,
    BoardRinging = 6,
};
constexpr int BoardTypeCount = 7;

} // namespace tidelex
