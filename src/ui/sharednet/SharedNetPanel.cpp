#include "sharednet/SharedNetPanel.h"

#include "controls/Dialogs.h"
#include "roster/RosterCatalog.h"
#include "sharednet/JoinNetForm.h"
#include "sharednet/ShareNetForm.h"
#include "sharednet/SharedNetSession.h"
#include "sharednet/SharedNetText.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>

namespace {
QString clubNameOf(int group)
{
    const ClubRoster* roster = clubRoster(group);
    return QString::fromLatin1(roster ? roster->label : clubRosters().front().label);
}
} // namespace

SharedNetPanel::SharedNetPanel(
    SharedNetSession& session, QPushButton* share, QPushButton* join, QLabel* state, QWidget* page)
    : QObject(page), m_session(&session), m_state(state), m_page(page)
{
    m_session->setPasswordPrompt([this](const QString& user, const QString& host) {
        return Dialogs::password(m_page, QStringLiteral("Password of %1 on %2:").arg(user, host));
    });
    connect(share, &QPushButton::clicked, this, &SharedNetPanel::openShareForm);
    connect(join, &QPushButton::clicked, this, &SharedNetPanel::openJoinForm);
    connect(m_session, &SharedNetSession::connectionChanged, this, &SharedNetPanel::showState);
    connect(m_session, &SharedNetSession::stateChanged, this, &SharedNetPanel::showState);
    connect(m_session, &SharedNetSession::problem, this, [this](const QString& text) {
        showState();
        m_state->setToolTip(text);
        if (m_note)
            m_note(text);
    });
    // The count of changes waiting moves with every change the operator makes; it is read
    // again each second while the net is shared.
    m_refresh.setInterval(1000);
    connect(&m_refresh, &QTimer::timeout, this, &SharedNetPanel::showState);
    showState();
}

SharedNetPanel::~SharedNetPanel()
{
    // The session outlives the page: the password question must not reach a page gone.
    m_session->setPasswordPrompt({});
}

bool SharedNetPanel::isShared() const
{
    return m_session->isShared();
}

void SharedNetPanel::showState()
{
    if (!m_session->isShared()) {
        m_refresh.stop();
        m_state->clear();
        return;
    }
    if (!m_refresh.isActive())
        m_refresh.start();
    m_state->setText(m_session->label());
    // Styled again only when the state changes: a new style sheet lays the label out anew.
    // Off line is red only while changes wait to be sent.
    const int state = m_session->isOnline() ? 1 : m_session->waitingChanges() > 0 ? 0 : 2;
    if (state != m_styledOnline) {
        m_styledOnline = state;
        m_state->setStyleSheet(state == 1 ? QStringLiteral("color: #80ff80; font: bold 10pt \"Arial\";")
                : state == 0              ? QStringLiteral("color: #ff3030; font: bold 10pt \"Arial\";")
                                          : QStringLiteral("color: #e0e0e0; font: bold 10pt \"Arial\";"));
    }
}

bool SharedNetPanel::done(bool ok)
{
    if (!ok)
        Dialogs::showMessage(m_session->message());
    showState();
    return ok;
}

bool SharedNetPanel::shareNet(const QString& conninfo, const QString& netName, const QString& operatorCall)
{
    return done(m_session->share(conninfo, netName, operatorCall));
}

bool SharedNetPanel::joinNet(const QString& conninfo, const QString& netName, const QString& operatorCall)
{
    // An unsaved local net is never thrown away without asking.
    if (m_canReplace && !m_canReplace())
        return false;
    return done(m_session->join(conninfo, netName, operatorCall));
}

bool SharedNetPanel::joinNet(const QString& conninfo, std::int64_t serverNet, const QString& operatorCall)
{
    if (m_canReplace && !m_canReplace())
        return false;
    return done(m_session->join(conninfo, serverNet, operatorCall));
}

void SharedNetPanel::resume()
{
    if (m_session->resume())
        showState();
}

void SharedNetPanel::openShareForm()
{
    ShareNetForm form(m_server,
        defaultNetName(clubNameOf(m_shownGroup ? m_shownGroup() : -1), QDate::currentDate()), m_operator,
        m_page);
    if (form.exec() != QDialog::Accepted)
        return;
    m_server = form.server();
    m_operator = form.operatorCall();
    shareNet(form.server(), form.netName(), form.operatorCall());
}

void SharedNetPanel::openJoinForm()
{
    JoinNetForm form(
        m_server, m_operator,
        [this](const QString& conninfo, QString* message) { return m_session->openNets(conninfo, message); },
        m_page);
    if (form.exec() != QDialog::Accepted || form.netId() == 0)
        return;
    m_server = form.server();
    m_operator = form.operatorCall();
    joinNet(form.server(), form.netId(), form.operatorCall());
}
