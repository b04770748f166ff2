#pragma once
// A flat picture-style push button: a face colour (grey off, green on), a bold Arial
// caption that is white and turns another colour while the pointer is over it.
#include "controls/TColor.h"

#include <QPushButton>

class DemoButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(uint color READ color WRITE setColor)
    Q_PROPERTY(uint fontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(uint hoverColor READ hoverColor WRITE setHoverColor)
    Q_PROPERTY(int captionSize READ captionSize WRITE setCaptionSize)

public:
    explicit DemoButton(QWidget* parent = nullptr);

    TColor color() const { return m_color; }
    void setColor(TColor color);
    TColor fontColor() const { return m_fontColor; }
    void setFontColor(TColor color);
    TColor hoverColor() const { return m_hoverColor; }
    void setHoverColor(TColor color);
    int captionSize() const { return m_captionSize; }
    void setCaptionSize(int pointSize);
    bool isHovered() const { return m_hovered; }
    // The colour the caption is drawn in right now.
    TColor captionColor() const { return m_hovered ? m_hoverColor : m_fontColor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TColor m_color = clGray;
    TColor m_fontColor = clWhite;
    TColor m_hoverColor = clBlue;
    int m_captionSize = 12;
    bool m_hovered = false;
};
