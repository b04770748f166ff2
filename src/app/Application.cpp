#include "app/Application.h"

#include "app/ScreenFit.h"

#include "controls/Dialogs.h"

#include <exception>

VelmoraApplication::VelmoraApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("velmora"));
    setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    installEventFilter(new DialogsOnScreen(this));
}

bool VelmoraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        Dialogs::errorBox(QString::fromUtf8(e.what()));
    } catch (...) {
        Dialogs::errorBox(QString());
    }
    return false;
}
