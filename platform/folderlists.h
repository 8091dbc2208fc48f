#pragma once
// The drive, folder and file list widgets of the folder dialogs.
//
// DriveList: a drop-down of the machine's drives. On Linux a drive is a mounted volume
// that holds files (the root "/", removable media, home if separate); its text starts
// with the volume's path. Every change of the selection, by the user or by setDrive(),
// emits changed().
//
// DirList: one current folder with its parents above and subfolders below. path() is a
// full path ending with "/" only at the root. setPath() fails (returns an error) for a
// folder that is gone or cannot be read; a drive text moves to that drive's folder.
// Every change emits changed().
//
// FileList: the names of the normal files of its folder matching its pattern (";"-separated
// wildcards, case-insensitive), hidden files excepted, ascending case-insensitive order.
// entry(i) past the end reads as "". Setting the folder or pattern re-reads at once.

#include "result.h"

#include <QComboBox>
#include <QListView>
#include <QListWidget>
#include <QString>
#include <QStringList>

class QStringListModel;

namespace platform {

class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);
    QString drive() const;                 // the selection's text
    void setDrive(const QString& text);    // selects that drive; emits changed() if it moved
    // The drive text that holds path (the mount point that contains it).
    QString driveOf(const QString& path) const;
    void reloadDrives();
Q_SIGNALS:
    void changed();
};

class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);
    QString path() const;
    // Moves to path (a folder, or a drive text). Error::NotFound / Error::Access when it
    // cannot be shown; the list then stays where it was and nothing is emitted.
    Result setPath(const QString& path);
Q_SIGNALS:
    void changed();
private:
    void fill();
    void openItem(QListWidgetItem* item);
    QString m_path;
};

class FileList : public QListView {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);
    QString path() const { return m_path; }
    void setPath(const QString& folder);
    QString pattern() const { return m_pattern; }
    // Rejects a pattern it cannot use (Error::InvalidName) and keeps the old one.
    Result setPattern(const QString& pattern);
    void refresh();
    int count() const { return static_cast<int>(m_names.size()); }
    QString entry(int i) const;
    // The last read failed (folder gone, no permission); empty reason when it worked.
    const Result& lastRead() const { return m_lastRead; }
Q_SIGNALS:
    void readFailed(const platform::Result& why);
private:
    QString m_path;
    QString m_pattern;
    QStringList m_names;
    QStringListModel* m_model = nullptr;
    Result m_lastRead;
};

} // namespace platform
