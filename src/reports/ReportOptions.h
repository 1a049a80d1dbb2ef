#pragma once
// The five report options of the View menu, read when a report is built.
#include <array>

struct ReportOptions {
    // Index 1..5: 1 sorted by Name, 2 by Number, 3 by Type, 4 by Board,
    // 5 all extension options. Index 0 is unused.
    std::array<bool, 6> option{};

    bool operator[](int n) const { return n >= 1 && n <= 5 && option[n]; }
    void set(int n, bool on)
    {
        if (n >= 1 && n <= 5)
            option[n] = on;
    }
};
