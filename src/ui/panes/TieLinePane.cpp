#include "TieLinePane.h"

#include "ConfigDocument.h"

// Placeholder until the pane's controls are built.
struct TieLinePane::Private {
    int index = -1;
};

TieLinePane::TieLinePane(ConfigDocument &, QWidget *parent) : QWidget(parent), d(new Private) {}
void TieLinePane::ShowTieLine(int index) { d->index = index; }
int TieLinePane::currentIndex() const { return d->index; }
void TieLinePane::commitPending() {}
