#include "pages/TfrmRVnets.h"

#include "ui_TfrmRVnets.h"

TfrmRVnets::TfrmRVnets(QWidget* parent) : ReferencePage(parent), ui(std::make_unique<Ui::TfrmRVnets>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowState(Qt::WindowMaximized);
    pictures.add(ui->VR1, ui->pan1);
    pictures.add(ui->VR2, ui->pan2);
    pictures.add(ui->VR3, ui->pan3);
    pictures.add(ui->VR4, ui->pan4);
    pictures.add(ui->VR5, ui->pan5);
    pictures.add(ui->VR6);
    pictures.add(ui->VR7, ui->pan7);
    pictures.add(ui->VR8);
    connect(ui->VR1, &QPushButton::clicked, this, &TfrmRVnets::VR1Click);
    connect(ui->VR2, &QPushButton::clicked, this, &TfrmRVnets::VR2Click);
    connect(ui->VR3, &QPushButton::clicked, this, &TfrmRVnets::VR3Click);
    connect(ui->VR4, &QPushButton::clicked, this, &TfrmRVnets::VR4Click);
    connect(ui->VR5, &QPushButton::clicked, this, &TfrmRVnets::VR5Click);
    connect(ui->VR7, &QPushButton::clicked, this, &TfrmRVnets::VR7Click);
    connect(ui->panQUIT, &FacePanel::clicked, this, &TfrmRVnets::panQUITClick);
    connect(ui->Image1, &ImageBox::clicked, this, &TfrmRVnets::Image1Click);
}

TfrmRVnets::~TfrmRVnets() = default;

void TfrmRVnets::VR1Click()
{
    pictures.click(ui->VR1);
}

void TfrmRVnets::VR2Click()
{
    pictures.click(ui->VR2);
}

void TfrmRVnets::VR3Click()
{
    pictures.click(ui->VR3);
}

void TfrmRVnets::VR4Click()
{
    pictures.click(ui->VR4);
}

void TfrmRVnets::VR5Click()
{
    pictures.click(ui->VR5);
}

void TfrmRVnets::VR7Click()
{
    pictures.click(ui->VR7);
}

void TfrmRVnets::panQUITClick()
{
    closePage();
}

void TfrmRVnets::Image1Click()
{
    closePage();
}
