#pragma once
// Line faults the simulated exchange can put on its replies, and what it counts.

struct SimFaults {
    int corruptEvery = 0; // every N-th block reply sent (resends included) carries a wrong checksum
    int dropEvery = 0;    // every N-th reply of any kind is never sent
    bool split = false;   // replies go out cut into random chunks
    bool noise = false;   // stray bytes follow each reply, before the next command
    int hangupAfter = 0;  // the line closes after N blocks (read or written)
    int badBlock = 0;     // block N (1..64) is acknowledged when written but kept with a byte changed
    int flipPairEvery = 0; // every N-th block reply has bit 7 set in two zero bytes, sum unchanged
    int refuseWrites = 0;  // the first N block writes and fills are refused, nothing of them kept
};

struct SimCounters {
    int commands = 0;      // complete commands handled
    int blocksServed = 0;  // block reads answered (resends not counted)
    int blocksWritten = 0; // block writes accepted with a good checksum
    int badWrites = 0;     // block writes refused for their checksum
    int resends = 0;       // 0x15 requests answered
    int corrupted = 0;     // block replies sent with a wrong checksum on purpose
    int dropped = 0;       // replies swallowed on purpose
    int acks = 0;          // 0x06 received from the host
    int setupEntries = 0;  // 0x03 followed by 0x05
    int reboots = 0;
    int clockUpdates = 0;
    int fills = 0;
    int byteWrites = 0; // 0x12 and 0x14 commands
    int byteReads = 0;
    int slotWritesIgnored = 0; // writes aimed at the cabinet's slot bytes
    int strayBytes = 0;        // bytes that started no known command, or broke one
    int badBlockWrites = 0;    // writes of the bad block kept with a byte changed
    int flippedPairs = 0;      // block replies sent with two bits flipped on purpose
    int refusedWrites = 0;     // block writes and fills refused on purpose
};
