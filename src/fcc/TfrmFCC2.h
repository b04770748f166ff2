#pragma once
#include "controls/Page.h"

class TfrmFCC2 : public Page {
    Q_OBJECT

public:
    explicit TfrmFCC2(QWidget* parent = nullptr);
    void panQUITClick();
};
