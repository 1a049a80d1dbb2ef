#pragma once
// The extension option boxes, shared by the extension pane and the class
// editor: chkSub 0..7 ("Recall" ... "Dial 9") and chkSub6 0..7 (dial 61..68)
// in the frame "Options", each editing one bit of the Status bytes.
#include <QGroupBox>

#include <array>
#include <cstdint>

class QCheckBox;

class OptionBoxes : public QGroupBox
{
    Q_OBJECT
  public:
    explicit OptionBoxes(QWidget *parent = nullptr);

    // Ticks the boxes from six Status bytes (no optionClicked follows).
    void showStatus(const std::array<uint8_t, 6> &status);

  signals:
    // The user ticked or cleared a box: bit `bit` of Status byte `byte`.
    void optionClicked(int byte, uint8_t bit, bool on);

  private:
    std::array<QCheckBox *, 8> chkSub_{};
    std::array<QCheckBox *, 8> chkSub6_{};
};
