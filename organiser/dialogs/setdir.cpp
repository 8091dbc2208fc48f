#include "setdir.h"

#include "browser/organiser.h"
#include "platform/controls/folderlists.h"
#include "platform/controls/fonts.h"
#include "platform/controls/placement.h"
#include "platform/twips.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>

namespace tarvo {

namespace {

FolderDialogDesign design() {
    FolderDialogDesign d;
    d.caption = QStringLiteral("ディレクトリ指定");
    d.driveName = QStringLiteral("Drive1");
    d.dirName = QStringLiteral("Dir1");
    d.fileName = QStringLiteral("File1");
    d.drive = QRectF(2745, 120, 2055, 300);
    d.dir = QRectF(2736, 435, 2055, 2400);
    d.file = QRectF(105, 75, 2535, 2430);
    d.ok = QRectF(1548, 2832, 1068, 375);
    d.cancel = QRectF(228, 2832, 1116, 375);
    d.filePattern = kDesignPattern;
    return d;
}

} // namespace

SetDir::SetDir(Organiser& org)
    : FolderDialog(org, design(),
                   {&Module1::ImageDir, &Module1::SavedImageDir, &Module1::SavedImageDrive}) {
    m_setMask = new QLineEdit(this);
    m_setMask->setObjectName(QStringLiteral("SetMask"));
    m_setMask->setFont(platform::designFont(platform::kMsGothic, 9));
    platform::placeTwips(m_setMask, 2748, 3036, 2220, 312);
    setTabOrder(cancelButton(), m_setMask);
    m_setMask->installEventFilter(this);
    connect(m_setMask, &QLineEdit::textEdited, this, [this] { m_maskTyped = true; });

    // Creation step.
    InitImageDir(m_org);
    m_defaultMask = File1()->pattern();
    showMask(File1()->pattern());

    connectLists();
}

void SetDir::showMask(const QString& text) {
    m_setMask->setText(text);
    m_setMask->setCursorPosition(0); // the pattern reads from its start
}

bool SetDir::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_setMask && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        SetMask_LostFocus();
    return FolderDialog::eventFilter(watched, event);
}

void SetDir::SetMask_LostFocus() {
    m_maskTyped = false;
    // A rejected mask falls back to the design pattern silently; the field keeps the text.
    if (!File1()->setPattern(m_setMask->text()))
        (void)File1()->setPattern(m_defaultMask);
}

void SetDir::Command1_Click() {
    // The click takes the focus from the mask field first; when it did not (the window was
    // not active), the typed mask is applied here, so it is in force for the reload.
    if (m_maskTyped)
        SetMask_LostFocus();
    hideAndShowMain();
    // ImageDir follows the folder list; it differs only after a Cancel whose saved folder
    // had gone, and then the reload must read the folder the list shows.
    m_org.m().ImageDir = withSlash(Dir1()->path());
    LoadFileList(m_org);
}

void SetDir::Command2_Click() {
    restoreSaved();
    (void)File1()->setPattern(m_defaultMask);
    showMask(File1()->pattern());
    m_maskTyped = false;
    hideAndShowMain();
}

} // namespace tarvo
