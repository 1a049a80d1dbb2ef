#pragma once
// The program's own settings: window placement, view options and the list
// of recently used files, kept under "Corvane Telecom Limited" /
// "Tidelex Analog" (the registry on Windows, a .conf file elsewhere).
#include <QString>
#include <QStringList>

namespace AppSettings
{

constexpr int MaxRecentFiles = 10; // entries kept
constexpr int MenuRecentFiles = 9; // entries shown in the File menu

// "Settings/Window", measures in twips.
struct WindowSettings {
    int Left = 1000;
    int Top = 1000;
    int Width = 8145;
    int Height = 8760;
    int ShowErrors = 1;
    int ViewMode = 0; // 0 large icons, 1 small icons, 2 list, 3 details
    // Ours beside the documented values: the window was maximised, and the
    // tree's width and the error list's height (0: never stored).
    int Maximized = 0;
    int TreeWidth = 0;
    int ErrorsHeight = 0;
    // Whether a placement was ever stored (false on the first start).
    bool Placed = false;
};

WindowSettings readWindowSettings();
// Placement is written only when `withPlacement` (a window that is neither
// minimised nor maximised); the view options always.
void writeWindowSettings(const WindowSettings &settings, bool withPlacement);

// Puts `fileName` at the top of the recent files: an entry already listed
// (exact, case-sensitive match) moves up, a new one pushes the oldest out
// once ten are kept.
void checkMRU(const QString &fileName);
// Entries 1..9 as stored, most recent first (the menu skips blank ones but
// keeps the numbering).
QStringList recentFiles();

// "Settings/Transfer/ReadTwice": Get Configuration reads every block twice.
bool readTwiceToVerify();
void setReadTwiceToVerify(bool on);

} // namespace AppSettings
