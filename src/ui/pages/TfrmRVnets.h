#pragma once
// The RV net frequencies page: one picture per club net, at most one showing at a time.
// "FLEETWOOD " and the eighth, captionless button have no picture and do nothing.
#include "pages/PictureToggle.h"
#include "pages/ReferencePage.h"

#include <memory>

namespace Ui {
class TfrmRVnets;
}

class TfrmRVnets : public ReferencePage {
    Q_OBJECT

public:
    explicit TfrmRVnets(QWidget* parent = nullptr);
    ~TfrmRVnets() override;

    void VR1Click();
    void VR2Click();
    void VR3Click();
    void VR4Click();
    void VR5Click();
    void VR7Click();
    void panQUITClick();
    void Image1Click();

private:
    std::unique_ptr<Ui::TfrmRVnets> ui;
    PictureToggle pictures;
};
