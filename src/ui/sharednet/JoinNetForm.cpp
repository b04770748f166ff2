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
            // Two nets of one name are told apart by who runs them, since when, and who is in.
            const QString opened = QDateTime::fromMSecsSinceEpoch(n.openedUtc)
                                       .toLocalTime()
                                       .toString(QStringLiteral("yyyy-MM-dd HH:mm"));
            auto* item = new QListWidgetItem(
                QStringLiteral("%1   %2   %3   %4")
                    .arg(n.name, n.openedBy, opened, n.operators.join(QLatin1Char(' '))),
                lstNETS);
            item->setData(Qt::UserRole, n.name);
            item->setData(Qt::UserRole + 1, qlonglong(n.id));
            item->setToolTip(QStringLiteral("%1: net control %2, opened %3, operators %4")
                                 .arg(n.name, n.openedBy, opened, n.operators.join(QStringLiteral(", "))));
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

std::int64_t JoinNetForm::netId() const
{
    const QListWidgetItem* item = lstNETS->currentItem();
    return item ? item->data(Qt::UserRole + 1).toLongLong() : 0;
}

QString JoinNetForm::operatorCall() const
{
    return editOPERATOR->text().trimmed().toUpper();
}
