#pragma once
// One QUICK CALL check-in as the benchmarks time it: a new call each time (the n-th), typed
// key by key into the box, then Enter. The comma form means no repeat notice or second Enter.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QString>

inline void typeQuickCheckIn(QLineEdit* quick, int n)
{
    const QString text = QStringLiteral("K%1Q%2, PAT, WACO, TX").arg(n % 10).arg(n);
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(quick, &press);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(quick, &enter);
}
