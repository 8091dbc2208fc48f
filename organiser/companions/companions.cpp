#include "companions.h"

#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/programs.h"

namespace tarvo {

namespace {

const QString kViewerProgram = QStringLiteral("CLIPBRD.EXE");
const QString kViewerCaption = QStringLiteral("クリップボード ビューア");
const QString kViewerCloseKeys = QStringLiteral("+{F10}FX");
const QString kSaverCaption = QStringLiteral("Mirok101");
const QString kSaverLookupName = QStringLiteral("Mirok101.exe");
const QString kSaverProgram = QStringLiteral("mirok101.exe");
const QString kPaintProgram = QStringLiteral("MSPAINT.EXE");

QString saverMissingMessage() {
    return QStringLiteral("Tarvo と同じフォルダに　Mirok101.exe をおいてください。");
}

// The saver is looked up as a normal file wherever its start would look for it, so the
// message only comes when starting it could not work anyway.
bool saverPresent(Organiser& org) {
    const QStringList paths = org.programs().searchPaths(kSaverLookupName);
    for (const QString& path : paths)
        if (org.files().isNormalFile(path))
            return true;
    return false;
}

} // namespace

void ToggleClipboardViewer(Organiser& org) {
    Module1& m = org.m();
    // A failure resets the flag and starts over; with the flag at 0 the next round starts a
    // viewer and always ends, so this runs at most twice.
    for (;;) {
        if (m.ClipboardViewerOpen == 0) {
            if (!org.programs().start(kViewerProgram, platform::WindowStyle::NormalNoFocus)) {
                m.ClipboardViewerOpen = 0; // the next press tries again
                return;
            }
            m.ClipboardViewerOpen = 1;
            org.imgView()->activateMain();
            return;
        }
        if (m.ClipboardViewerOpen == 1) {
            if (!CloseClipboardViewer(org, false)) {
                m.ClipboardViewerOpen = 0;
                continue;
            }
            m.ClipboardViewerOpen = 0;
        }
        return;
    }
}

bool CloseClipboardViewer(Organiser& org, bool wait) {
    // A minimised viewer is restored first: its keys need it to have the focus, and left
    // minimised it would stay open while the toggle took it for closed.
    if (!org.programs().restore(kViewerCaption))
        return false; // no keys for whatever window happens to be active
    return org.programs().sendKeys(kViewerCloseKeys, wait).ok();
}

bool RaiseClipboardViewer(Organiser& org) {
    Module1& m = org.m();
    if (m.ClipboardViewerOpen != 1)
        return true;
    if (!org.programs().activate(kViewerCaption, false)) {
        m.ClipboardViewerOpen = 0;
        return false;
    }
    return true;
}

void StartCaptureSaver(Organiser& org) {
    if (org.programs().activate(kSaverCaption, true))
        return;
    if (!saverPresent(org)) {
        org.messages().show(org.imgView(), saverMissingMessage());
        return;
    }
    // Found but not started (not executable, or the system refused): the organiser goes
    // on, and the user learns why nothing opened.
    if (!org.programs().start(kSaverProgram, platform::WindowStyle::NormalFocus))
        org.messages().show(org.imgView(), QStringLiteral("Mirok101 を起動できませんでした。"));
}

void StartPaint(Organiser& org) {
    if (org.programs().start(kPaintProgram, platform::WindowStyle::NormalNoFocus))
        return;
    org.messages().show(org.imgView(), platform::paintMissingMessage());
}

} // namespace tarvo
