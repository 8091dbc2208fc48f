#include "organiser.h"

#include "cellrules.h"
#include "commands/edittext.h"
#include "commands/fullpicture.h"
#include "dialogs/setdir.h"
#include "dialogs/settdir.h"
#include "imgview.h"
#include "listwindow/lform.h"
#include "pictureview.h"
#include "platform/clipboard.h"
#include "platform/controls/folderlists.h"
#include "platform/controls/messagebox.h"
#include "platform/files.h"
#include "platform/programs.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>

namespace tarvo {

Organiser::Organiser(Services services)
    : m_services(services), m_fullPictures(std::make_unique<FullPictures>()) {
    if (!m_services.files)
        m_services.files = &platform::systemFiles();
    if (!m_services.clipboard)
        m_services.clipboard = &platform::systemClipboard();
    if (!m_services.messages)
        m_services.messages = &platform::systemMessageBox();
    if (!m_services.programs)
        m_services.programs = &platform::systemPrograms();
}

Organiser::~Organiser() {
    // Windows refer to the organiser; destroy them while it is still whole. The main
    // window goes last because the others show it again when they close.
    delete m_lform.data();
    delete m_setDir.data();
    delete m_setTdir.data();
    delete m_editText.data();
    delete m_imgView.data();
}

ImgView* Organiser::imgView() {
    if (!m_imgView) {
        m_imgView = new ImgView(*this);
        m_imgView->Form_Load();
    }
    return m_imgView;
}

SetDir* Organiser::setDir() {
    if (!m_setDir)
        m_setDir = new SetDir(*this);
    return m_setDir;
}

SetTdir* Organiser::setTdir() {
    if (!m_setTdir)
        m_setTdir = new SetTdir(*this);
    return m_setTdir;
}

Lform* Organiser::lform() {
    if (!m_lform)
        m_lform = new Lform(*this);
    return m_lform;
}

EditText* Organiser::editText() {
    if (!m_editText)
        m_editText = new EditText(*this);
    return m_editText;
}

void Organiser::start() {
    imgView()->show();
    // A start folder that cannot be listed shows an empty window: say why, as a change to
    // that folder does.
    setDir()->reportUnreadable();
}

void Organiser::endProgram() {
    if (m_ended)
        return;
    m_ended = true;
    settleClipboard();
    if (m_endHandler) {
        m_endHandler();
        return;
    }
    // Every window closes at once; no further handling runs (pending memo and name edits
    // are discarded, as ending means).
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    QApplication::exit(0);
}

void Organiser::settleClipboard() {
    // A picture still being decoded is given up and its offer taken back, so the end does not
    // wait for it; a picture made is left on the clipboard for after the program.
    FullPictures& pictures = *m_fullPictures;
    if (pictures.busy()) {
        std::shared_ptr<platform::PendingImage> offer = pictures.currentOffer();
        pictures.giveUpAll();
        if (offer)
            clipboard().withdrawPendingImage(offer);
    } else {
        pictures.giveUpOthers();
        clipboard().keepAfterExit();
    }
}

} // namespace tarvo
