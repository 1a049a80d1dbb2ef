#include "EditPane.h"

#include "Equipment.h"

std::optional<PaneKind> paneKindOf(const QString &key)
{
    if (key == systemKey())
        return PaneKind::System;
    switch (key.isEmpty() ? u'\0' : key.at(0).unicode()) {
    case 'T':
        return PaneKind::TieLine;
    case 'E':
        return PaneKind::Extension;
    case 'G':
        return PaneKind::Group;
    default:
        return std::nullopt;
    }
}
