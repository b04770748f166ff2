#pragma once
// SHARE NET and JOIN NET on the net page, and the line that tells how the shared net stands:
// "Shared: <net> on <host>, <n> operators", or "OFFLINE: <n> changes waiting" in red.
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QWidget;
class SharedNetSession;

class SharedNetPanel : public QObject {
    Q_OBJECT

public:
    // The session is the net session's: the panel shows it and acts on it, and never owns it.
    SharedNetPanel(
        SharedNetSession& session, QPushButton* share, QPushButton* join, QLabel* state, QWidget* page);
    ~SharedNetPanel() override;

    // The server the forms offer first (the command line's --server).
    void setServer(const QString& conninfo) { m_server = conninfo; }
    // Asked before a joined net replaces the list; false keeps the list.
    void setCanReplaceList(std::function<bool()> ask) { m_canReplace = std::move(ask); }
    // Where the page shows a note: what the server refused or what was set aside is said
    // there once, in plain words (the label's tooltip keeps the last of them).
    void setNote(std::function<void(const QString&)> note) { m_note = std::move(note); }
    // The roster group on screen: a new shared net is offered the name of its club.
    void setShownGroup(std::function<int()> group) { m_shownGroup = std::move(group); }
    // What the forms do on OK; false (with the reason shown) when it did not work.
    bool shareNet(const QString& conninfo, const QString& netName, const QString& operatorCall);
    bool joinNet(const QString& conninfo, const QString& netName, const QString& operatorCall);
    bool joinNet(const QString& conninfo, std::int64_t serverNet, const QString& operatorCall);
    // After a restore at start-up: goes on with a net that was shared.
    void resume();
    void showState();
    bool isShared() const;

private:
    void openShareForm();
    void openJoinForm();
    bool done(bool ok);

    SharedNetSession* m_session;
    QLabel* m_state;
    QWidget* m_page;
    QTimer m_refresh;
    int m_styledOnline = -1; // the connection the label's colour shows; -1 before the first
    QString m_server;
    QString m_operator;
    std::function<bool()> m_canReplace;
    std::function<int()> m_shownGroup;
    std::function<void(const QString&)> m_note;
};
