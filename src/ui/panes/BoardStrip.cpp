#include "BoardStrip.h"

#include "Limits.h"
#include "BoardTypes.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

using namespace tidelex;

namespace
{

constexpr int LampSize = 9;
constexpr int FocusFrame = 3;

// A port lamp: a white disc with a dark rim, whatever the palette.
class Lamp : public QWidget
{
  public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {LampSize, LampSize}; }

  protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(40, 40, 40), 1));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
};

bool isLineSlot(int slot)
{
    return slot >= FirstLineSlot && slot <= LastLineSlot;
}

} // namespace

BoardStrip::BoardStrip(const QString &shapePrefix, QWidget *parent, bool withLamps)
    : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    // Room around the outer slots for the keyboard focus frame.
    row->setContentsMargins(FocusFrame, FocusFrame, FocusFrame, FocusFrame);
    row->setSpacing(3);
    for (int slot = 0; slot < SlotCount; ++slot) {
        auto *column = new QVBoxLayout;
        column->setSpacing(2);
        auto *shape = new QFrame(this);
        shape->setObjectName(shapePrefix + QLatin1Char('_') + QString::number(slot));
        shape->setFrameShape(QFrame::Box);
        shape->setLineWidth(1);
        shape->setMinimumSize(withLamps ? LampSize + 12 : 12, 48);
        shape->setAutoFillBackground(true);
        shapes_[slot] = shape;
        if (withLamps && isLineSlot(slot))
            addLamps(slot);
        auto *number = new QLabel(QString::number(slot), this);
        number->setAlignment(Qt::AlignHCenter);
        numbers_[slot] = number;
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

void BoardStrip::addLamps(int slot)
{
    auto *column = new QVBoxLayout(shapes_[slot]);
    column->setContentsMargins(3, 4, 3, 4);
    column->setSpacing(3);
    const int first = (slot - FirstLineSlot) * ExtsPerBoard;
    for (int c = first; c < first + ExtsPerBoard; ++c) {
        auto *lamp = new Lamp(shapes_[slot]);
        lamp->setObjectName(QStringLiteral("shpChannel_") + QString::number(c));
        lamp->setFixedSize(LampSize, LampSize);
        // A hidden lamp keeps its place, so the others do not move.
        QSizePolicy policy = lamp->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        lamp->setSizePolicy(policy);
        column->addWidget(lamp, 0, Qt::AlignHCenter);
        lamps_[c] = lamp;
    }
    column->addStretch(1);
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
    paintRim(slot);
    showLamps(slot, boardType);
}

void BoardStrip::setSlotMarked(int slot, bool marked)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    marked_[slot] = marked;
    paintRim(slot);
}

bool BoardStrip::slotMarked(int slot) const
{
    return slot >= 0 && slot < SlotCount && marked_[slot];
}

void BoardStrip::paintRim(int slot)
{
    QFrame *shape = shapes_[slot];
    QPalette pal = shape->palette();
    // Grey shows on black and on white shapes alike.
    pal.setColor(QPalette::WindowText, marked_[slot] ? QColor(255, 140, 0) : QColor(128, 128, 128));
    shape->setPalette(pal);
    shape->setLineWidth(marked_[slot] ? 3 : 1);
    QFont font = numbers_[slot]->font();
    font.setBold(marked_[slot]);
    numbers_[slot]->setFont(font);
    QPalette numberColours; // nothing set: the strip's own colours
    if (marked_[slot])
        numberColours.setColor(QPalette::WindowText, QColor(255, 140, 0));
    numbers_[slot]->setPalette(numberColours);
}

void BoardStrip::setShapeMinimumSize(const QSize &size)
{
    for (QFrame *shape : shapes_)
        shape->setMinimumSize(size);
}

