#include "ExtensionPane.h"

#include "ConfigDocument.h"

// Placeholder until the pane's controls are built.
struct ExtensionPane::Private {
    int index = -1;
};

ExtensionPane::ExtensionPane(ConfigDocument &, QWidget *parent) : QWidget(parent), d(new Private) {}
void ExtensionPane::ShowExtension(int index) { d->index = index; }
int ExtensionPane::currentIndex() const { return d->index; }
void ExtensionPane::commitPending() {}
