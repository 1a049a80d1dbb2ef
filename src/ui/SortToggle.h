#pragma once
// Column sorting of the lists: a click on the sorted column reverses the
// order, a click on another column sorts it ascending.
#include <Qt>

struct SortToggle {
    int column = -1;
    Qt::SortOrder order = Qt::AscendingOrder;

    void click(int clicked)
    {
        if (clicked == column) {
            order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        } else {
            column = clicked;
            order = Qt::AscendingOrder;
        }
    }
};
