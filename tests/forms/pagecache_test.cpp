// A page shown again comes from memory only while its files are unchanged, and the cache,
// decoding ahead on its threads, does not mix up names that change hands meanwhile.
#include "organiser/browser/thumbnailcache.h"
#include "support/organiserfixture.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

using namespace testing_support;
using namespace tarvo;

namespace {

QColor colourOf(int k) {
    return QColor::fromHsv((k * 37) % 360, 255, 255);
}

bool near(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 &&
           qAbs(a.blue() - b.blue()) < 24;
}

void setModified(const QString& path, const QDateTime& when) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

using PageCacheTest = OrganiserTest;

} // namespace

TEST_F(PageCacheTest, PageShownAgainIsRememberedUntilAPictureChangesOnDisk) {
    writePictures(12);
    dir.writePicture(QStringLiteral("p00.bmp"), 40, 30, Qt::red);
    start();
    const qint64 firstKey = view()->Image1(1)->picture().cacheKey();
    view()->VScroll1()->setValue(10);
    // The same size in bytes, saved a little later, as a photo edited in place.
    dir.writePicture(QStringLiteral("p00.bmp"), 40, 30, Qt::blue);
    setModified(dir.file(QStringLiteral("p00.bmp")), QDateTime::currentDateTime().addSecs(5));
    view()->VScroll1()->setValue(0);
    EXPECT_EQ(QColor(view()->Image1(0)->picture().pixel(20, 15)), QColor(Qt::blue));
    // The unchanged picture beside it was not decoded again.
    EXPECT_EQ(view()->Image1(1)->picture().cacheKey(), firstKey);
    // A picture gone behind the organiser's back takes the failure path, not the memory,
    // and keeps its size label.
    const QString size = label(2);
    QFile::remove(dir.file(QStringLiteral("p02.bmp")));
    view()->Dsp_Image(2);
    EXPECT_FALSE(view()->Image1(2)->hasPicture());
    EXPECT_EQ(label(2), size);
    EXPECT_EQ(memo()->caption(), QStringLiteral("このファイルは表示不可能なプロパティイです｡"));
}

// The cache alone does not mix up names that changed hands while being decoded ahead.
TEST(ThumbnailCache, HonoursRenamesDuringAndAfterDecodingAhead) {
    TestFolder dir;
    QStringList paths;
    for (int k = 0; k < 3; ++k) {
        const QString n = QStringLiteral("p%1.bmp").arg(k, 2, 10, QLatin1Char('0'));
        dir.writePicture(n, 300, 200, colourOf(k));
        paths << dir.file(n);
    }
    const QSizeF box(1453, 1453);
    // Two pictures of the same length and time trade names (through a third) while being
    // decoded ahead, the cache told of each rename.
    for (const QString& p : {paths[0], paths[1]})
        setModified(p, QDateTime::fromSecsSinceEpoch(1700000000));
    ThumbnailCache cache;
    cache.prefetch(paths.mid(0, 2), box, -1);
    QThread::msleep(300); // both decodes end; the event loop does not run
    const QString spare = dir.file(QStringLiteral("spare.bmp"));
    for (const auto& [from, to] :
         {std::pair{paths[0], spare}, std::pair{paths[1], paths[0]}, std::pair{spare, paths[1]}}) {
        ASSERT_TRUE(QFile::rename(from, to));
        cache.renamed(from, to);
    }
    cache.waitForPrefetch();
    const auto got = cache.fetch(paths.mid(0, 2), box);
    ASSERT_TRUE(got[0] && got[1]);
    EXPECT_TRUE(near(QColor(got[0]->image.pixel(40, 20)), colourOf(1)));
    EXPECT_TRUE(near(QColor(got[1]->image.pixel(40, 20)), colourOf(0)));
    // A rename onto a name drops what was kept for that name.
    ASSERT_TRUE(QFile::remove(paths[1]));
    // (Under Windows the name is free once a worker lets its finished job, and the file, go.)
    QElapsedTimer freed;
    freed.start();
    while (!QFile::rename(paths[2], paths[1]) && freed.elapsed() < 3000)
        QCoreApplication::processEvents();
    ASSERT_TRUE(QFile::exists(paths[1]) && !QFile::exists(paths[2]));
    cache.renamed(paths[2], paths[1]);
    EXPECT_FALSE(cache.contains(paths[1]));
}
