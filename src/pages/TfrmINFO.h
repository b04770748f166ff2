#pragma once
#include "controls/Page.h"

class TfrmINFO : public Page {
    Q_OBJECT

public:
    explicit TfrmINFO(QWidget* parent = nullptr);
    void panQUITClick();
};
