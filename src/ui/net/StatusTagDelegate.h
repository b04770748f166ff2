#pragma once
// Draws a check-in line as it is, with its status as a small coloured tag at the right:
// the status is never part of the line's text.
#include <QStyledItemDelegate>

class StatusTagDelegate : public QStyledItemDelegate {
public:
    explicit StatusTagDelegate(int statusRole, QObject* parent)
        : QStyledItemDelegate(parent), m_role(statusRole)
    {
    }
    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_role;
};
