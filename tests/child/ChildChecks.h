#pragma once
// What the child programs that check the pages share: each fault printed as a line starting
// with "FAIL" and counted, and a page or a control looked up by its name, a missing one being
// such a fault. Plain Qt Widgets: the demo check runs where no test library is installed.
#include <QApplication>
#include <QString>
#include <QWidget>

#include <cstdio>

namespace childcheck {

inline int failures = 0;

inline void fail(const QString& text)
{
    ++failures;
    std::printf("FAIL %s\n", qPrintable(text));
    std::fflush(stdout);
}

inline QWidget* page(const char* name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name))
            return w;
    fail(QStringLiteral("no page %1").arg(QString::fromLatin1(name)));
    return nullptr;
}

inline QWidget* find(QWidget* page, const char* name)
{
    QWidget* w = page ? page->findChild<QWidget*>(QString::fromLatin1(name)) : nullptr;
    if (!w)
        fail(QStringLiteral("%1: no control %2")
                 .arg(page ? page->objectName() : QStringLiteral("no page"), QString::fromLatin1(name)));
    return w;
}

} // namespace childcheck
