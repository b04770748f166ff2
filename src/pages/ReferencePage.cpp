#include "pages/ReferencePage.h"

#include "app/Pages.h"
#include "app/TfrmMainA.h"

#include <QCloseEvent>

ReferencePage::ReferencePage(QWidget* parent) : Page(parent) { }

void ReferencePage::closePage()
{
    navigate(this, frmMainA);
}

void ReferencePage::closeEvent(QCloseEvent* event)
{
    // A hidden page is closed when the program ends: let that go through.
    if (!isVisible() || !frmMainA) {
        event->accept();
        return;
    }
    event->ignore();
    closePage();
}
