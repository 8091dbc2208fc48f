// Thumbnails kept between runs in the desktop's shared cache (a folder of the test's own): what
// is written, believed at the next start, failures remembered.
#include "organiser/browser/thumbnailstore.h"
#include "support/organiserfixture.h"
#include "tarvo_version.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QUrl>

using namespace testing_support;
using namespace tarvo;

namespace {

const QString kCannotDisplay = QStringLiteral("このファイルは表示不可能なプロパティイです｡");

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
};

TEST_F(SharedThumbnailsTest, WritesTheStandardEntryWithItsKeysAndPrivateModesAndAFailureOnce) {
    dir.writePicture(QStringLiteral("a.jpg"), 1600, 1200, Qt::red);
    dir.write(QStringLiteral("bad.jpg"), QByteArray("\xFF\xD8\xFF not a photo", 16));
    const int first = ThumbnailStore::decodes();
    start();
    EXPECT_EQ(memo()->caption(), kCannotDisplay);
    ThumbnailStore::waitForWrites();
    const QString file = entry(QStringLiteral("a.jpg"));
    const QImage img = QImageReader(file).read();
    const QFileInfo fi(dir.file(QStringLiteral("a.jpg")));
    EXPECT_EQ(img.size(), QSize(128, 96));
    EXPECT_TRUE(img.hasAlphaChannel());
    EXPECT_TRUE(near(img.pixelColor(64, 48), Qt::red));
    EXPECT_EQ(img.text(QStringLiteral("Thumb::URI")).toLatin1(), uri(fi.filePath()));
    EXPECT_EQ(img.text(QStringLiteral("Thumb::MTime")).toLongLong(),
              fi.lastModified().toSecsSinceEpoch());
    EXPECT_EQ(img.text(QStringLiteral("Thumb::Size")).toLongLong(), fi.size());
    EXPECT_EQ(img.text(QStringLiteral("Thumb::Image::Width")), QStringLiteral("1600"));
    EXPECT_EQ(img.text(QStringLiteral("Thumb::Image::Height")), QStringLiteral("1200"));
    EXPECT_EQ(QFile::permissions(file) & kOthers, QFileDevice::Permissions());
    for (const QString& folder : {thumbs(), thumbs() + QStringLiteral("/normal")})
        EXPECT_EQ(QFile::permissions(folder) & kOthers, QFileDevice::Permissions())
            << folder.toStdString();
    EXPECT_EQ(QDir(thumbs() + QStringLiteral("/normal")).entryList(QDir::Files).size(), 1)
        << "no temporary file left";
    // The failure is remembered: the next start decodes neither again, and still tells.
    EXPECT_TRUE(QFileInfo::exists(
        entry(QStringLiteral("bad.jpg"), QStringLiteral("fail/tarvo104-" TARVO_VERSION_STRING))));
    EXPECT_EQ(ThumbnailStore::decodes() - first, 2);
    org.reset();
    cwd.reset();
    start();
    EXPECT_EQ(memo()->caption(), kCannotDisplay);
    EXPECT_EQ(ThumbnailStore::decodes() - first, 2) << "decoded again at the next start";
}

} // namespace
