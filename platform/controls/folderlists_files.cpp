// The file list: a plain string model over the names that scanFolder finds, so that a folder
// of some ten thousand pictures lists at once.

#include "folderlists.h"
#include "platform/filescan.h"

#include <QDir>
#include <QStringListModel>

namespace platform {

FileList::FileList(QWidget* parent, const QString& pattern) : QListView(parent) {
    m_model = new QStringListModel(this);
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    m_path = QDir::currentPath();
    m_pattern = WildcardMask::parse(pattern) ? pattern : QStringLiteral("*");
    read();
}

void FileList::setPath(const QString& folder) {
    m_path = folder;
    read();
}

Result FileList::setPattern(const QString& pattern) {
    // A blank pattern would list nothing or everything depending on how one reads it;
    // neither is what the user meant, so it is refused like any unusable pattern.
    if (pattern.trimmed().isEmpty())
        return Result::failure(Error::InvalidName, pattern);
    if (!WildcardMask::parse(pattern))
        return Result::failure(Error::InvalidName, pattern);
    m_pattern = pattern;
    read();
    return Result::success();
}

void FileList::refresh() {
    read();
}

QString FileList::entry(int i) const {
    if (i < 0 || i >= m_names.size())
        return {};
    return m_names.at(i);
}

void FileList::read() {
    const std::optional<WildcardMask> mask = WildcardMask::parse(m_pattern);
    Result why;
    std::optional<QStringList> names;
    if (mask)
        names = scanFolder(m_path, *mask, &why);
    else
        why = Result::failure(Error::InvalidName, m_pattern);
    if (names) {
        m_names = std::move(*names);
        m_lastRead = Result::success();
    } else {
        m_names.clear();
        if (why.ok()) // a scan that gives no reason still failed
            why = Result::failure(Error::Io, m_path);
        m_lastRead = why;
    }
    m_model->setStringList(m_names);
    if (!m_lastRead.ok())
        Q_EMIT readFailed(m_lastRead);
}

} // namespace platform
