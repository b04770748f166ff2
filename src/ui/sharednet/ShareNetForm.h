#pragma once
// SHARE NET: the server (a libpq connection string or URI), the net's name and the
// operator's call. The form only gathers them; the session does the sharing.
#include <QDialog>

class QLineEdit;

class ShareNetForm : public QDialog {
    Q_OBJECT
public:
    // netName is the proposed name ("<club> net <date>").
    ShareNetForm(const QString& server, const QString& netName, const QString& operatorCall,
        QWidget* parent = nullptr);

    QString server() const;
    QString netName() const;
    QString operatorCall() const;

private:
    void updateOk();
    QLineEdit* editSERVER;
    QLineEdit* editNETNAME;
    QLineEdit* editOPERATOR;
    QPushButton* okButton;
};
