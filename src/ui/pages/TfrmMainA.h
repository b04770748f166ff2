#pragma once
// The main page: the start panel, the menu buttons and the way out of the program.
#include "controls/Page.h"
#include "data/HostSystem.h"

#include <functional>
#include <memory>

namespace Ui {
class TfrmMainA;
}

class TfrmMainA : public Page {
    Q_OBJECT

public:
    explicit TfrmMainA(QWidget* parent = nullptr);
    ~TfrmMainA() override;

    // The process's current directory as the operator should see it.
    static QString CurrentDirectoryText();
    // A folder as the operator should see it: on Windows with backslashes and without a
    // trailing one (but for a drive's root), at most 260 characters.
    static QString DirectoryText(const QString& path, HostSystem system = thisSystem());

    void VRstartClick();
    void VR1Click();
    void VR3Click();
    void VR4Click();
    void VR5Click();
    void VR6Click();
    void VrDemoButton1Click();
    void panQUITClick();
    void Image1Click();

    // Asked before the program ends; false keeps it open.
    void setEndGuard(std::function<bool()> guard) { m_endGuard = std::move(guard); }

signals:
    // The main page was closed: the program ends.
    void programEnded();
    // START: the folder the program runs in, where the roster spreadsheet is found.
    void started(const QString& directory);
    void infoWanted();
    void preambleWanted();
    void netWanted();
    void clocksWanted();
    void mapsWanted();
    void rvNetsWanted();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::TfrmMainA> ui;
    std::function<bool()> m_endGuard;
};
