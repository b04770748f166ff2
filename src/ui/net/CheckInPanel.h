#pragma once
// The check-in list on the net page and what acts on it: checking a station in (the one
// place that does), deleting and bringing back, statuses, saving to the text file, the
// question before check-ins are lost, and the restore of a net a crash left behind.
#include "checkin/CheckInList.h"
#include "checkin/Station.h"
#include "net/CheckInModel.h"

#include <QObject>
#include <QTimer>

class CheckInView;
class NetJournal;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QWidget;

class CheckInPanel : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        CheckInView* list;
        QPushButton* remove;
        QLineEdit* count;
        QLabel* note;
        QPushButton* showPrint; // PRINT CHECK-INS: the list as text, to print or copy
        QWidget* printPanel;
        QTextEdit* printText;
        QPushButton* closePrint;
    };
    CheckInPanel(CheckInList& list, NetJournal& journal, Widgets widgets, QWidget* page);

    CheckInModel& model() { return m_model; }
    const CheckInList& list() const { return m_list; }

    // Checks the station in. A call of blanks adds nothing; a station already on the list
    // is pointed out first and checked in again only when asked once more. True when added.
    bool checkIn(const Station& station);
    // The repeat pointed out last is forgotten: the next add of it is pointed out again.
    void forgetRepeat() { m_repeatWarned.clear(); }
    void addDateLine(const QString& date);
    void deleteSelected();
    void undoDelete();
    // The check-in a status key acts on: the selected line, else the latest check-in.
    int statusTarget() const;
    void setStatus(int row, const QString& code);
    void setStatusByKey(QChar key);

    bool save();
    bool canClose();
    // Begins the next net on an empty list under today's date line, once the list on screen
    // is saved or given up (asked as before closing); false when the operator keeps it.
    bool beginNewNet(const QString& today);
    void offerRestore();
    void showNote(const QString& text);
    // The file name offered for a save: the folder saved to last, else the documents folder.
    QString proposedSaveName() const;

signals:
    void notice(const QString& text); // a repeat pointed out
    void checkedIn(); // a station was just added
    void lineChosen(const QString& call); // a check-in line clicked; empty for a date line
    void changed(); // lines, count or a status

private:
    bool warnRepeat(const QString& call);
    void showCount();
    void reportJournalProblem();
    // The red mark on the page, shown while the check-ins are not protected.
    void showProtection();
    void showStatusMenu(const QPoint& globalPos);
    void chooseLine(const QModelIndex& index);

    CheckInList& m_list;
    NetJournal& m_journal;
    Widgets m_w;
    QWidget* m_page;
    CheckInModel m_model;
    QTimer m_noteTimer;
    QString m_repeatWarned; // the call whose repeat was pointed out; the next add checks it in
    QString m_lastSaveFolder;
    QLabel* m_unprotected;
    bool m_journalProblemTold = false;
};
