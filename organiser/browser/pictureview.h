#pragma once
// A picture view: shows a picture either at its natural size (stretching off: the view
// takes the picture's natural size in twips, readable back) or scaled to whatever size the
// view has (stretching on). Reports clicks and double-clicks.

#include <QImage>
#include <QSizeF>
#include <QWidget>

namespace tarvo {

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // Assigns a picture. image may be a reduced decode; naturalTwips is the picture's
    // natural size, which the view takes while stretching is off.
    void setPicture(const QImage& image, QSizeF naturalTwips);
    void setPicture(const QImage& image); // natural size = image size at screen DPI
    void clearPicture();
    bool hasPicture() const { return !m_image.isNull(); }
    const QImage& picture() const { return m_image; }
    QSizeF naturalTwips() const { return m_natural; }
    // The file the picture was loaded from, so the full picture can be read on demand.
    void setSourcePath(const QString& path) { m_source = path; }
    const QString& sourcePath() const { return m_source; }

    void setStretch(bool on);
    bool stretch() const { return m_stretch; }
    void setBorder(bool on);

    // Position and size in twips, as the rendering reads and writes them. Setting a size
    // takes whole pixels; reading gives back what the view took.
    double leftTwips() const;
    double topTwips() const;
    double widthTwips() const;
    double heightTwips() const;
    void setLeftTwips(double v);
    void setTopTwips(double v);
    void setWidthTwips(double v);
    void setHeightTwips(double v);

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    const QImage& shownImage();

    QImage m_image;
    QImage m_reduced; // m_image averaged down to the view's device pixels, when much smaller
    QSizeF m_natural;
    QString m_source;
    bool m_stretch = false;
    bool m_border = false;
};

// A rectangle outline or a filled marker, with settable border width, border colour and
// fill. Clicks pass through to what lies below.
class ShapeFrame : public QWidget {
    Q_OBJECT
public:
    explicit ShapeFrame(QWidget* parent = nullptr);
    void setBorderWidth(int w);
    int borderWidth() const { return m_borderWidth; }
    void setBorderVisible(bool on);
    bool borderVisible() const { return m_borderVisible; }
    void setFill(bool on, QColor colour = {});
    bool filled() const { return m_fill; }
    QColor fillColour() const { return m_fillColour; }
    void setBorderColour(QColor c);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int m_borderWidth = 1;
    bool m_borderVisible = true;
    bool m_fill = false;
    QColor m_fillColour;
    QColor m_borderColour = Qt::black;
};

} // namespace tarvo
