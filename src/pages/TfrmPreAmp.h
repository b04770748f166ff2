#pragma once
#include "controls/Page.h"

class TfrmPreAmp : public Page {
    Q_OBJECT

public:
    explicit TfrmPreAmp(QWidget* parent = nullptr);
    void panQUITClick();
};
