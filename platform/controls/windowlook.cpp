#include "windowlook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QWindow>

namespace platform {

namespace {

// One shared "Windows" style for every button; Qt's own Windows style fills the bevel with the
// palette's button colour and nothing else, which is what a Windows button looks like.
QStyle* windowsButtonStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = QStyleFactory::create(QStringLiteral("Windows"));
        if (style)
            style->setParent(qApp);
    }
    return style;
}

class EnterPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished) {
            // Buttons added after the window was built get the keys too.
            auto* ce = static_cast<QChildEvent*>(event);
            attach(ce->child());
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->isEnabled() || !button->isVisible())
            return false;
        button->click();
        return true;
    }

public:
    void attach(QObject* o) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->property("tarvoEnterPresses").toBool())
            return;
        w->setProperty("tarvoEnterPresses", true);
        w->installEventFilter(this);
        const QList<QWidget*> children = w->findChildren<QWidget*>();
        for (QWidget* child : children)
            attach(child);
    }
};

class PlaceKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* w = static_cast<QWidget*>(watched);
        // Spontaneous hides and shows are the window manager's (minimising, desktops); they
        // move nothing.
        if (event->spontaneous())
            return false;
        if (event->type() == QEvent::Hide && w->isWindow()) {
            // The client area's place: the frame's place as Qt reckons it is off by the
            // frame once the window manager has moved the window (a drag by the title
            // bar), and Qt no longer knows the frame's size while the window is unmapped.
            m_place = w->geometry().topLeft();
            m_known = true;
        } else if (event->type() == QEvent::Show && m_known) {
            // The show event comes before the window is mapped, so the position goes to the
            // window manager as one the program asks for. QWidget::move would do nothing,
            // since Qt still holds that very position; but a place the window manager chose
            // or the user dragged to is not sent along with a new mapping, and the window
            // would be placed anew. A step aside and back makes Qt send it.
            if (QWindow* native = w->windowHandle()) {
                native->setPosition(m_place + QPoint(1, 0));
                native->setPosition(m_place);
            } else {
                w->move(m_place);
            }
        }
        return false;
    }

private:
    QPoint m_place;
    bool m_known = false;
};

} // namespace

void setButtonFace(QAbstractButton* button, const QColor& face) {
    if (QStyle* style = windowsButtonStyle())
        button->setStyle(style);
    // Without a colour of its own the face is the standard one, not whatever colour the
    // window behind the button was given.
    const QColor colour =
        face.isValid() ? face : QApplication::palette(button).color(QPalette::Button);
    QPalette pal = button->palette();
    pal.setColor(QPalette::Button, colour);
    pal.setColor(QPalette::Window, colour);
    button->setPalette(pal);
}

void enterPressesFocusedButton(QWidget* window) {
    auto* filter = new EnterPresses(window);
    filter->attach(window);
}

void keepPlaceWhileHidden(QWidget* window) {
    window->installEventFilter(new PlaceKeeper(window));
}

} // namespace platform
