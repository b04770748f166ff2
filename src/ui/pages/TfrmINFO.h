#pragma once
// The informational page: four pictures of operating instructions, one per PAGE button,
// at most one showing at a time.
#include "pages/PictureToggle.h"
#include "pages/ReferencePage.h"

#include <memory>

namespace Ui {
class TfrmINFO;
}

class TfrmINFO : public ReferencePage {
    Q_OBJECT

public:
    explicit TfrmINFO(QWidget* parent = nullptr);
    ~TfrmINFO() override;

    void VR1Click();
    void VR2Click();
    void VR3Click();
    void VR4Click();
    void panQUITClick();
    void Image1Click();

private:
    std::unique_ptr<Ui::TfrmINFO> ui;
    PictureToggle pictures;
};
