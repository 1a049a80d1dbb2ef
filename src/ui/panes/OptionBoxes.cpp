#include "OptionBoxes.h"

#include "tdlConsts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

using namespace tdl;

namespace
{

struct OptionBit {
    const char *caption;
    int byte;
    uint8_t bit;
};

const OptionBit optionBits[8] = {
    {"Recall", 0, ExtRecall},    {"Intrude", 1, ExtIntrude},
    {"Rapid Ring", 1, ExtRapid}, {"Night Bell Pickup", 1, ExtNightPickup},
    {"Dial #", 1, ExtHash},      {"Dial LD", 1, ExtLD},
    {"Dial MF", 1, ExtMF},       {"Dial 9", 4, ExtDial9},
};

} // namespace

OptionBoxes::OptionBoxes(QWidget *parent) : QGroupBox(QStringLiteral("Options"), parent)
{
    auto *opts = new QGridLayout(this);
    for (int k = 0; k < 8; ++k) {
        chkSub_[k] = new QCheckBox(QLatin1String(optionBits[k].caption), this);
        chkSub_[k]->setObjectName(QStringLiteral("chkSub_%1").arg(k));
        opts->addWidget(chkSub_[k], k / 4, k % 4);
        const OptionBit bit = optionBits[k];
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
        chkSub_[k]->setChecked(status[optionBits[k].byte] & optionBits[k].bit);
    for (int k = 0; k < Dial6Codes; ++k)
        chkSub6_[k]->setChecked(status[2] & (1u << k));
}
