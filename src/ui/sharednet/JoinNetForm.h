#pragma once
// JOIN NET: the server field and the nets open on it (`lstNETS`: name, net control, opening
// time and operators, newest first), read when the server is entered or LIST is pressed, and
// the operator's call. Choosing a net and OK joins that net, by its id.
#include "sharednet/SharedNetServer.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;

class JoinNetForm : public QDialog {
    Q_OBJECT
public:
    using Lister
        = std::function<std::optional<std::vector<OpenNet>>(const QString& conninfo, QString* message)>;
    JoinNetForm(const QString& server, const QString& operatorCall, Lister lister, QWidget* parent = nullptr);

    QString server() const;
    QString netName() const; // the chosen net, empty when none
    std::int64_t netId() const; // the server's id of the chosen net, 0 when none
    QString operatorCall() const;
    // Reads the open nets of the server in the field.
    void listNets();

private:
    void updateOk();
    Lister lister;
    QLineEdit* editSERVER;
    QListWidget* lstNETS;
    QLineEdit* editOPERATOR;
    QLabel* lblNOTE;
    QPushButton* okButton;
};
