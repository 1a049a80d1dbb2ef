#pragma once
// The navigation tree trvTables: the system, the extensions, tie lines and
// groups, and the reports. Each node carries its key ("RRR", "E007",
// "P321"...) and the first letter of a key tells what the node stands for.
#include "Configuration.h"
#include "RecordFilter.h"

#include <QStringList>
#include <QTreeWidget>

class NavTree : public QTreeWidget
{
    Q_OBJECT
  public:
    explicit NavTree(QWidget *parent = nullptr);

    // Rebuilds every node from the tables, unfolded as before. The caller
    // runs the check after.
    void buildTree(const Configuration &config);

    QTreeWidgetItem *findNode(const QString &key) const;
    static QString keyOf(const QTreeWidgetItem *item);
    QString currentKey() const;
    // Makes the node current (and shows it) without announcing a click.
    bool selectNode(const QString &key);

    // The text a record node shows: "101 (Bridge)" for an extension with a
    // true name, otherwise the record's name.
    static QString nodeText(const Configuration &config, const QString &key);
    // Text and colour of one record node, or of all of them, from the tables.
    void refreshNode(const Configuration &config, const QString &key);
    void refreshRecordNodes(const Configuration &config);

    // Paints the nodes of `keys` light red and every other node plain.
    void setHighlights(const QStringList &keys);
    QStringList highlightedKeys() const;

    // Shows only the record nodes the filter matches (all when empty); the
    // system, category and report nodes stay.
    void setRecordFilter(const RecordFilter &filter);
    // Keys of the record nodes shown, in tree order.
    QStringList shownRecordKeys() const;

    // Starts renaming a node; refused (false) for the system, category and
    // report nodes.
    bool renameNode(const QString &key);

  signals:
    // The user picked a node (mouse or keyboard).
    void nodeClicked(const QString &key);
    // The user gave a record node a new name.
    void nodeRenamed(const QString &key, const QString &text);

  private:
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &key, const QString &text,
                             const QString &icon);
    void paintRecordNode(QTreeWidgetItem *item, const Configuration &config);
    void applyFilter();
    QList<QTreeWidgetItem *> recordNodes() const;
    // The text colour of a node for its background: dark on the error red.
    static void paintText(QTreeWidgetItem *item);

    bool building_ = false;
    RecordFilter filter_;
    friend class NodeNameDelegate;
};
