#include "sharednet/JoinNetForm.h"

#include "sharednet/FormButtons.h"

#include <QDateTime>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

JoinNetForm::JoinNetForm(const QString& server, const QString& operatorCall, Lister lister, QWidget* parent)
    : QDialog(parent), lister(std::move(lister))
{
    setObjectName(QStringLiteral("frmJOINNET"));
    setWindowTitle(QStringLiteral("JOIN NET"));
    auto* form = new QFormLayout(this);
    editSERVER = new QLineEdit(server, this);
    editSERVER->setObjectName(QStringLiteral("editSERVER"));
    editSERVER->setMinimumWidth(360);
    auto* list = new QPushButton(QStringLiteral("LIST"), this);
    list->setObjectName(QStringLiteral("btnLIST"));
    lstNETS = new QListWidget(this);
    lstNETS->setObjectName(QStringLiteral("lstNETS"));
    editOPERATOR = new QLineEdit(operatorCall, this);
    editOPERATOR->setObjectName(QStringLiteral("editOPERATOR"));
    editOPERATOR->setMaxLength(SharedLimits::operatorCall);
    lblNOTE = new QLabel(this);
    lblNOTE->setObjectName(QStringLiteral("lblNOTE"));
    lblNOTE->setWordWrap(true);
    form->addRow(QStringLiteral("Server"), editSERVER);
    form->addRow(QString(), list);
    form->addRow(QStringLiteral("Open nets"), lstNETS);
    form->addRow(QStringLiteral("Your call"), editOPERATOR);
    form->addRow(lblNOTE);
    okButton = addOkCancel(this, form);
    connect(list, &QPushButton::clicked, this, &JoinNetForm::listNets);
    connect(editSERVER, &QLineEdit::returnPressed, this, &JoinNetForm::listNets);
    connect(lstNETS, &QListWidget::currentRowChanged, this, &JoinNetForm::updateOk);
    connect(editOPERATOR, &QLineEdit::textChanged, this, &JoinNetForm::updateOk);
    connect(lstNETS, &QListWidget::itemDoubleClicked, this, [this] {
        if (okButton->isEnabled())
            accept();
    });
    updateOk();
}

void JoinNetForm::listNets()
{
    lstNETS->clear();
    lblNOTE->clear();
    QString message;
    const auto nets = lister ? lister(server(), &message) : std::nullopt;
    if (!nets) {
        lblNOTE->setText(message);
    } else if (nets->empty()) {
        lblNOTE->setText(QStringLiteral("No net is open on this server."));
    } else {
        for (const OpenNet& n : *nets) {
            auto* item = new QListWidgetItem(n.name, lstNETS);
            item->setData(Qt::UserRole, n.name);
            item->setToolTip(QStringLiteral("Opened by %1 at %2")
                                 .arg(n.openedBy,
                                     QDateTime::fromMSecsSinceEpoch(n.openedUtc)
                                         .toLocalTime()
                                         .toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
        }
        lstNETS->setCurrentRow(0);
    }
    updateOk();
}

void JoinNetForm::updateOk()
{
    okButton->setEnabled(!netName().isEmpty() && !operatorCall().isEmpty());
}

QString JoinNetForm::server() const
{
    return editSERVER->text().trimmed();
}

QString JoinNetForm::netName() const
{
    const QListWidgetItem* item = lstNETS->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

QString JoinNetForm::operatorCall() const
{
    return editOPERATOR->text().trimmed().toUpper();
}
