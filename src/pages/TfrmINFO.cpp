#include "pages/TfrmINFO.h"

#include "app/Pages.h"
#include "app/TfrmMainA.h"
#include "controls/FacePanel.h"

TfrmINFO::TfrmINFO(QWidget* parent) : Page(parent)
{
    setWindowTitle(QStringLiteral("INFORMATIONAL PAGE"));
    resize(1600, 900);
    auto* quit = new FacePanel(this);
    quit->setObjectName(QStringLiteral("panQUIT"));
    quit->setCaption(QStringLiteral("QUIT"));
    quit->setBevelWidth(3);
    quit->setGeometry(10, 10, 80, 60);
    connect(quit, &FacePanel::clicked, this, &TfrmINFO::panQUITClick);
}

void TfrmINFO::panQUITClick()
{
    navigate(this, frmMainA);
}
