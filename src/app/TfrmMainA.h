#pragma once
// The main page: the start panel, the menu buttons and the way out of the program.
#include "controls/Page.h"

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

    void VRstartClick();
    void VR1Click();
    void VR3Click();
    void VR4Click();
    void VR5Click();
    void VR6Click();
    void VrDemoButton1Click();
    void panQUITClick();
    void Image1Click();

signals:
    // The main page was closed: the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::TfrmMainA> ui;
};
