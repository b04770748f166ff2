#pragma once
#include "controls/Page.h"

class TfrmRVnets : public Page {
    Q_OBJECT

public:
    explicit TfrmRVnets(QWidget* parent = nullptr);
    void panQUITClick();
};
