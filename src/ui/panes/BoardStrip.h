#pragma once
// A row of 18 coloured shapes, one per cabinet slot, showing which board
// each slot holds (red Subscriber, blue Tie Line, yellow Processor, green
// Tone, black Empty, white anything else).
#include <QColor>
#include <QWidget>

#include <array>

class QFrame;

class BoardStrip : public QWidget
{
    Q_OBJECT
  public:
    // The shapes are named prefix + "_" + slot ("Shape1_5").
    explicit BoardStrip(const QString &shapePrefix, QWidget *parent = nullptr);

    static QColor colourFor(int boardType);

    void setSlotType(int slot, int boardType);
    QColor slotColour(int slot) const;
    QFrame *shape(int slot) const { return shapes_[slot]; }

  private:
    std::array<QFrame *, 18> shapes_{};
};
