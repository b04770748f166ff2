#include "pages/ReferencePage.h"

ReferencePage::ReferencePage(QWidget* parent) : Page(parent) { }

void ReferencePage::closePage()
{
    goBack();
}
