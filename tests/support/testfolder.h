#pragma once
// A temporary folder for one test, with builders for the pictures and memos the tests use.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

class TestFolder {
public:
    TestFolder();
    QString path() const; // ends with "/"
    QString file(const QString& name) const { return path() + name; }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;
    bool exists(const QString& name) const;
    // A picture of w × h filled with colour, in the format the extension (or format) names;
    // "dib" and "rle" as BMP, GIF by the encoder in tools/ (Qt writes no GIF).
    void writePicture(const QString& name, int w, int h, QColor colour = Qt::red,
                      const char* format = nullptr) const;
    QStringList names() const; // sorted file names

private:
    QTemporaryDir m_dir;
};

// The root folder as the folder lists name it: "/", or on Windows the root of path's drive
// (by default the current folder's), such as "C:/".
QString rootFolder(const QString& path = QString());

// Runs f with the process's current directory set to dir, then restores it.
class CurrentDir {
public:
    explicit CurrentDir(const QString& dir);
    ~CurrentDir();

private:
    QString m_old;
};

} // namespace testing_support
