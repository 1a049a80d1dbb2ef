#include "ClassIconDialog.h"

#include "Icons.h"

#include <QHBoxLayout>
#include <QToolButton>

ClassIconDialog::ClassIconDialog(const QString &current, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmClassIcon"));
    setWindowTitle(QStringLiteral("Class Icon"));
    auto *row = new QHBoxLayout(this);
    const QStringList keys = iconKeys();
    for (int k = 0; k < keys.size(); ++k) {
        auto *picture = new QToolButton(this);
        picture->setObjectName(QStringLiteral("picIcon_%1").arg(k));
        picture->setIcon(appIcon(keys[k]));
        picture->setIconSize(QSize(32, 32));
        picture->setToolTip(keys[k]);
        picture->setAutoRaise(keys[k] != current); // the current one stands framed
        picture->setCheckable(true);
        picture->setChecked(keys[k] == current);
        connect(picture, &QToolButton::clicked, this, [this, key = keys[k]] {
            chosen_ = key;
            accept();
        });
        row->addWidget(picture);
    }
}

QStringList ClassIconDialog::iconKeys()
{
    return {QStringLiteral("Ext"), QStringLiteral("ExtCosA"), QStringLiteral("ExtCosB"),
            QStringLiteral("Disabled")};
}
