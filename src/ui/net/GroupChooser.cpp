#include "net/GroupChooser.h"

#include "controls/FacePanel.h"

GroupChooser::GroupChooser(Widgets widgets, QObject* parent) : QObject(parent), m_w(widgets)
{
    for (int g = rgARC; g <= rgWBCCI; ++g)
        connect(m_w.groupPanel[std::size_t(g - rgARC)], &FacePanel::clicked, this, [this, g] { choose(g); });
    connect(m_w.group, &FacePanel::clicked, this, &GroupChooser::chooseGroupPanel);
    connect(m_w.entire, &FacePanel::clicked, this, &GroupChooser::chooseEntire);
    for (int d = 0; d <= 9; ++d)
        connect(m_w.area[std::size_t(d)], &FacePanel::clicked, this, [this, d] { chooseArea(d); });
}

void GroupChooser::resetGroups()
{
    for (std::size_t i = 0; i < 4; ++i) {
        m_w.groupPanel[i]->setColor(clGray);
        m_w.rosterPanel[i]->hide();
    }
    m_w.group->setColor(clGray);
    m_w.call->setColor(clGray);
    m_groupsOpen = false;
    m_shown = rgNone;
}

void GroupChooser::resetAreas()
{
    m_w.entire->setColor(clRed);
    for (FacePanel* p : m_w.area)
        p->setColor(clRed);
}

void GroupChooser::showChosen(int group)
{
    resetGroups();
    resetAreas();
    m_w.entire->setColor(clGreen);
    m_w.groupPanel[std::size_t(group - rgARC)]->setColor(clGreen);
    m_w.rosterPanel[std::size_t(group - rgARC)]->show();
    m_w.areas->show();
    m_shown = group;
}

bool GroupChooser::choose(int group)
{
    if (m_shown == group)
        return false; // already the chosen group: the list is not reloaded
    showChosen(group);
    emit wholeWanted(group);
    return true;
}

void GroupChooser::chooseGroupPanel()
{
    if (m_groupsOpen)
        return;
    resetGroups();
    m_groupsOpen = true;
    m_w.group->setColor(clGreen);
    m_w.groups->show();
    m_w.areas->show();
    // No roster is shown now, so area clicks have no list to fill until a group is chosen.
    m_shown = rgNone;
}

void GroupChooser::chooseEntire()
{
    resetAreas();
    m_w.entire->setColor(clGreen);
    if (m_shown != rgNone)
        emit wholeWanted(m_shown);
}

void GroupChooser::chooseArea(int digit)
{
    resetAreas();
    m_w.area[std::size_t(digit)]->setColor(clGreen);
    if (m_shown != rgNone)
        emit areaWanted(m_shown, digit);
}
