#include "pages/TfrmPreAmp.h"

#include "app/Pages.h"
#include "app/TfrmMainA.h"
#include "controls/FacePanel.h"

TfrmPreAmp::TfrmPreAmp(QWidget* parent) : Page(parent)
{
    setWindowTitle(QStringLiteral(""));
    resize(1600, 900);
    auto* quit = new FacePanel(this);
    quit->setObjectName(QStringLiteral("panQUIT"));
    quit->setCaption(QStringLiteral("QUIT"));
    quit->setBevelWidth(3);
    quit->setGeometry(10, 10, 80, 60);
    connect(quit, &FacePanel::clicked, this, &TfrmPreAmp::panQUITClick);
}

void TfrmPreAmp::panQUITClick()
{
    navigate(this, frmMainA);
}
