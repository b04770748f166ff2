#pragma once
// The choice of club group and call area on the left of the net page: GROUP and the four
// group panels, ENTIRE and the ten area panels. The group whose roster is shown is a value
// kept here, never read back from a panel's colour.
#include "roster/RosterCatalog.h"

#include <QObject>

#include <array>

class FacePanel;
class QWidget;

class GroupChooser : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        FacePanel* group; // GROUP
        FacePanel* call; // CALL, beside it
        QWidget* groups; // the panel of the four group panels
        QWidget* areas; // the panel of ENTIRE and the ten areas
        FacePanel* entire;
        std::array<FacePanel*, 10> area;
        std::array<FacePanel*, 4> groupPanel; // by group, ARC first
        std::array<QWidget*, 4> rosterPanel; // the roster shown for each group
    };
    GroupChooser(Widgets widgets, QObject* parent);

    // The group whose roster is shown; rgNone while none is.
    int shownGroup() const { return m_shown; }
    // Shows the group's roster, whole, as a click on its panel does; a click on the group
    // already chosen does nothing. Returns whether the group was chosen anew.
    bool choose(int group);
    // Marks the group shown with ENTIRE green, as choosing it does, without a reload.
    void showChosen(int group);

signals:
    void wholeWanted(int group);
    void areaWanted(int group, int digit);

private:
    void resetGroups();
    void resetAreas();
    void chooseGroupPanel();
    void chooseEntire();
    void chooseArea(int digit);

    Widgets m_w;
    int m_shown = rgNone;
    bool m_groupsOpen = false; // GROUP was clicked and no group chosen since
};
