#pragma once
// One of the two memory images of the raw-data view as a table: 512 rows of
// 16 bytes in hexadecimal, headed by the row's offset. A byte that differs
// from the other image is coloured the same way in both tables: changed
// (both bytes non-zero), removed (the new byte is 0) or added (the backup
// byte is 0).
#include <QAbstractTableModel>
#include <QByteArray>
#include <QColor>

enum class ByteChange { Same, Changed, Removed, Added };

ByteChange compareByte(uint8_t backup, uint8_t next);
// The colour of a difference: changed 0x80FFFF, removed 0xFF80FF, added 0xFFFF80.
QColor changeColour(ByteChange change);
// The first offset after `after` where the two images differ, going round
// from the start; -1 when they are the same.
int nextDifferingOffset(const QByteArray &backup, const QByteArray &next, int after);

class MemoryImageModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int BytesPerRow = 16;

    enum Side { Backup, New };

    explicit MemoryImageModel(Side side, QObject *parent = nullptr);

    // Both images, so each table colours what differs; without a backup to
    // compare with nothing is coloured.
    void setImages(const QByteArray &backup, const QByteArray &next, bool compare);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    uint8_t byteAt(const QByteArray &image, int offset) const;

    Side side_;
    QByteArray backup_;
    QByteArray next_;
    bool compare_ = false;
};