void BoardStrip::showLamps(int slot, int boardType)
{
    if (!isLineSlot(slot) || !lamps_[0])
        return;
    const int shown = boardType == BoardSubscriber ? ExtsPerBoard
                      : boardType == BoardTieLine  ? TiesPerBoard
                                                   : 0;
    const int first = (slot - FirstLineSlot) * ExtsPerBoard;
    for (int port = 0; port < ExtsPerBoard; ++port)
        lamps_[first + port]->setVisible(port < shown);
}

QColor BoardStrip::slotColour(int slot) const
{
    return shapes_[slot]->palette().color(QPalette::Window);
}

bool BoardStrip::lampShown(int c) const
{
    return c >= 0 && c < LampCount && lamps_[c] && !lamps_[c]->isHidden();
}

int BoardStrip::slotAt(const QPoint &pos) const
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (shapes_[slot]->geometry().contains(pos))
            return slot;
    }
    return -1;
}

int BoardStrip::lampAt(const QPoint &pos) const
{
    const int slot = slotAt(pos);
    if (!isLineSlot(slot) || !lamps_[0])
        return -1;
    const QPoint inShape = pos - shapes_[slot]->pos();
    const int first = (slot - FirstLineSlot) * ExtsPerBoard;
    for (int c = first; c < first + ExtsPerBoard; ++c) {
        if (lampShown(c) && lamps_[c]->geometry().contains(inShape))
            return c;
    }
    return -1;
}

bool BoardStrip::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && tipSource_) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = tipSource_(slotAt(help->pos()), lampAt(help->pos()));
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void BoardStrip::contextMenuEvent(QContextMenuEvent *event)
{
    // The Menu key arrives here on some platforms, as a key press on others.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        requestMenu(current_);
        return;
    }
    const int slot = slotAt(event->pos());
    if (slot < 0) {
        event->ignore();
        return;
    }
    setCurrentSlot(slot);
    emit slotMenuRequested(slot, event->globalPos());
}

void BoardStrip::requestMenu(int slot)
{
    // One menu at a time, however many ways the key was reported.
    if (QApplication::activePopupWidget())
        return;
    emit slotMenuRequested(slot, mapToGlobal(shapes_[slot]->geometry().center()));
}

void BoardStrip::setCurrentSlot(int slot)
{
    if (slot < 0 || slot >= SlotCount || slot == current_)
        return;
    current_ = slot;
    update();
}

void BoardStrip::keyPressEvent(QKeyEvent *event)
{
    int slot = current_;
    switch (event->key()) {
    case Qt::Key_Left:
        slot = std::max(0, slot - 1);
        break;
    case Qt::Key_Right:
        slot = std::min(SlotCount - 1, slot + 1);
        break;
    case Qt::Key_Home:
        slot = 0;
        break;
    case Qt::Key_End:
        slot = SlotCount - 1;
        break;
    case Qt::Key_F10:
        if (event->modifiers() != Qt::ShiftModifier) {
            QWidget::keyPressEvent(event);
            return;
        }
        [[fallthrough]];
    case Qt::Key_Menu:
        requestMenu(current_);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    setCurrentSlot(slot);
    // What the mouse would show, for the slot the keyboard reached.
    if (tipSource_) {
        const QRect shape = shapes_[current_]->geometry();
        QToolTip::showText(mapToGlobal(shape.bottomLeft()), tipSource_(current_, -1), this);
    }
}

void BoardStrip::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (!hasFocus())
        return;
    // A frame around the focused slot and its number, in the palette's highlight.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    const QRect slot = shapes_[current_]->geometry().united(numbers_[current_]->geometry());
    painter.drawRect(slot.adjusted(-2, -2, 1, 1));
}

void BoardStrip::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void BoardStrip::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void BoardStrip::mousePressEvent(QMouseEvent *event)
{
    // A click chooses the slot the keys then act on.
    setCurrentSlot(slotAt(event->position().toPoint()));
    QWidget::mousePressEvent(event);
}

void BoardStrip::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int c = lampAt(event->position().toPoint());
    if (c >= 0)
        emit lampDoubleClicked(c);
}
