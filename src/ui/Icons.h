#pragma once
// The pictures of the program, drawn as SVG and kept in the resources:
// image keys of the classes ("Ext", "ExtCosA", "Tie", "GrpHunt"...), of
// the toolbar ("Load", "Save", "View List"...) and of the tree.
#include <QIcon>
#include <QPixmap>
#include <QString>

// The icon of an image key; an unknown key gives the plain extension icon,
// so every item has a picture.
QIcon appIcon(const QString &key);
bool hasAppIcon(const QString &key);
QPixmap appLogo(int size);
