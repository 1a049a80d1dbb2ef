#include "EditPane.h"

#include "Equipment.h"

std::optional<RecordKind> recordKindOf(const QString &key)
{
    if (key == systemKey())
        return RecordKind::System;
    switch (key.isEmpty() ? u'\0' : key.at(0).unicode()) {
    case 'T':
        return RecordKind::TieLine;
    case 'E':
        return RecordKind::Extension;
    case 'G':
        return RecordKind::Group;
    default:
        return std::nullopt;
    }
}
