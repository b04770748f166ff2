#pragma once
// A panel whose face colour is its state (grey off, green on; red for some panels).
// It has a caption drawn in its centre, a raised bevel, may hold child controls and
// reports a click of the left mouse button.
#include "controls/TColor.h"

#include <QFrame>

class FacePanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(uint color READ color WRITE setColor)
    Q_PROPERTY(uint fontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(int bevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(bool bold READ bold WRITE setBold)
    Q_PROPERTY(int captionSize READ captionSize WRITE setCaptionSize)

public:
    explicit FacePanel(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    TColor color() const { return m_color; }
    void setColor(TColor color);
    TColor fontColor() const { return m_fontColor; }
    void setFontColor(TColor color);
    int bevelWidth() const { return m_bevel; }
    void setBevelWidth(int width);
    bool bold() const { return m_bold; }
    void setBold(bool bold);
    int captionSize() const { return m_captionSize; }
    void setCaptionSize(int pointSize);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_caption;
    TColor m_color = clGray;
    TColor m_fontColor = clWhite;
    int m_bevel = 1;
    bool m_bold = true;
    int m_captionSize = 10;
    bool m_pressed = false;
};
