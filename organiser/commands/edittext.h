#pragma once
// The memo window: a small editor for the memo of the selected picture. Its caption doubles
// as the organiser's one-line status display.

#include <QWidget>

class QPlainTextEdit;
namespace platform {
class TextBox;
}

namespace tarvo {

class Organiser;

class EditText : public QWidget {
    Q_OBJECT
public:
    explicit EditText(Organiser& org);
    QPlainTextEdit* Etxt() const;
    QString text() const;
    // A change made by the program: MemoLoading is 1 while the text is set, so it does not
    // count as an edit.
    void setTextByProgram(const QString& text);
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // Gives the memo window the keyboard focus; fails (false) while it is hidden.
    bool giveFocus();
    // The dsptxt button: show or hide.
    void toggleShown();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Etxt_Change();
    void Etxt_DblClick();

    Organiser& m_org;
    platform::TextBox* m_etxt = nullptr;
    QString m_caption;
};

} // namespace tarvo
