#pragma once
// The organiser of one run: owns the shared state, the platform services and one slot per
// window. A slot creates its window hidden on first reference and runs the window's load
// step. A folder dialog closed through its frame is destroyed and its slot emptied, so the
// next reference creates it again.

#include "module1.h"

#include <QPointer>
#include <functional>
#include <memory>

namespace platform {
class Files;
class Clipboard;
class MessageBox;
class Programs;
} // namespace platform

namespace tarvo {

class ImgView;
class SetDir;
class SetTdir;
class Lform;
class EditText;
class FullPictures;

struct Services {
    platform::Files* files = nullptr;
    platform::Clipboard* clipboard = nullptr;
    platform::MessageBox* messages = nullptr;
    platform::Programs* programs = nullptr;
};

class Organiser {
public:
    // Null services are replaced by the system's.
    explicit Organiser(Services services = {});
    ~Organiser();
    Organiser(const Organiser&) = delete;
    Organiser& operator=(const Organiser&) = delete;

    Module1& m() { return m_module; }
    const Services& services() const { return m_services; }
    platform::Files& files() { return *m_services.files; }
    platform::Clipboard& clipboard() { return *m_services.clipboard; }
    platform::MessageBox& messages() { return *m_services.messages; }
    platform::Programs& programs() { return *m_services.programs; }

    // Window slots: each creates its window, hidden, on first reference.
    ImgView* imgView();
    SetDir* setDir();
    SetTdir* setTdir();
    Lform* lform();
    EditText* editText();
    bool hasSetDir() const { return !m_setDir.isNull(); }
    bool hasSetTdir() const { return !m_setTdir.isNull(); }
    bool hasLform() const { return !m_lform.isNull(); }
    bool hasEditText() const { return !m_editText.isNull(); }
    // The clipboard's full pictures, decoded off the user-interface thread.
    FullPictures& fullPictures() { return *m_fullPictures; }

    // Creates and shows the main window (its load runs start-up).
    void start();
    // Ends the program at once: every window closes, the event loop ends. Tests replace
    // what happens with setEndHandler.
    void endProgram();
    // Settles what the clipboard was promised before the program ends.
    void settleClipboard();
    void setEndHandler(std::function<void()> handler) { m_endHandler = std::move(handler); }
    bool ended() const { return m_ended; }

private:
    Module1 m_module;
    Services m_services;
    std::unique_ptr<FullPictures> m_fullPictures;
    QPointer<ImgView> m_imgView;
    QPointer<SetDir> m_setDir;
    QPointer<SetTdir> m_setTdir;
    QPointer<Lform> m_lform;
    QPointer<EditText> m_editText;
    std::function<void()> m_endHandler;
    bool m_ended = false;
};

} // namespace tarvo
