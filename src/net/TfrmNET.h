#pragma once
#include "controls/Page.h"

class TfrmNET : public Page {
    Q_OBJECT

public:
    explicit TfrmNET(QWidget* parent = nullptr);
    void panQUITClick();

    // Loads the chapter roster spreadsheet below the given directory.
    void LoadRosterSpreadsheet(const QString& directory);
    // Asks about unsaved check-ins; false when the operator cancels closing.
    bool canClose();
};
