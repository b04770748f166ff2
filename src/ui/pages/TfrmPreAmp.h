#pragma once
// The preamble page: the script the net control station reads on the air, in a memo the
// operator may edit while the program runs. Only the quit icon closes the page.
#include "pages/ReferencePage.h"

#include <memory>

namespace Ui {
class TfrmPreAmp;
}

class TfrmPreAmp : public ReferencePage {
    Q_OBJECT

public:
    explicit TfrmPreAmp(QWidget* parent = nullptr);
    ~TfrmPreAmp() override;

    // The script the memo starts with.
    static QString preambleScript();

    void Image1Click();

private:
    std::unique_ptr<Ui::TfrmPreAmp> ui;
};
