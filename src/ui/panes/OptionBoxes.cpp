#include "OptionBoxes.h"

#include "OptionNames.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

using namespace tidelex;

OptionBoxes::OptionBoxes(QWidget *parent) : QGroupBox(QStringLiteral("Options"), parent)
{
    auto *opts = new QGridLayout(this);
    for (int k = 0; k < 8; ++k) {
        chkSub_[k] = new QCheckBox(QLatin1String(extensionOptions[k].caption), this);
        chkSub_[k]->setObjectName(QStringLiteral("chkSub_%1").arg(k));
        opts->addWidget(chkSub_[k], k / 4, k % 4);
        const OptionBit bit = extensionOptions[k];
        connect(chkSub_[k], &QCheckBox::clicked, this,
                [this, bit](bool on) { emit optionClicked(bit.byte, bit.bit, on); });
    }
    opts->addWidget(new QLabel(QStringLiteral("Dial 6 access:"), this), 2, 0, 1, 4);
    for (int k = 0; k < Dial6Codes; ++k) {
        chkSub6_[k] = new QCheckBox(QString::number(61 + k), this);
        chkSub6_[k]->setObjectName(QStringLiteral("chkSub6_%1").arg(k));
        chkSub6_[k]->setToolTip(QStringLiteral("May dial %1").arg(61 + k));
        opts->addWidget(chkSub6_[k], 3 + k / 4, k % 4);
        const uint8_t bit = uint8_t(1u << k);
        connect(chkSub6_[k], &QCheckBox::clicked, this,
                [this, bit](bool on) { emit optionClicked(2, bit, on); });
    }
}

void OptionBoxes::showStatus(const std::array<uint8_t, 6> &status)
{
    for (int k = 0; k < 8; ++k)
        chkSub_[k]->setChecked(status[extensionOptions[k].byte] & extensionOptions[k].bit);
    for (int k = 0; k < Dial6Codes; ++k)
        chkSub6_[k]->setChecked(status[2] & (1u << k));
}
