#pragma once
// The headless screen of the page tests: Qt's offscreen platform with a screen that holds
// the pages' 1600 by 900 design (its own default screen is smaller), so the pages open at
// the size they are laid out for. A platform chosen otherwise is left as it is.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QString>
#include <QTemporaryDir>

// A folder for a screen configuration, below the current folder. Qt splits the platform's
// parameters at ':', so a path with a drive letter ("C:/Users/...") would be cut in two; a
// path relative to the current folder has none, and the folder is on the current drive.
inline QString newScreenFolderTemplate()
{
    return QDir::current().filePath(QStringLiteral("velmora-screen-XXXXXX"));
}

// The offscreen platform reading its screens from FILE, a file below the current folder.
inline QString offscreenWithConfig(const QString& file)
{
    return QStringLiteral("offscreen:configfile=") + QDir::current().relativeFilePath(file);
}

inline void useDesignSizedScreen(const QTemporaryDir& folder)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen")
        return;
    const QString config = QDir(folder.path()).filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(
        "{ \"screens\": [ { \"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": 1920, \"height\": 1080, "
        "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }");
    file.close();
    qputenv("QT_QPA_PLATFORM", QFile::encodeName(offscreenWithConfig(config)));
}

// Qt's offscreen platform on Windows reads the fonts of one folder (QT_QPA_FONTDIR; the Wine
// test run gives it the Liberation and DejaVu fonts) and knows no other names for them. The
// pages ask for Arial, Courier New and Tahoma: they get the fonts that fontconfig gives for
// those on Linux, Liberation's being made to the measures of Microsoft's. Called before the
// application exists: a font looked up before its stand-in is named stays as it was found.
inline void useStandInFonts()
{
#ifdef _WIN32
    const char* const standIns[][2] = { { "Arial", "Liberation Sans" }, { "Helvetica", "Liberation Sans" },
        { "Courier New", "Liberation Mono" }, { "Times New Roman", "Liberation Serif" },
        { "Tahoma", "DejaVu Sans" }, { "MS Shell Dlg", "DejaVu Sans" }, { "MS Shell Dlg 2", "DejaVu Sans" },
        { "Segoe UI", "DejaVu Sans" } };
    for (const auto& [family, standIn] : standIns)
        QFont::insertSubstitution(QString::fromLatin1(family), QString::fromLatin1(standIn));
#endif
}
