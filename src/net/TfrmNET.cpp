#include "net/TfrmNET.h"

#include "app/Pages.h"
#include "app/TfrmMainA.h"
#include "controls/FacePanel.h"

#include <QLineEdit>

TfrmNET::TfrmNET(QWidget* parent) : Page(parent)
{
    setWindowTitle(QStringLiteral("NET CALLING PAGE"));
    resize(1600, 900);
    auto* quit = new FacePanel(this);
    quit->setObjectName(QStringLiteral("panQUIT"));
    quit->setCaption(QStringLiteral("QUIT"));
    quit->setBevelWidth(3);
    quit->setGeometry(10, 10, 80, 60);
    connect(quit, &FacePanel::clicked, this, &TfrmNET::panQUITClick);

    // The selected-call fields that the look-up pages write.
    int y = 100;
    for (const char* name : { "editSelCALL", "editSelFN", "editSelLNAME", "editSelSFN", "editSelSCALL",
             "editSelCITY", "editSelSTATE" }) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QLatin1String(name));
        field->setGeometry(1000, y, 300, 28);
        y += 36;
    }
}

void TfrmNET::panQUITClick()
{
    navigate(this, frmMainA);
}

void TfrmNET::LoadRosterSpreadsheet(const QString&) { }

bool TfrmNET::canClose()
{
    return true;
}
