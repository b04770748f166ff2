#include "sharednet/ShareNetForm.h"

#include "sharednet/FormButtons.h"
#include "sharednet/SharedNetServer.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

ShareNetForm::ShareNetForm(
    const QString& server, const QString& netName, const QString& operatorCall, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSHARENET"));
    setWindowTitle(QStringLiteral("SHARE NET"));
    auto* form = new QFormLayout(this);
    editSERVER = new QLineEdit(server, this);
    editSERVER->setObjectName(QStringLiteral("editSERVER"));
    editSERVER->setPlaceholderText(QStringLiteral("host=... dbname=velmora user=..."));
    editSERVER->setMinimumWidth(360);
    editNETNAME = new QLineEdit(netName, this);
    editNETNAME->setObjectName(QStringLiteral("editNETNAME"));
    editNETNAME->setMaxLength(SharedLimits::netName);
    editOPERATOR = new QLineEdit(operatorCall, this);
    editOPERATOR->setObjectName(QStringLiteral("editOPERATOR"));
    editOPERATOR->setMaxLength(SharedLimits::operatorCall);
    form->addRow(QStringLiteral("Server"), editSERVER);
    form->addRow(QStringLiteral("Net name"), editNETNAME);
    form->addRow(QStringLiteral("Your call"), editOPERATOR);
    okButton = addOkCancel(this, form);
    for (QLineEdit* edit : { editSERVER, editNETNAME, editOPERATOR })
        connect(edit, &QLineEdit::textChanged, this, &ShareNetForm::updateOk);
    updateOk();
}

void ShareNetForm::updateOk()
{
    okButton->setEnabled(!server().isEmpty() && !netName().isEmpty() && !operatorCall().isEmpty());
}

QString ShareNetForm::server() const
{
    return editSERVER->text().trimmed();
}

QString ShareNetForm::netName() const
{
    return editNETNAME->text().trimmed();
}

QString ShareNetForm::operatorCall() const
{
    return editOPERATOR->text().trimmed().toUpper();
}
