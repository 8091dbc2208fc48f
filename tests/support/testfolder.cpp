#include "testfolder.h"

#include "tools/gifwriter.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <stdexcept>

namespace testing_support {

TestFolder::TestFolder() {
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
}

QString TestFolder::path() const {
    return m_dir.path() + QLatin1Char('/');
}

void TestFolder::write(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

QByteArray TestFolder::read(const QString& name) const {
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool TestFolder::exists(const QString& name) const {
    return QFile::exists(file(name));
}

void TestFolder::writePicture(const QString& name, int w, int h, QColor colour,
                              const char* formatName) const {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    QString ext = name.section(QLatin1Char('.'), -1).toLower();
    if (formatName)
        ext = QString::fromLatin1(formatName);
    if (ext == QLatin1String("gif")) {
        write(name, tools::encodeGif(img));
        return;
    }
    QByteArray format = ext.toLatin1();
    if (ext == QLatin1String("dib") || ext == QLatin1String("rle"))
        format = "bmp";
    if (ext == QLatin1String("jpeg"))
        format = "jpg";
    QImageWriter writer(file(name), format);
    if (!writer.write(img))
        throw std::runtime_error("cannot write test picture");
}

QStringList TestFolder::names() const {
    return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QString rootFolder(const QString& path) {
#ifdef _WIN32
    return (path.isEmpty() ? QDir::currentPath() : path).left(3);
#else
    (void)path;
    return QStringLiteral("/");
#endif
}

CurrentDir::CurrentDir(const QString& dir) : m_old(QDir::currentPath()) {
    QDir::setCurrent(dir);
}

CurrentDir::~CurrentDir() {
    QDir::setCurrent(m_old);
}

} // namespace testing_support
