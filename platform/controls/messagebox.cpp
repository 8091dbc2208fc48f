#include "messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

class QtMessageBox : public MessageBox {
public:
    void show(QWidget* parent, const QString& text, const QString& title, Icon icon) override {
        QMessageBox box(parent);
        // Texts written for Windows break lines with CR or CR LF; a label breaks on LF.
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        box.setText(shown);
        box.setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
        switch (icon) {
        case Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case Icon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        }
        // One button, always captioned "OK" whatever the desktop's language.
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }
};

} // namespace

MessageBox& systemMessageBox() {
    static QtMessageBox box;
    return box;
}

} // namespace platform
