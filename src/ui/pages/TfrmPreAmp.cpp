#include "pages/TfrmPreAmp.h"

#include "ui_TfrmPreAmp.h"

#include <QFile>

TfrmPreAmp::TfrmPreAmp(QWidget* parent) : ReferencePage(parent), ui(std::make_unique<Ui::TfrmPreAmp>())
{
    ui->setupUi(this);
    setFixedSize(1305, 891);
    ui->Memo1->setPlainText(preambleScript());
    // The grey panel around the icon is only a frame here: clicking it does nothing.
    connect(ui->Image1, &ImageBox::clicked, this, &TfrmPreAmp::Image1Click);
}

TfrmPreAmp::~TfrmPreAmp() = default;

QString TfrmPreAmp::preambleScript()
{
    // The club keeps the script as plain text beside the pictures and may reword it.
    QFile file(QStringLiteral(":/texts/preamble.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("Memo1");
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

void TfrmPreAmp::Image1Click()
{
    closePage();
}
