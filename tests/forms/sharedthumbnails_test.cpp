// Thumbnails kept between runs in the desktop's shared cache (a folder of the test's own): what
// is written, which entries are believed, failures remembered, unreadable pictures leaving
// nothing, and writers racing on one entry never leaving half a file.
#include "organiser/browser/thumbnailstore.h"
#include "support/organiserfixture.h"
#include "support/unprivileged.h"
#include "tarvo_version.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QUrl>
#include <atomic>
#include <thread>

#include <sys/stat.h>

using namespace testing_support;
using namespace tarvo;

namespace {

const QString kCannotDisplay = QStringLiteral("このファイルは表示不可能なプロパティイです｡");
// A cell's box at one device pixel per pixel (96 × 96 pixels at 96 DPI).
const QSizeF kCellBox(1440, 1440);

bool near(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 &&
           qAbs(a.blue() - b.blue()) < 24;
}

constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                             QFileDevice::WriteOther | QFileDevice::ExeOther;

class SharedThumbnailsTest : public OrganiserTest {
protected:
    QTemporaryDir cacheHome;
    const QByteArray runCacheHome = qgetenv("XDG_CACHE_HOME"); // the test main's

    void SetUp() override { qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path())); }
    void TearDown() override {
        ThumbnailStore::waitForWrites();
        OrganiserTest::TearDown();
        qputenv("XDG_CACHE_HOME", runCacheHome);
    }
    QString thumbs() const { return cacheHome.path() + QStringLiteral("/thumbnails"); }
    // The entry's name from the standard, not from the store.
    static QByteArray uri(const QString& path) {
        return QUrl::fromLocalFile(QFileInfo(path).canonicalFilePath()).toEncoded();
    }
    QString entry(const QString& name, const QString& folder = QStringLiteral("normal")) const {
        const QByteArray md5 =
            QCryptographicHash::hash(uri(dir.file(name)), QCryptographicHash::Md5).toHex();
        return thumbs() + QLatin1Char('/') + folder + QLatin1Char('/') + QString::fromLatin1(md5) +
               QStringLiteral(".png");
    }
    QString failEntry(const QString& name) const {
        return entry(name, QStringLiteral("fail/tarvo104-" TARVO_VERSION_STRING));
    }
    // Another program's entry: the standard's keys only, filled with colour.
    void writeForeign(const QString& name, QColor colour, qint64 mtimeShift = 0) {
        const QFileInfo fi(dir.file(name));
        QDir().mkpath(thumbs() + QStringLiteral("/normal"));
        QImage img(128, 96, QImage::Format_ARGB32);
        img.fill(colour);
        img.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(uri(fi.filePath())));
        img.setText(QStringLiteral("Thumb::MTime"),
                    QString::number(fi.lastModified().toSecsSinceEpoch() + mtimeShift));
        img.setText(QStringLiteral("Thumb::Size"), QString::number(fi.size()));
        img.setText(QStringLiteral("Thumb::Image::Width"), QStringLiteral("1600"));
        img.setText(QStringLiteral("Thumb::Image::Height"), QStringLiteral("1200"));
        ASSERT_TRUE(QImageWriter(entry(name), "png").write(img));
    }
    QColor shown(int i) {
        const QImage& img = view()->Image1(i)->picture();
        return img.isNull() ? QColor() : QColor(img.pixel(img.width() / 2, img.height() / 2));
    }
    void restart() {
        ThumbnailStore::waitForWrites();
        org.reset();
        cwd.reset();
        start();
        ThumbnailStore::waitForWrites();
    }
};

TEST_F(SharedThumbnailsTest, WritesTheStandardEntryUprightWithItsKeysAndPrivateModes) {
    dir.writePicture(QStringLiteral("a.jpg"), 1600, 1200, Qt::red);
    start();
    ThumbnailStore::waitForWrites();
    const QString file = entry(QStringLiteral("a.jpg"));
    ASSERT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray png = f.readAll();
    ASSERT_GT(png.size(), 26);
    EXPECT_EQ(png.at(24), 8) << "8 bits a channel";
    EXPECT_EQ(png.at(25), 6) << "RGBA";
    EXPECT_TRUE(png.contains("tEXtThumb::URI")) << "keys in tEXt chunks";
    const QImage img = QImageReader(file).read();
    const QFileInfo fi(dir.file(QStringLiteral("a.jpg")));
    EXPECT_EQ(img.size(), QSize(128, 96));
    EXPECT_TRUE(near(img.pixelColor(64, 48), Qt::red));
    EXPECT_EQ(img.text(QStringLiteral("Thumb::URI")).toLatin1(), uri(fi.filePath()));
    EXPECT_EQ(img.text(QStringLiteral("Thumb::MTime")).toLongLong(),
              fi.lastModified().toSecsSinceEpoch());
    EXPECT_EQ(img.text(QStringLiteral("Thumb::Size")).toLongLong(), fi.size());
    EXPECT_EQ(img.text(QStringLiteral("Thumb::Image::Width")), QStringLiteral("1600"));
    EXPECT_EQ(img.text(QStringLiteral("Thumb::Image::Height")), QStringLiteral("1200"));
    EXPECT_FALSE(img.text(QStringLiteral("X-Tarvo::Identity")).isEmpty());
    EXPECT_EQ(QFile::permissions(file) & kOthers, QFileDevice::Permissions());
    for (const QString& folder : {thumbs(), thumbs() + QStringLiteral("/normal")})
        EXPECT_EQ(QFile::permissions(folder) & kOthers, QFileDevice::Permissions())
            << folder.toStdString();
    EXPECT_EQ(QDir(thumbs() + QStringLiteral("/normal")).entryList(QDir::Files).size(), 1)
        << "no temporary file left";
}

