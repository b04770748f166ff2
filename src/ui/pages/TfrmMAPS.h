#pragma once
// The map page: the time zones of the continental United States, always shown.
#include "pages/ReferencePage.h"

#include <memory>

namespace Ui {
class TfrmMAPS;
}

class TfrmMAPS : public ReferencePage {
    Q_OBJECT

public:
    explicit TfrmMAPS(QWidget* parent = nullptr);
    ~TfrmMAPS() override;

    void panQUITClick();
    void Image1Click();

private:
    std::unique_ptr<Ui::TfrmMAPS> ui;
};
