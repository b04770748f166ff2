#pragma once
// The application object: any exception that escapes an event handler is shown in the
// standard error box with its text, and the program carries on. Every dialog is kept on
// the screen it opens on.
#include <QApplication>

class VelmoraApplication : public QApplication {
public:
    VelmoraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
