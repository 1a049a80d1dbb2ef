#pragma once
// The editor's start-up: the splash with the module-search line, the main
// window shown, its load step, and the splash in front of the window again
// if it is still open by then.
#include <QString>

class frmMain;

void StartUp(frmMain &window, const QString &commandLine);
