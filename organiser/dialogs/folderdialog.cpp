#include "folderdialog.h"

#include "browser/imgview.h"
#include "browser/organiser.h"
#include "platform/controls/folderlists.h"
#include "platform/controls/fonts.h"
#include "platform/controls/messagebox.h"
#include "platform/controls/placement.h"
#include "platform/controls/windowlook.h"
#include "platform/pathrules.h"
#include "platform/twips.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

namespace tarvo {

namespace {

void place(QWidget* w, const QRectF& r) {
    platform::placeTwips(w, r.left(), r.top(), r.width(), r.height());
}

} // namespace

QString withSlash(const QString& folder) {
    return platform::nativeFolder(folder);
}

FolderDialog::FolderDialog(Organiser& org, const FolderDialogDesign& design, FolderDialogVars vars)
    : QWidget(nullptr, Qt::Dialog), m_org(org), m_vars(vars) {
    // A frame close destroys the dialog; the organiser's slot empties and the next
    // reference creates it anew.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(design.caption);
    platform::setClientTwips(this, 5010, 3420);
    setFixedSize(size());

    const QFont listFont = platform::designFont(platform::kMsGothic, 9);

    // New lists start in the process's current folder.
    m_drive = new platform::DriveList(this);
    m_drive->setObjectName(design.driveName);
    m_dir = new platform::DirList(this);
    m_dir->setObjectName(design.dirName);
    m_file = new platform::FileList(this, design.filePattern);
    m_file->setObjectName(design.fileName);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));

    for (QWidget* w : {static_cast<QWidget*>(m_drive), static_cast<QWidget*>(m_dir),
                       static_cast<QWidget*>(m_file), static_cast<QWidget*>(m_cancel)})
        w->setFont(listFont);
    // Neither button is the window's default or cancel button.
    for (QPushButton* b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        platform::setButtonFace(b);
    }

    place(m_drive, design.drive);
    place(m_dir, design.dir);
    place(m_file, design.file);
    place(m_ok, design.ok);
    place(m_cancel, design.cancel);
    setTabOrder(m_drive, m_dir);
    setTabOrder(m_dir, m_file);
    setTabOrder(m_file, m_ok);
    setTabOrder(m_ok, m_cancel);

    connect(m_ok, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { Command2_Click(); });
    platform::enterPressesFocusedButton(this);
    platform::keepPlaceWhileHidden(this);
}

void FolderDialog::connectLists() {
    connect(m_drive, &platform::DriveList::changed, this, &FolderDialog::Drive_Change);
    connect(m_dir, &platform::DirList::changed, this, &FolderDialog::Dir_Change);
    connect(m_dir, &platform::DirList::openFailed, this, &FolderDialog::reportOpenFailed);
    // A re-read that fails outside a folder change (a refresh, a new mask) is reported too,
    // once for each folder.
    connect(m_file, &platform::FileList::readFailed, this, [this] {
        if (!m_changing)
            reportUnreadable();
    });
}

void FolderDialog::open() {
    Module1& m = m_org.m();
    m.*m_vars.savedDrive = m_drive->drive();
    m.*m_vars.savedFolder = m.*m_vars.folder;
    show();
    raise();
    activateWindow();
}

void FolderDialog::Drive_Change() {
    if (platform::Result r = m_dir->setPath(m_drive->drive()); !r) {
        // The drive shows the new choice; the folder list, file list and folder variable
        // keep the previous folder.
        // A volume that is there but turns us away is not a missing disk.
        const QString text = r.error == platform::Error::Access
                                 ? QStringLiteral("このドライブにアクセスする権限がありません")
                                 : QStringLiteral("ディスクをセットして下さい");
        m_org.messages().show(this, text, QStringLiteral("ドライブエラー"),
                              platform::MessageBox::Icon::Critical);
    }
}

void FolderDialog::Dir_Change() {
    m_changing = true;
    m_reported.clear();
    m_file->setPath(m_dir->path());
    m_org.m().*m_vars.folder = withSlash(m_dir->path());
    // On Linux a folder list can walk onto another volume; the drive list shows where it is
    // without sending the folder list anywhere.
    m_drive->followPath(m_dir->path());
    m_changing = false;
    reportUnreadable();
}

void FolderDialog::restoreSaved() {
    Module1& m = m_org.m();
    const QString savedDrive = m.*m_vars.savedDrive;
    const QString savedFolder = m.*m_vars.savedFolder;

    // A drive that is gone leaves the selection as it is.
    (void)m_drive->setDrive(savedDrive);

    // A folder that is gone or unreadable: the nearest parent that can be shown, so the
    // dialog stays usable. An empty saved folder (no choice made yet) is the process's
    // current folder, which is where an empty path points.
    if (!m_dir->setPath(savedFolder)) {
        QString p = QDir::cleanPath(QDir::current().absoluteFilePath(savedFolder));
        // Up to the root, which is its own parent ("/", or "E:/" of a drive that is gone).
        while (!p.isEmpty()) {
            const QString parent = QFileInfo(p).path();
            if (parent == p)
                break;
            p = parent;
            if (m_dir->setPath(p))
                break;
        }
    }

    m_file->setPath(m_dir->path());
    m.*m_vars.folder = savedFolder;
}

void FolderDialog::hideAndShowMain() {
    hide();
    m_org.imgView()->activateMain();
}

void FolderDialog::reportUnreadable() {
    const platform::Result& why = m_file->lastRead();
    if (why.ok()) {
        m_reported.clear();
        return;
    }
    if (m_file->path() == m_reported)
        return;
    m_reported = m_file->path();
    m_org.messages().show(this, QStringLiteral("ファイルの一覧を読めません。\n") + why.reason,
                          windowTitle(), platform::MessageBox::Icon::Warning);
}

void FolderDialog::reportOpenFailed(const platform::Result& why) {
    m_org.messages().show(this, QStringLiteral("フォルダを開けません。\n") + why.reason,
                          windowTitle(), platform::MessageBox::Icon::Warning);
}

} // namespace tarvo
