#pragma once
// A row of 18 coloured shapes, one per cabinet slot, showing which board
// each slot holds (red Subscriber, blue Tie Line, yellow Processor, green
// Tone, black Empty, white anything else). With lamps, each line slot
// 2..16 carries eight port lamps (shpChannel 0..119): all eight for a
// Subscriber board, the first four for a Tie Line board, none when empty.
// The owner supplies the tooltip texts and acts on the menu and
// double-click requests. Given a focus policy, the strip is reached with
// Tab: the arrow keys (Home, End) move between slots, and the Menu key or
// Shift+F10 asks for the menu of the focused slot, as a right-click does.
#include <QColor>
#include <QWidget>

#include <array>
#include <functional>

class QFrame;
class QLabel;

class BoardStrip : public QWidget
{
    Q_OBJECT
  public:
    static constexpr int LampCount = 120;

    // The shapes are named prefix + "_" + slot ("Shape1_5"), the lamps
    // "shpChannel_" + index.
    explicit BoardStrip(const QString &shapePrefix, QWidget *parent = nullptr,
                        bool withLamps = false);

    static QColor colourFor(int boardType);
    // Shapes at least this large (a window showing only the boards draws them bigger).
    void setShapeMinimumSize(const QSize &size);

    void setSlotType(int slot, int boardType);
    QColor slotColour(int slot) const;
    // A marked slot (one that needs attention) has a thick orange rim and number.
    void setSlotMarked(int slot, bool marked);
    bool slotMarked(int slot) const;
    QFrame *shape(int slot) const { return shapes_[slot]; }
    // Lamp c (nullptr without lamps) and whether it is shown.
    QWidget *lamp(int c) const { return lamps_[c]; }
    bool lampShown(int c) const;

    // The slot (0..17) or shown lamp (0..119) at a point of the strip; -1 for none.
    int slotAt(const QPoint &pos) const;
    int lampAt(const QPoint &pos) const;

    // The slot the keyboard acts on (0..17); a click makes its slot current.
    int currentSlot() const { return current_; }
    void setCurrentSlot(int slot);

    // The tooltip for a slot and lamp under the mouse (-1 for none).
    using TipSource = std::function<QString(int slot, int lamp)>;
    void setTipSource(TipSource source) { tipSource_ = std::move(source); }

  signals:
    void slotMenuRequested(int slot, const QPoint &globalPos);
    void lampDoubleClicked(int lamp);

  protected:
    bool event(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

  private:
    void requestMenu(int slot);
    void addLamps(int slot);
    void showLamps(int slot, int boardType);
    void paintRim(int slot);

    std::array<QFrame *, 18> shapes_{};
    std::array<QWidget *, LampCount> lamps_{};
    std::array<bool, 18> marked_{};
    std::array<QLabel *, 18> numbers_{};
    TipSource tipSource_;
    int current_ = 0;
};
