#include "MemoryImageModel.h"

#include <QFontDatabase>

ByteChange compareByte(uint8_t backup, uint8_t next)
{
    if (backup == next)
        return ByteChange::Same;
    if (next == 0)
        return ByteChange::Removed;
    if (backup == 0)
        return ByteChange::Added;
    return ByteChange::Changed;
}

QColor changeColour(ByteChange change)
{
    switch (change) {
    case ByteChange::Changed:
        return QColor(0x80, 0xFF, 0xFF);
    case ByteChange::Removed:
        return QColor(0xFF, 0x80, 0xFF);
    case ByteChange::Added:
        return QColor(0xFF, 0xFF, 0x80);
    case ByteChange::Same:
        break;
    }
    return QColor();
}

int nextDifferingOffset(const QByteArray &backup, const QByteArray &next, int after)
{
    const int size = int(std::max(backup.size(), next.size()));
    auto at = [](const QByteArray &image, int offset) {
        return offset < image.size() ? image.at(offset) : '\0';
    };
    for (int step = 1; step <= size; ++step) {
        const int offset = (after + step) % size;
        if (at(backup, offset) != at(next, offset))
            return offset;
    }
    return -1;
}

MemoryImageModel::MemoryImageModel(Side side, QObject *parent)
    : QAbstractTableModel(parent), side_(side)
{
}

void MemoryImageModel::setImages(const QByteArray &backup, const QByteArray &next, bool compare)
{
    beginResetModel();
    backup_ = backup;
    next_ = next;
    compare_ = compare;
    endResetModel();
}

int MemoryImageModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    const QByteArray &shown = side_ == Backup ? backup_ : next_;
    return int((shown.size() + BytesPerRow - 1) / BytesPerRow);
}

int MemoryImageModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : BytesPerRow;
}

uint8_t MemoryImageModel::byteAt(const QByteArray &image, int offset) const
{
    return offset < image.size() ? static_cast<uint8_t>(image.at(offset)) : 0;
}

QVariant MemoryImageModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int offset = index.row() * BytesPerRow + index.column();
    const uint8_t backup = byteAt(backup_, offset);
    const uint8_t next = byteAt(next_, offset);
    const ByteChange change = compare_ ? compareByte(backup, next) : ByteChange::Same;
    switch (role) {
    case Qt::DisplayRole: {
        const uint8_t shown = side_ == Backup ? backup : next;
        return QStringLiteral("%1").arg(shown, 2, 16, QLatin1Char('0')).toUpper();
    }
    case Qt::BackgroundRole:
        return change == ByteChange::Same ? QVariant() : QVariant(changeColour(change));
    case Qt::ForegroundRole:
        // Dark text on the light marking colours, whatever the palette.
        return change == ByteChange::Same ? QVariant() : QVariant(QColor(Qt::black));
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::FontRole:
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    default:
        return {};
    }
}

QVariant MemoryImageModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::FontRole)
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return QString::number(section, 16).toUpper();
    return QStringLiteral("%1").arg(section * BytesPerRow, 4, 16, QLatin1Char('0')).toUpper();
}
