#include "GroupPane.h"

#include "ConfigDocument.h"

// Placeholder until the pane's controls are built.
struct GroupPane::Private {
    int index = -1;
};

GroupPane::GroupPane(ConfigDocument &, QWidget *parent) : QWidget(parent), d(new Private) {}
void GroupPane::ShowGroup(int index) { d->index = index; }
int GroupPane::currentIndex() const { return d->index; }
void GroupPane::commitPending() {}
