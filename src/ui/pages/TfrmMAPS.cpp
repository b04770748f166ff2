#include "pages/TfrmMAPS.h"

#include "ui_TfrmMAPS.h"

TfrmMAPS::TfrmMAPS(QWidget* parent) : ReferencePage(parent), ui(std::make_unique<Ui::TfrmMAPS>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowState(Qt::WindowMaximized);
    connect(ui->panQUIT, &FacePanel::clicked, this, &TfrmMAPS::panQUITClick);
    connect(ui->Image1, &ImageBox::clicked, this, &TfrmMAPS::Image1Click);
}

TfrmMAPS::~TfrmMAPS() = default;

void TfrmMAPS::panQUITClick()
{
    closePage();
}

void TfrmMAPS::Image1Click()
{
    closePage();
}
