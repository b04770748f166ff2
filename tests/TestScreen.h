#pragma once
// The headless screen of the page tests: Qt's offscreen platform with a screen that holds
// the pages' 1600 by 900 design (its own default screen is smaller), so the pages open at
// the size they are laid out for. A platform chosen otherwise is left as it is.
#include <QByteArray>
#include <QDir>
#include <QFile>

inline void useDesignSizedScreen(const QString& folder)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen")
        return;
    const QString config = QDir(folder).filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(
        "{ \"screens\": [ { \"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": 1920, \"height\": 1080, "
        "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }");
    file.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QFile::encodeName(config));
}
