#include "GroupMembersDialog.h"

#include "ConfigDocument.h"
#include "Equipment.h"
#include "GroupUsers.h"
#include "Names.h"
#include "PaneSupport.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace
{

constexpr int PageStep = 10;

Qt::CheckState stateOf(GroupUse use)
{
    switch (use) {
    case GroupUse::ThisGroup:
        return Qt::Checked;
    case GroupUse::AnotherGroup:
        return Qt::PartiallyChecked;
    case GroupUse::NoGroup:
        break;
    }
    return Qt::Unchecked;
}

GroupUse useOf(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked:
        return GroupUse::ThisGroup;
    case Qt::PartiallyChecked:
        return GroupUse::AnotherGroup;
    case Qt::Unchecked:
        break;
    }
    return GroupUse::NoGroup;
}

} // namespace

struct GroupMembersDialog::Private {
    GroupMembersDialog *q;
    ConfigDocument &doc;
    int group;
    QList<QCheckBox *> boxes; // in extension index order
    QScrollArea *vspExts = nullptr;

    Private(GroupMembersDialog *dialog, ConfigDocument &document, int g)
        : q(dialog), doc(document), group(g)
    {
    }

    int dirNum() const { return doc.config.Groups[group].DirNum; }

    void build();
    void addBoxes(QWidget *list, QVBoxLayout *rows);
    void focusBox(int row);
    void ok();
};

GroupMembersDialog::GroupMembersDialog(ConfigDocument &doc, int group, QWidget *parent)
    : QDialog(parent), d(new Private(this, doc, group))
{
    setObjectName(QStringLiteral("frmGroupExts"));
    setWindowTitle(QStringLiteral("Select Extensions"));
    d->build();
}

GroupMembersDialog::~GroupMembersDialog()
{
    delete d;
}

void GroupMembersDialog::Private::build()
{
    auto *layout = new QVBoxLayout(q);
    const GroupRecord &g = doc.config.Groups[group];
    auto *lead = new QLabel(QStringLiteral("Extensions which use %1 (%2). A grey box uses "
                                           "another group; tick it to move it to this one.")
                                .arg(g.Name, QString::number(g.DirNum)),
                            q);
    lead->setWordWrap(true);
    layout->addWidget(lead);

    vspExts = new QScrollArea(q);
    vspExts->setObjectName(QStringLiteral("vspExts"));
    vspExts->setWidgetResizable(true);
    auto *list = new QWidget(vspExts);
    auto *rows = new QVBoxLayout(list);
    rows->setSpacing(2);
    addBoxes(list, rows);
    rows->addStretch(1);
    vspExts->setWidget(list);
    layout->addWidget(vspExts, 1);

    QDialogButtonBox *buttons = panes::okCancelButtons(q);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, q, [this] { ok(); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, q, &QDialog::reject);

    const int rowHeight = boxes.isEmpty() ? 20 : boxes.first()->sizeHint().height() + 2;
    q->resize(q->sizeHint().width() + 40, std::min(16, int(boxes.size()) + 4) * rowHeight + 80);
}

void GroupMembersDialog::Private::addBoxes(QWidget *list, QVBoxLayout *rows)
{
    const Configuration &c = doc.config;
    for (int i : liveExtensions(c)) {
        const ExtRecord &ext = c.Extensions[i];
        // "&" in a name is shown, not taken as an access key.
        QString caption = QStringLiteral("%1 (%2)").arg(ext.Name, QString::number(ext.ExtNum));
        auto *box = new QCheckBox(caption.replace(QLatin1Char('&'), QStringLiteral("&&")), list);
        box->setObjectName(QStringLiteral("chkExts_%1").arg(i));
        box->setProperty("extension", i);
        const Qt::CheckState state = stateOf(groupUse(c, i, dirNum()));
        // Only a box that starts grey can come back to grey.
        box->setTristate(state == Qt::PartiallyChecked);
        box->setCheckState(state);
        if (state == Qt::PartiallyChecked)
            box->setToolTip(QStringLiteral("Uses ") + getNameFromExt(c, ext.Group) +
                            QStringLiteral(" (%1)").arg(ext.Group));
        box->installEventFilter(q);
        rows->addWidget(box);
        boxes.append(box);
    }
}

QCheckBox *GroupMembersDialog::box(int i) const
{
    return findChild<QCheckBox *>(QStringLiteral("chkExts_%1").arg(i));
}

void GroupMembersDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!d->boxes.isEmpty())
        d->focusBox(0);
}

bool GroupMembersDialog::eventFilter(QObject *watched, QEvent *event)
{
    const int row = d->boxes.indexOf(qobject_cast<QCheckBox *>(watched));
    if (row < 0 || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int last = int(d->boxes.size()) - 1;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Home:
        d->focusBox(0);
        return true;
    case Qt::Key_End:
        d->focusBox(last);
        return true;
    case Qt::Key_PageUp:
        d->focusBox(std::max(row - PageStep, 0));
        return true;
    case Qt::Key_PageDown:
        d->focusBox(std::min(row + PageStep, last));
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void GroupMembersDialog::Private::focusBox(int row)
{
    boxes[row]->setFocus(Qt::OtherFocusReason);
    vspExts->ensureWidgetVisible(boxes[row]);
}

void GroupMembersDialog::Private::ok()
{
    QList<GroupUseChoice> choices;
    for (QCheckBox *box : std::as_const(boxes))
        choices.append({box->property("extension").toInt(), useOf(box->checkState())});
    if (applyGroupUse(doc.config, dirNum(), choices))
        doc.markChanged(recordTitle(groupKey(group)) + QStringLiteral(" Members"), groupKey(group));
    q->accept();
}