TEST_F(SharedThumbnailsTest, BelievesOnlyEntriesThatDescribeTheFileAsItIsNow) {
    for (const char* n : {"a.jpg", "b.jpg"})
        dir.writePicture(QString::fromLatin1(n), 1600, 1200, Qt::red);
    writeForeign(QStringLiteral("a.jpg"), Qt::blue);    // valid: shown instead of a decode
    writeForeign(QStringLiteral("b.jpg"), Qt::blue, 1); // a second off: decoded again
    const int before = ThumbnailStore::decodes();
    start();
    ThumbnailStore::waitForWrites();
    EXPECT_TRUE(near(shown(0), Qt::blue));
    EXPECT_TRUE(near(shown(1), Qt::red));
    EXPECT_EQ(ThumbnailStore::decodes() - before, 1);
    const QImage b(entry(QStringLiteral("b.jpg")));
    EXPECT_TRUE(near(b.pixelColor(64, 48), Qt::red)) << "the stale entry is made again";

    // A changed file gets a new entry.
    dir.writePicture(QStringLiteral("a.jpg"), 1200, 1600, Qt::green);
    {
        QFile f(dir.file(QStringLiteral("a.jpg")));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(10),
                                  QFileDevice::FileModificationTime));
    }
    restart();
    EXPECT_TRUE(near(shown(0), Qt::green));
    const QImage a(entry(QStringLiteral("a.jpg")));
    EXPECT_EQ(a.size(), QSize(96, 128));
    EXPECT_TRUE(near(a.pixelColor(48, 64), Qt::green));

    // Replaced keeping size and time: only our own key knows the file is another.
    dir.writePicture(QStringLiteral("p.bmp"), 300, 200, Qt::red);
    restart();
    EXPECT_TRUE(near(shown(2), Qt::red));
    const QDateTime mtime = QFileInfo(dir.file(QStringLiteral("p.bmp"))).lastModified();
    const QString other = dir.file(QStringLiteral("q.tmp"));
    {
        TestFolder scratch;
        scratch.writePicture(QStringLiteral("p.bmp"), 300, 200, Qt::yellow);
        ASSERT_TRUE(QFile::copy(scratch.file(QStringLiteral("p.bmp")), other));
    }
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("p.bmp"))));
    ASSERT_TRUE(QFile::rename(other, dir.file(QStringLiteral("p.bmp"))));
    {
        QFile f(dir.file(QStringLiteral("p.bmp")));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(mtime, QFileDevice::FileModificationTime));
    }
    restart();
    EXPECT_TRUE(near(shown(2), Qt::yellow));
}

TEST_F(SharedThumbnailsTest, AFailureIsRememberedAndStillReported) {
    dir.write(QStringLiteral("bad.jpg"), QByteArray("\xFF\xD8\xFF not a photo", 16));
    const int first = ThumbnailStore::decodes();
    start();
    EXPECT_EQ(memo()->caption(), kCannotDisplay);
    ThumbnailStore::waitForWrites();
    EXPECT_TRUE(QFileInfo::exists(failEntry(QStringLiteral("bad.jpg"))));
    EXPECT_EQ(ThumbnailStore::decodes() - first, 1);
    const int second = ThumbnailStore::decodes();
    restart();
    EXPECT_EQ(memo()->caption(), kCannotDisplay);
    EXPECT_EQ(ThumbnailStore::decodes(), second) << "decoded again at the next start";
}

TEST_F(SharedThumbnailsTest, PicturesTheUserCannotReadLeaveNothing) {
    dir.writePicture(QStringLiteral("a.jpg"), 1600, 1200, Qt::red);
    const QByteArray path = QFile::encodeName(dir.file(QStringLiteral("a.jpg")));
    ASSERT_EQ(::chmod(path.constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
    ThumbnailStore::Result r;
    {
        Unprivileged nobody;
        if (!nobody.active())
            GTEST_SKIP() << "root cannot give up its rights here";
        r = ThumbnailStore::thumbnail(dir.file(QStringLiteral("a.jpg")), kCellBox);
    }
    ThumbnailStore::waitForWrites();
    ::chmod(path.constData(), 0644);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_FALSE(r.thumb);
    EXPECT_FALSE(QFileInfo::exists(thumbs())) << "nothing written, not even a failure";
}

// Two writers making the same entry over and over while a reader reads it: no entry or a
// whole one.
TEST_F(SharedThumbnailsTest, WritersRacingOnOneEntryNeverLeaveHalfAFile) {
    dir.writePicture(QStringLiteral("p.bmp"), 600, 400, Qt::red);
    const QString path = dir.file(QStringLiteral("p.bmp"));
    const QString file = entry(QStringLiteral("p.bmp"));
    std::atomic<bool> stop{false};
    std::atomic<int> reads{0}, torn{0};
    std::thread reader([&] {
        while (!stop) {
            QFile f(file);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QImage img = QImage::fromData(f.readAll(), "png");
            ++reads;
            if (img.size() != QSize(128, 85) ||
                img.text(QStringLiteral("Thumb::URI")).toLatin1() != uri(path))
                ++torn;
        }
    });
    auto writer = [&] {
        for (int k = 0; k < 40; ++k) {
            QFile::remove(file); // so the next call writes it again
            ThumbnailStore::thumbnail(path, kCellBox);
        }
    };
    std::thread w1(writer), w2(writer);
    w1.join();
    w2.join();
    ThumbnailStore::waitForWrites();
    stop = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0) << "of " << reads.load() << " reads";
    EXPECT_GT(reads.load(), 0);
    // Nothing but the entry itself (a temporary file left would show here).
    for (const QString& left : QDir(thumbs() + QStringLiteral("/normal")).entryList(QDir::Files))
        EXPECT_EQ(left, QFileInfo(file).fileName());
}

} // namespace
