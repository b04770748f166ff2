#pragma once
#include "controls/Page.h"

class TfrmMAPS : public Page {
    Q_OBJECT

public:
    explicit TfrmMAPS(QWidget* parent = nullptr);
    void panQUITClick();
};
