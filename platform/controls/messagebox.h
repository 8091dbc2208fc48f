#pragma once
// The platform's standard message box: a Japanese text, one "OK" button, and where stated
// a title and an icon. Modal. A fake records the calls in the tests.

#include <QString>

class QWidget;

namespace platform {

class MessageBox {
public:
    enum class Icon { None, Critical, Warning, Information };
    virtual ~MessageBox() = default;
    // An empty title gives the program's default title.
    virtual void show(QWidget* parent, const QString& text, const QString& title = {},
                      Icon icon = Icon::None) = 0;
};

MessageBox& systemMessageBox();

} // namespace platform
