#include "pages/ReferencePage.h"

#include "app/Pages.h"
#include "app/TfrmMainA.h"

ReferencePage::ReferencePage(QWidget* parent) : Page(parent) { }

void ReferencePage::closePage()
{
    navigate(this, frmMainA);
}

Page* ReferencePage::pageBehind() const
{
    return frmMainA;
}
