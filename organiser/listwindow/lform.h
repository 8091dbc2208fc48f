#pragma once
// The small-image list window: a narrow strip of the ten pictures of the current page. It
// owns no picture loading and no paging of its own: it moves the main window's scroll bar
// and shows the pictures the main window's cells hold.

#include <QWidget>
#include <array>

class QPushButton;

namespace tarvo {

class Organiser;
class PictureView;
class ShapeFrame;

class Lform : public QWidget {
    Q_OBJECT
public:
    // Creation renders the list once.
    explicit Lform(Organiser& org);
    PictureView* Limage(int i) const { return m_limage[static_cast<size_t>(i)]; }
    ShapeFrame* Shape1(int i) const { return m_shape1[static_cast<size_t>(i)]; }
    QPushButton* Lcom() const { return m_lcom; }
    QPushButton* Command_up() const { return m_up; }
    QPushButton* Command_down() const { return m_down; }

    // Small_Com "縮小表示": SmallMode on, hide the main window, render, show.
    void openFromMain();
    void L_Disp();
    // The memo text double-click: the marker of cell CurCell turns blue.
    void markCurrentBlue();

    void Lcom_Click();         // "拡大": back to the main window
    void Command_up_Click();   // previous page
    void Command_down_Click(); // next page
    void Limage_Click(int i);
    void Limage_DblClick(int i);

protected:
    // A frame close acts as "拡大", so the main window is never left hidden in small mode.
    void closeEvent(QCloseEvent* e) override;

private:
    void movePage(int value);

    Organiser& m_org;
    std::array<PictureView*, 10> m_limage{};
    std::array<ShapeFrame*, 10> m_shape1{};
    QPushButton* m_lcom = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
};

} // namespace tarvo
