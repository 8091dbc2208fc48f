#pragma once
// The small-image list window: a narrow strip of the ten pictures of the current page.

#include <QWidget>

namespace tarvo {

class Organiser;
class PictureView;
class ShapeFrame;

class Lform : public QWidget {
    Q_OBJECT
public:
    explicit Lform(Organiser& org);
    PictureView* Limage(int i) const;
    ShapeFrame* Shape1(int i) const;

    // Small_Com "縮小表示": SmallMode on, hide the main window, render, show.
    void openFromMain();
    void L_Disp();
    // The memo text double-click: the marker of cell CurCell turns blue.
    void markCurrentBlue();
};

} // namespace tarvo
