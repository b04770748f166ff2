#pragma once
// The eight pages with their whole classes, so a test turns a page's global into a QWidget
// or a Page without a cast that would hide a wrong type, and NetPageProbe: what the net page
// tests read inside the page, kept out of the page's public surface.
#include "app/Pages.h"
#include "checkin/CheckInList.h"
#include "clocks/TfrmTimeZone.h"
#include "fcc/TfrmFCC2.h"
#include "licence/FccIndexLoader.h"
#include "net/CheckInPanel.h"
#include "net/NetRecordPanel.h"
#include "net/RosterGridPanel.h"
#include "net/TfrmNET.h"
#include "pages/TfrmINFO.h"
#include "pages/TfrmMAPS.h"
#include "pages/TfrmMainA.h"
#include "pages/TfrmPreAmp.h"
#include "pages/TfrmRVnets.h"
#include "session/NetSession.h"

class NetPageProbe {
public:
    explicit NetPageProbe(TfrmNET& page) : m_page(page) { }

    // The group whose roster is shown, rgNone while none is.
    int currentGroup() const { return m_page.currentGroup(); }
    void ClearSelectedCall() const { m_page.ClearSelectedCall(); }
    void LookUpStation(const QString& text) const { m_page.LookUpStation(text); }
    bool hasUnsavedCheckIns() const { return m_page.m_session.checkIns().isUnsaved(); }
    const CheckInList& checkInList() const { return m_page.m_session.checkIns(); }
    void setCheckInStatus(int row, const QString& code) const { m_page.m_checkIns->setStatus(row, code); }
    void updateNetClock() const { m_page.m_record->updateClock(); }
    QString attendanceText(const QString& call) const { return m_page.m_record->attendanceText(call); }
    FccIndexLoader& fccCallIndex() const { return m_page.m_session.fccIndex(); }
    SharedNetSession& sharedNet() const { return m_page.m_session.sharedNet(); }
    int gridRowCount() const { return m_page.m_grid->model().rowCount(); }
    QString gridCell(int column, int row) const { return m_page.m_grid->model().cell(column, row); }

private:
    TfrmNET& m_page;
};

// The probe of the net page the pages were created with.
inline NetPageProbe netPage()
{
    return NetPageProbe(*frmNET);
}
