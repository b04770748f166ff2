#pragma once
// A picture box: shows a picture from the program's resources, scaled to its size,
// and reports a click of the left mouse button. The click is the picture's own: it
// never reaches a clickable panel around the picture as well, so one click runs one
// action.
#include <QLabel>
#include <QPixmap>

class ImageBox : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString picture READ picture WRITE setPicture)
    Q_PROPERTY(bool keepAspect READ keepAspect WRITE setKeepAspect)

public:
    explicit ImageBox(QWidget* parent = nullptr);

    QString picture() const { return m_picture; }
    // A resource path such as ":/pictures/quit.svg"; the picture is drawn scaled to the box.
    void setPicture(const QString& resource);
    // True when the picture could be loaded.
    bool hasPicture() const { return m_loaded; }
    // Drawn at its own proportions, centred in the box, instead of stretched to fill it.
    bool keepAspect() const { return m_keepAspect; }
    void setKeepAspect(bool keep);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void renderPicture(QPainter& p, const QRect& box) const;

    QString m_picture;
    bool m_loaded = false;
    bool m_keepAspect = false;
    QPixmap m_cache; // the picture drawn at the box's size, while it is shown
};
