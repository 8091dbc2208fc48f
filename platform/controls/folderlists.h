#pragma once
// The drive, folder and file list widgets of the folder dialogs.
//
// DriveList: a drop-down of the machine's drives. On Linux a drive is a mounted volume
// that holds files (the root "/", removable media, home if separate); its text starts
// with the volume's path. Every change of the selection, by the user or by setDrive(),
// emits changed().
//
// DirList: one current folder with its parents above and subfolders below. path() is a
// full path in the system's form (nativePath: "C:\PICS" on Windows) ending with a
// separator only at a root ("/", "C:\"); the list shows a root the same way. setPath()
// fails (returns an error) for a folder that is gone or cannot be read; a drive text moves
// to that drive's folder.
// Every change emits changed().
//
// FileList: the names of the normal files of its folder matching its pattern (";"-separated
// wildcards, case-insensitive), hidden files excepted, ascending case-insensitive order.
// entry(i) past the end reads as "". Setting the folder or pattern re-reads at once.

#include "platform/drives.h"
#include "platform/result.h"

#include <QComboBox>
#include <QListView>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <vector>

class QStringListModel;

namespace platform {

class DriveList : public QComboBox {
    Q_OBJECT
public:
    // Starts with the drive that holds the process's current folder selected.
    explicit DriveList(QWidget* parent = nullptr);
    QString drive() const; // the selection's text
    // The folder the selection stands for ("/" or a mount point).
    QString driveRoot() const;
    // Selects the drive with that text (read from drive() earlier); emits changed() if the
    // selection moved. Error::NotFound when no such drive is there any more; the selection
    // then stays.
    Result setDrive(const QString& text);
    // The drive text that holds path (the mount point that contains it).
    QString driveOf(const QString& path) const;
    // Selects the drive holding path without emitting changed(): used when the folder list
    // itself moved onto another drive, so the drive list does not send it elsewhere.
    void followPath(const QString& path);
    void reloadDrives();
    void showPopup() override; // offers the drives mounted since
Q_SIGNALS:
    void changed();

private:
    std::vector<Drive> m_drives;
    bool m_quiet = false;
};

class DirList : public QListWidget {
    Q_OBJECT
public:
    // Starts in the process's current folder.
    explicit DirList(QWidget* parent = nullptr);
    QString path() const;
    // Moves to path (a folder, or a drive text; "" is the process's current folder).
    // Error::NotFound / Error::Access when it cannot be shown; the list then stays where it
    // was and nothing is emitted. Moving to the folder already shown emits nothing.
    Result setPath(const QString& path);
    // Re-reads the subfolders of the current folder.
    void refill() { fill(); }
Q_SIGNALS:
    void changed();
    // The user opened a folder that cannot be shown; the list stayed where it was.
    void openFailed(const platform::Result& why);

private:
    void fill();
    void openItem(QListWidgetItem* item);
    QString m_path;
};

class FileList : public QListView {
    Q_OBJECT
public:
    // Starts in the process's current folder with the given pattern ("*" when it cannot
    // be used), read once.
    explicit FileList(QWidget* parent = nullptr, const QString& pattern = QStringLiteral("*"));
    QString path() const { return m_path; }
    void setPath(const QString& folder);
    QString pattern() const { return m_pattern; }
    // Rejects a pattern it cannot use (Error::InvalidName) and keeps the old one, without
    // reading the folder again. An empty or blank pattern is rejected too.
    Result setPattern(const QString& pattern);
    void refresh();
    int count() const { return static_cast<int>(m_names.size()); }
    QString entry(int i) const;
    // The last read failed (folder gone, no permission); empty reason when it worked.
    const Result& lastRead() const { return m_lastRead; }
Q_SIGNALS:
    // The folder could not be read: the list is empty, why holds the reason.
    void readFailed(const platform::Result& why);

private:
    void read();
    QString m_path;
    QString m_pattern;
    QStringList m_names;
    QStringListModel* m_model = nullptr;
    Result m_lastRead;
};

} // namespace platform
