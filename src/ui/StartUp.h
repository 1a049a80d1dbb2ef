#pragma once
// The editor's start-up: the splash with the module-search line, the main
// window shown, its load step, the way to the exchange (the module search,
// or the built-in simulator), and the splash in front of the window again
// if it is still open by then.
#include <QString>

class MainWindow;

enum class ExchangeStart {
    None,     // no exchange yet (tests of the load step)
    Search,   // look for the Programming Module
    Simulate, // the built-in simulator, as the cabinet the file describes
};

void startUp(MainWindow &window, const QString &commandLine,
             ExchangeStart exchange = ExchangeStart::None);
