#include "SystemPane.h"

#include "ConfigDocument.h"

// Placeholder until the pane's controls are built.
struct SystemPane::Private {
};

SystemPane::SystemPane(ConfigDocument &, QWidget *parent) : QWidget(parent), d(new Private) {}
void SystemPane::DisplaySysConfig() {}
void SystemPane::commitPending() {}
