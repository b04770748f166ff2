#pragma once
// The FCC look-up page: lists the licence records whose call sign begins with a prefix,
// finds one call sign among them and shows its name, city and state, and hands the
// station shown on to whoever wants it (the net page's SELECTED CALL).
#include "checkin/Station.h"
#include "controls/Page.h"

#include <atomic>
#include <memory>
#include <optional>

namespace Ui {
class TfrmFCC2;
}
class FccLicencePanel;
class LicenceListModel;
class QModelIndex;

class TfrmFCC2 : public Page {
    Q_OBJECT

public:
    explicit TfrmFCC2(const QString& installFolder = QString(), QWidget* parent = nullptr);
    ~TfrmFCC2() override;

    // The licence file this page reads: FCCraw/EN.dat below the installation folder,
    // unless another file was set.
    QString licenceFile() const;
    void setLicenceFile(const QString& path);

    void FormActivate() override;
    void VR3Click();
    void VRsearchClick();
    void lstboxGClick();
    void VR6Click();
    void VR5Click();
    void VR1Click();
    void VrDemoButton1Click();

    // Hides the list and the record, empties them; the edits keep their texts.
    void ClearLicenceView();
    // Appends the lines of the licence file that begin with prefix and returns the number
    // of list lines afterwards. A file that cannot be read leaves the list as it was (the
    // operator is told). A build whose page is closed before the file has been read is
    // dropped: nothing changes, nothing is told, and the result is empty.
    std::optional<long long> BuildPrefixList(const QString& prefix);
    // Selects the line of call's current holder (as the call index says; the first line
    // of the call while the index is not ready); false when the list holds no such call.
    bool FindCallInList(const QString& call);
    // Shows the selected line's record here and hands its station on.
    void ShowLicenceRecord();

    const LicenceListModel& listModel() const { return *m_model; }
    // The licence boxes, IMPORT FCC FILES and the data line.
    FccLicencePanel& licencePanel() const { return *m_licence; }

signals:
    void stationChosen(const Station& station);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void search(const QString& call);
    void listCurrentChanged(const QModelIndex& current);

    std::unique_ptr<Ui::TfrmFCC2> ui;
    QString m_installFolder;
    std::optional<Station> m_shown; // the station of the record shown last
    LicenceListModel* m_model = nullptr;
    FccLicencePanel* m_licence = nullptr;
    QString m_licenceFile;
    bool m_selectingByProgram = false;
    // The call SEARCH found before the call index was ready: searched again when it is.
    QString m_searchedEarly;
    // Set while a build reads the file; raised when the page is closed meanwhile.
    std::atomic<bool>* m_dropBuild = nullptr;
};
