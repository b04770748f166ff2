#include "net/StatusTagDelegate.h"

#include "checkin/CheckInStatus.h"

#include <QPainter>

void StatusTagDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const CheckInStatus* status = statusByCode(index.data(m_role).toString());
    if (!status)
        return;
    painter->save();
    QFont font = option.font;
    font.setBold(true);
    painter->setFont(font);
    const int width = QFontMetrics(font).horizontalAdvance(status->code) + 12;
    const QRect tag(option.rect.right() - width - 4, option.rect.top() + 1, width, option.rect.height() - 2);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    const QColor colour(QRgb(status->rgb));
    painter->setBrush(colour);
    painter->drawRoundedRect(tag, 4, 4);
    painter->setPen(colour.lightness() > 140 ? Qt::black : Qt::white);
    painter->drawText(tag, Qt::AlignCenter, status->code);
    painter->restore();
}
