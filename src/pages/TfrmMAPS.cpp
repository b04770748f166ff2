#include "pages/TfrmMAPS.h"

#include "app/Pages.h"
#include "app/TfrmMainA.h"
#include "controls/FacePanel.h"

TfrmMAPS::TfrmMAPS(QWidget* parent) : Page(parent)
{
    setWindowTitle(QStringLiteral("MAP PAGE"));
    resize(1600, 900);
    auto* quit = new FacePanel(this);
    quit->setObjectName(QStringLiteral("panQUIT"));
    quit->setCaption(QStringLiteral("QUIT"));
    quit->setBevelWidth(3);
    quit->setGeometry(10, 10, 80, 60);
    connect(quit, &FacePanel::clicked, this, &TfrmMAPS::panQUITClick);
}

void TfrmMAPS::panQUITClick()
{
    navigate(this, frmMainA);
}
