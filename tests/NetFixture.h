#pragma once
// An installation folder with four small roster databases, and the pages created on it.
#include "PageProbes.h"
#include "TestSupport.h"

#include "Jet4Writer.h"
#include "app/Pages.h"
#include "checkin/CheckInLine.h"
#include "checkin/CheckInList.h"
#include "controls/DemoButton.h"
#include "controls/FacePanel.h"
#include "net/TfrmNET.h"

#include "ListProbe.h"
#include <QDir>
#include <QLineEdit>

#include <QListWidget>
#include <QTemporaryDir>

namespace netfixture {

using jet4::Column;
using jet4::ColumnType;
using jet4::Row;
using jet4::Table;

inline Table amber()
{
    Table t { "Amber",
        { { "CALL" }, { "AREA" }, { "FN" }, { "SFN" }, { "LNAME" }, { "SCALL" }, { "CITY" }, { "STATE" } },
        {} };
    t.rows = {
        { "K5ABC", "5", "Ann", "Bob", "Smith", "K5BOB", "Waco", "TX" },
        { "W3XYZ", "3", "Carl", "", "Jones", "", "Erie", "PA" },
        { "K5AB", "5", "Dan", "Eve", "Brown", "", "Tyler", "TX" },
        { "N3OLD", "03", "Old", "", "Zero", "", "York", "PA" },
        { "N3SP", " 3", "Lead", "", "Blank", "", "Reading", "PA" },
        { "N3TR", "3 ", "Trail", "", "Blank", "", "Scranton", "PA" },
        { "W0NUL", std::nullopt, "Nora", "", "Null", "", "Omaha", "NE" },
        { "KD3Q", "3", "Fay", "Gil", "Hart", "KD3R", "Pittsburgh", "PA" },
        { "WB7ALL", "7", "Gus", "Hal", "Green", "N7HAL", "Reno", "NV" },
    };
    return t;
}

inline Table abc()
{
    Table t { "ABC",
        { { "Call" }, { "AREA", ColumnType::LongInteger }, { "FN" }, { "Spouse" }, { "CITY" }, { "STATE" } },
        {} };
    t.rows = {
        { "K5ZZZ", "5", "Placeholder", "", "", "" },
        { "K5RV1", "5", "Ray", "Rita", "Dallas", "TX" },
        { "N5RV2", "5", "Sam", "", "Austin", "TX" },
        { "W1RV", "1", "Tom", "Uma", "Boston", "MA" },
        { "K9ONLY", "9", "Vic", "Wanda", "Peoria", "IL" },
    };
    return t;
}

inline Table repCheckIn()
{
    Table t { "RepCheckIn", { { "Call" }, { "AREA" }, { "NameS" }, { "City" }, { "State" } }, {} };
    t.rows = {
        { "KR5REG", "5", "Reggie", "Houston", "TX" },
        { "KR5TWO", "5", "Two", "Dallas", "TX" },
        { "KR6REG", "6", "Six", "Fresno", "CA" },
    };
    return t;
}

inline Table wbcci()
{
    Table t { "wbcci", { { "Call" }, { "AREA" }, { "NameS" }, { "CITY" }, { "STATE" } }, {} };
    t.rows = {
        { "W4PLACE", "4", "Placeholder", "", "" },
        { "WB7ALL", "7", "Gus W", "Carson City", "NV" },
        { "W4WB", "4", "Walt", "Macon", "GA" },
        { "W4WB", "4", "Dup", "Albany", "GA" },
    };
    return t;
}

// Writes the four databases into dir/database.
inline void writeInstall(const QString& dir, const Table& arc = amber(), const Table& rv = abc(),
    const Table& reg = repCheckIn(), const Table& wbc = wbcci())
{
    QDir().mkpath(dir + "/database");
    const auto path = [&](const char* f) { return (dir + "/database/" + f).toStdString(); };
    jet4::writeDatabase(path("ARCarea.mdb"), { arc });
    jet4::writeDatabase(path("radioRV.mdb"), { rv });
    jet4::writeDatabase(path("RepCheck.mdb"), { reg });
    jet4::writeDatabase(path("WBCII.mdb"), { wbc });
}

} // namespace netfixture

// Pages created on a fresh installation of the four small databases.
class NetPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(install.isValid());
        writeFixture();
        CreatePages(install.path());
        ASSERT_NE(frmNET, nullptr);
    }
    void TearDown() override { DestroyPages(); }
    virtual void writeFixture() { netfixture::writeInstall(install.path()); }

    QWidget* net() const { return static_cast<QWidget*>(frmNET); }
    QWidget* w(const char* name) const { return child(net(), name); }
    QLineEdit* edit(const char* name) const { return child<QLineEdit>(net(), name); }
    ListProbe list(const char* name) const { return ListProbe(child<QListView>(net(), name)); }
    QStringList lines(const char* name) const { return ::lines(list(name)); }
    FacePanel* panel(const char* name) const { return child<FacePanel>(net(), name); }
    TColor face(const char* name) const { return panel(name)->color(); }
    // Brings the page up as the main page's "CALL A NET" does.
    void openNetPage()
    {
        click(child(static_cast<QWidget*>(frmMainA), "VRstart"));
        dialogs.shown.clear(); // this installation has no roster spreadsheet
        click(child(static_cast<QWidget*>(frmMainA), "VR4"));
        // The window system makes the page the active window, where its keys work.
        EXPECT_TRUE(QTest::qWaitForWindowActive(net()));
    }
    // Clicks the line of a list that holds text.
    void clickLine(const char* listName, const QString& text)
    {
        const ListProbe l = list(listName);
        const auto items = l->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty()) << qPrintable(text);
        l->scrollToItem(items.first());
        QTest::mouseClick(
            l->viewport(), Qt::LeftButton, Qt::NoModifier, l->visualItemRect(items.first()).center());
    }
    // Checks a station in from the selected-call box.
    void addStation(const QString& call)
    {
        edit("editSelCALL")->setText(call);
        click(w("btnAdd2"));
    }
    QStringList selectedCall() const
    {
        QStringList out;
        for (const char* f : { "editSelCALL", "editSelFN", "editSelLNAME", "editSelSFN", "editSelSCALL",
                 "editSelCITY", "editSelSTATE" })
            out << edit(f)->text();
        return out;
    }

    QTemporaryDir install;
    RecordingDialogs dialogs;
};
