#pragma once
// The net's clock and record: the net timer and the identification reminder in the header,
// and what the club takes away from the net (the CSV export, the printed report, the
// attendance over a range of dates). Also how often a station checked in lately, for the
// suggestions and the roster tooltips.
#include <QHash>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>

class CheckInList;
class FacePanel;
class NetJournal;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class NetRecordPanel : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QLabel* netTime;
        FacePanel* ident;
        QPushButton* exportCsv;
        QPushButton* attendance;
        QPushButton* print;
        QLineEdit* controlStation; // the net control's call
    };
    using Clock = std::function<std::int64_t()>;
    NetRecordPanel(CheckInList& list, NetJournal& journal, Clock clock, Widgets widgets, QWidget* page);

    // Where exports are offered first; a note when one is written.
    void setSaveFolder(std::function<QString()> folder) { m_saveFolder = std::move(folder); }
    void setNote(std::function<void(const QString&)> note) { m_note = std::move(note); }

    void updateClock();
    void identified(); // F9 or a click on the reminder
    // e.g. "8 of last 10 nets, last 2026-12-02"; kept until the check-ins change.
    QString attendanceText(const QString& call) const;
    void forgetAttendance() { m_attendance.clear(); }
    // The list holds another net (a restore, a new net, a joined one): NET CONTROL shows the
    // call journaled with it, or gives it the call shown when it has none yet.
    void netChanged();

private:
    QString saveTarget(const QString& proposedName);
    bool writeExport(const QString& name, const QByteArray& bytes);
    void exportCsv();
    void exportAttendance();
    void print();
    void controlCallEdited();

    CheckInList& m_list;
    NetJournal& m_journal;
    Clock m_clock;
    Widgets m_w;
    QWidget* m_page;
    QTimer m_timer;
    QString m_lastExportFolder;
    std::function<QString()> m_saveFolder;
    std::function<void(const QString&)> m_note;
    mutable QHash<QString, QString> m_attendance;
    std::int64_t m_controlNet = 0; // the net whose net control NET CONTROL shows
};
