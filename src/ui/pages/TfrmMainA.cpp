#include "pages/TfrmMainA.h"

#include "ui_TfrmMainA.h"

#include <QCloseEvent>
#include <QDir>

TfrmMainA::TfrmMainA(QWidget* parent) : Page(parent), ui(std::make_unique<Ui::TfrmMainA>())
{
    ui->setupUi(this);
    setFixedSize(1612, 912);
    connect(ui->VRstart, &QPushButton::clicked, this, &TfrmMainA::VRstartClick);
    connect(ui->VR1, &QPushButton::clicked, this, &TfrmMainA::VR1Click);
    connect(ui->VR3, &QPushButton::clicked, this, &TfrmMainA::VR3Click);
    connect(ui->VR4, &QPushButton::clicked, this, &TfrmMainA::VR4Click);
    connect(ui->VR5, &QPushButton::clicked, this, &TfrmMainA::VR5Click);
    connect(ui->VR6, &QPushButton::clicked, this, &TfrmMainA::VR6Click);
    connect(ui->VrDemoButton1, &QPushButton::clicked, this, &TfrmMainA::VrDemoButton1Click);
    connect(ui->panQUIT, &FacePanel::clicked, this, &TfrmMainA::panQUITClick);
    connect(ui->Image1, &ImageBox::clicked, this, &TfrmMainA::Image1Click);
    ui->VRstart->setFocus();
}

TfrmMainA::~TfrmMainA() = default;

QString TfrmMainA::CurrentDirectoryText()
{
    return DirectoryText(QDir::currentPath());
}

QString TfrmMainA::DirectoryText(const QString& path, HostSystem system)
{
    if (system != HostSystem::Windows)
        return path;
    // Drive letter, colon, backslash, then the folder below the root without a
    // trailing separator; the root itself keeps its backslash.
    QString text = path;
    text.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (text.size() > 3 && text.endsWith(QLatin1Char('\\')))
        text.chop(1);
    return text.left(260);
}

void TfrmMainA::VRstartClick()
{
    ui->panSTART->hide();
    ui->pan1A->show();
    ui->pan2A->show();
    const QString directory = CurrentDirectoryText();
    ui->editPATH->setText(directory);
    emit started(directory);
}

void TfrmMainA::VR1Click()
{
    emit infoWanted();
}

void TfrmMainA::VR3Click()
{
    emit preambleWanted();
}

void TfrmMainA::VR4Click()
{
    emit netWanted();
}

void TfrmMainA::VR5Click()
{
    emit clocksWanted();
}

void TfrmMainA::VR6Click()
{
    emit mapsWanted();
}

void TfrmMainA::VrDemoButton1Click()
{
    emit rvNetsWanted();
}

void TfrmMainA::panQUITClick()
{
    close();
}

void TfrmMainA::Image1Click()
{
    panQUITClick();
}

void TfrmMainA::closeEvent(QCloseEvent* event)
{
    // The net page may still hold check-ins that were never saved: let it ask first.
    if (m_endGuard && !m_endGuard()) {
        event->ignore();
        return;
    }
    event->accept();
    emit programEnded();
}
