#pragma once
// The capture saver's one window: instructions, the prefix box, the ON/OFF switch, Run and Exit.

#include "module1.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace platform {
class Clipboard;
}

namespace capture {

class Form1 : public QWidget {
    Q_OBJECT
public:
    // Runs the load step: the window opens in its designed state with saving switched on.
    // endProgram is what Exit does after leaving the chain (quits the application by default).
    Form1(platform::ViewerChain& chain, platform::Clipboard& clipboard,
          std::function<void()> endProgram = {}, QWidget* parent = nullptr);
    ~Form1() override;

    void Command1_Click(); // Run
    void Command2_Click(); // Exit
    void Command3_Click(); // the ON/OFF switch
    // Saves the clipboard's bitmap, if it holds one, as the next numbered file.
    void CaptureClipboard();

    // The last captured picture (what Image1 holds).
    QImage lastPicture() const { return m_picture; }
    // The reason of the last failed save or read, empty once a save has succeeded.
    QString failure() const { return m_failure; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void showSwitchState();
    void showFailure(const QString& text);
    void reportMissed(const QString& reason);

    platform::ViewerChain& m_chain;
    platform::Clipboard& m_clipboard;
    std::function<void()> m_endProgram;
    bool m_ended = false;
    bool m_switchPressed = false;
    QImage m_picture;
    QString m_failure;
    // Counts the clipboard changes seen, so a late look can tell whether another came since.
    quint64 m_notices = 0;

    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPlainTextEdit* Text3 = nullptr;
    QPlainTextEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QPushButton* Command3 = nullptr;
    QWidget* Image1 = nullptr;
};

} // namespace capture
