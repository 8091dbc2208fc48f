#pragma once
// A fresh organiser per test, started in its own temporary folder with a recording
// clipboard and message box, driven through its real widgets.

#include "fakes.h"
#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"
#include "organiser/browser/pictureview.h"
#include "organiser/commands/edittext.h"
#include "testfolder.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace testing_support {

// Types as a user does; text beyond ASCII arrives as an input method commits it.
inline void typeInto(QWidget* w, const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(w, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(w, &commit);
        }
    }
}

class OrganiserTest : public ::testing::Test {
protected:
    TestFolder dir;
    FakeClipboard clip;
    FakeMessageBox box;
    // The real files of dir, with failures a test arranges (read-only files, a full disk).
    FakeFiles files;
    std::unique_ptr<CurrentDir> cwd;
    std::unique_ptr<tarvo::Organiser> org;
    int endCalls = 0;
    // The other programs: the system's unless a test sets its fake before start().
    platform::Programs* programsService = nullptr;

    // Starts the organiser in dir (the folder it lists).
    void start() {
        cwd = std::make_unique<CurrentDir>(dir.path());
        tarvo::Services s;
        s.clipboard = &clip;
        s.messages = &box;
        s.files = &files;
        s.programs = programsService;
        org = std::make_unique<tarvo::Organiser>(s);
        org->setEndHandler([this] { ++endCalls; });
        org->imgView();
    }
    void TearDown() override {
        org.reset();
        cwd.reset();
    }

    tarvo::Module1& m() { return org->m(); }
    tarvo::ImgView* view() { return org->imgView(); }
    tarvo::EditText* memo() { return org->editText(); }
    QString name(int i) { return view()->text1(i); }
    QString label(int i) { return view()->Label2(i)->text(); }

    void clickPicture(int i) { QTest::mouseClick(view()->Image1(i), Qt::LeftButton); }
    void clickName(int i) {
        QTest::mouseClick(view()->Text1(i)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    }
    // Replaces the name field's text as a user would: select all, type.
    void typeName(int i, const QString& text) {
        QPlainTextEdit* t = view()->Text1(i);
        t->setFocus();
        t->selectAll();
        if (text.isEmpty())
            QTest::keyClick(t, Qt::Key_Delete);
        else
            typeInto(t, text);
    }
    // Types at the end of the memo text.
    void typeMemo(const QString& text) {
        QPlainTextEdit* e = memo()->Etxt();
        e->moveCursor(QTextCursor::End);
        typeInto(e, text);
    }
    void press(const char* objectName) {
        auto* b = view()->findChild<QPushButton*>(QLatin1String(objectName));
        ASSERT_NE(b, nullptr) << objectName;
        b->click();
    }
    void trigger(const char* objectName) {
        auto* a = view()->findChild<QAction*>(QLatin1String(objectName));
        ASSERT_NE(a, nullptr) << objectName;
        a->trigger();
    }
    // Writes n small BMP pictures p00.bmp, p01.bmp, ...
    void writePictures(int n) {
        for (int k = 0; k < n; ++k)
            dir.writePicture(QStringLiteral("p%1.bmp").arg(k, 2, 10, QLatin1Char('0')), 8, 6);
    }
};

} // namespace testing_support
