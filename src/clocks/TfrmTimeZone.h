#pragma once
#include "controls/Page.h"

class TfrmTimeZone : public Page {
    Q_OBJECT

public:
    explicit TfrmTimeZone(QWidget* parent = nullptr);
    void panQUITClick();
};
