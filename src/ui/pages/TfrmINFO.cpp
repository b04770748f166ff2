#include "pages/TfrmINFO.h"

#include "ui_TfrmINFO.h"

TfrmINFO::TfrmINFO(QWidget* parent) : ReferencePage(parent), ui(std::make_unique<Ui::TfrmINFO>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(1305, 750);
    pictures.add(ui->VR1, ui->panS1);
    pictures.add(ui->VR2, ui->panS2);
    pictures.add(ui->VR3, ui->panS3);
    pictures.add(ui->VR4, ui->panS4);
    connect(ui->VR1, &QPushButton::clicked, this, &TfrmINFO::VR1Click);
    connect(ui->VR2, &QPushButton::clicked, this, &TfrmINFO::VR2Click);
    connect(ui->VR3, &QPushButton::clicked, this, &TfrmINFO::VR3Click);
    connect(ui->VR4, &QPushButton::clicked, this, &TfrmINFO::VR4Click);
    connect(ui->panQUIT, &FacePanel::clicked, this, &TfrmINFO::panQUITClick);
    connect(ui->Image1, &ImageBox::clicked, this, &TfrmINFO::Image1Click);
}

TfrmINFO::~TfrmINFO() = default;

void TfrmINFO::VR1Click()
{
    pictures.click(ui->VR1);
}

void TfrmINFO::VR2Click()
{
    pictures.click(ui->VR2);
}

void TfrmINFO::VR3Click()
{
    pictures.click(ui->VR3);
}

void TfrmINFO::VR4Click()
{
    pictures.click(ui->VR4);
}

void TfrmINFO::panQUITClick()
{
    closePage();
}

void TfrmINFO::Image1Click()
{
    closePage();
}
