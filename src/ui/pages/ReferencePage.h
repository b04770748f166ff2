#pragma once
// A reference page: opened from the main page and closed back to it. Nothing on it is
// reset when it is shown again, so the operator finds it as he left it.
#include "controls/Page.h"

class ReferencePage : public Page {
    Q_OBJECT

public:
    explicit ReferencePage(QWidget* parent = nullptr);

    // Hides this page and brings the main page back.
    void closePage();
};
