#include "fcc/TfrmFCC2.h"

#include "app/Pages.h"
#include "net/TfrmNET.h"
#include "controls/FacePanel.h"

TfrmFCC2::TfrmFCC2(QWidget* parent) : Page(parent)
{
    setWindowTitle(QStringLiteral("FCC  PAGE"));
    resize(1600, 900);
    auto* quit = new FacePanel(this);
    quit->setObjectName(QStringLiteral("panQUIT"));
    quit->setCaption(QStringLiteral("QUIT"));
    quit->setBevelWidth(3);
    quit->setGeometry(10, 10, 80, 60);
    connect(quit, &FacePanel::clicked, this, &TfrmFCC2::panQUITClick);
}

void TfrmFCC2::panQUITClick()
{
    navigate(this, frmNET);
}
