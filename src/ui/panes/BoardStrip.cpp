#include "BoardStrip.h"

#include "tdlConsts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace tdl;

BoardStrip::BoardStrip(const QString &shapePrefix, QWidget *parent) : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(3);
    for (int slot = 0; slot < SlotCount; ++slot) {
        auto *column = new QVBoxLayout;
        column->setSpacing(2);
        auto *shape = new QFrame(this);
        shape->setObjectName(shapePrefix + QLatin1Char('_') + QString::number(slot));
        shape->setFrameShape(QFrame::Box);
        shape->setLineWidth(1);
        shape->setMinimumSize(12, 48);
        shape->setAutoFillBackground(true);
        shapes_[slot] = shape;
        auto *number = new QLabel(QString::number(slot), this);
        number->setAlignment(Qt::AlignHCenter);
        column->addWidget(shape, 1);
        column->addWidget(number);
        row->addLayout(column);
    }
    // The fixed slots as the cabinet is built: tone, processor, ringing module.
    setSlotType(0, BoardTone8);
    setSlotType(1, BoardProcessor);
    setSlotType(17, BoardRinging);
    for (int slot = FirstLineSlot; slot <= LastLineSlot; ++slot)
        setSlotType(slot, BoardEmpty);
}

QColor BoardStrip::colourFor(int boardType)
{
    switch (boardType) {
    case BoardSubscriber:
        return QColor(255, 0, 0);
    case BoardEmpty:
        return QColor(0, 0, 0);
    case BoardTone8:
        return QColor(0, 255, 0);
    case BoardProcessor:
        return QColor(255, 255, 0);
    case BoardTieLine:
        return QColor(0, 0, 255);
    default:
        return QColor(255, 255, 255);
    }
}

void BoardStrip::setSlotType(int slot, int boardType)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    QPalette pal = shapes_[slot]->palette();
    pal.setColor(QPalette::Window, colourFor(boardType));
    shapes_[slot]->setPalette(pal);
}

QColor BoardStrip::slotColour(int slot) const
{
    return shapes_[slot]->palette().color(QPalette::Window);
}
