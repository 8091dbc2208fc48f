// Remembered and prefetched thumbnails: a page shown again comes from memory only while its
// files are unchanged, decoding ahead gives way to whatever the user does, and the clipboard's
// picture is made off the window's thread.
#include "organiser/browser/thumbnailcache.h"
#include "organiser/dialogs/setdir.h"
#include "platform/controls/folderlists.h"
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

class PageCacheTest : public OrganiserTest {
protected:
    QColor shown(int i) {
        const QImage& img = view()->Image1(i)->picture();
        return img.isNull() ? QColor() : QColor(img.pixel(img.width() / 2, img.height() / 2));
    }
    // n JPEG photos j00.jpg ... of w × h pixels, each its own colour.
    void writePhotos(int n, int w = 1600, int h = 1200) {
        for (int k = 0; k < n; ++k)
            dir.writePicture(QStringLiteral("j%1.jpg").arg(k, 2, 10, QLatin1Char('0')), w, h,
                             colourOf(k));
    }
    // Lets the window go idle until decoding ahead has started (or already ended).
    void untilPrefetching(int line = __builtin_LINE()) {
        const int before = view()->thumbnails().count();
        auto started = [&] {
            return view()->thumbnails().pending() > 0 || view()->thumbnails().count() > before;
        };
        QElapsedTimer t;
        t.start();
        while (!started() && t.elapsed() < 2000)
            QCoreApplication::processEvents();
        ASSERT_TRUE(started()) << "nothing was decoded ahead, line " << line;
    }
    // Every cell of the page starting at start shows the colour of its file.
    void expectPageShows(int start) {
        for (int i = 0; i < kCells; ++i) {
            const QString& n = m().fileName(start + i);
            if (n.isEmpty())
                continue;
            EXPECT_EQ(name(i), n);
            EXPECT_TRUE(near(shown(i), colourOf(n.mid(1, 2).toInt()))) << n.toStdString();
        }
    }
    void setModified(const QString& file, const QDateTime& when) {
        QFile f(dir.file(file));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
};

} // namespace

TEST_F(PageCacheTest, PageShownAgainIsRememberedUntilAPictureChangesOnDisk) {
    writePictures(12);
    dir.writePicture(QStringLiteral("p00.bmp"), 40, 30, Qt::red);
    start();
    const qint64 firstKey = view()->Image1(1)->picture().cacheKey();
    view()->VScroll1()->setValue(10);
    // The same size in bytes, saved a little later, as a photo edited in place.
    dir.writePicture(QStringLiteral("p00.bmp"), 40, 30, Qt::blue);
    setModified(QStringLiteral("p00.bmp"), QDateTime::currentDateTime().addSecs(5));
    view()->VScroll1()->setValue(0);
    EXPECT_EQ(QColor(view()->Image1(0)->picture().pixel(20, 15)), QColor(Qt::blue));
    // The unchanged picture beside it was not decoded again.
    EXPECT_EQ(view()->Image1(1)->picture().cacheKey(), firstKey);
    // A changed picture is decoded again also when its page is filled without leaving it.
    dir.writePicture(QStringLiteral("p01.bmp"), 8, 6, Qt::green);
    setModified(QStringLiteral("p01.bmp"), QDateTime::currentDateTime().addSecs(9));
    view()->FillPage(0);
    EXPECT_EQ(QColor(view()->Image1(1)->picture().pixel(4, 3)), QColor(Qt::green));
    // A picture gone behind the organiser's back takes the failure path, not the memory,
    // and keeps its size label.
    const QString size = label(2);
    QFile::remove(dir.file(QStringLiteral("p02.bmp")));
    view()->Dsp_Image(2);
    EXPECT_FALSE(view()->Image1(2)->hasPicture());
    EXPECT_EQ(label(2), size);
    EXPECT_EQ(memo()->caption(), QStringLiteral("このファイルは表示不可能なプロパティイです｡"));
}

TEST_F(PageCacheTest, DecodingAheadGivesWayToAClickAPageChangeAReloadAndAFolderChange) {
    writePhotos(70, 1200, 900);
    start();

    untilPrefetching();
    clickPicture(3);
    EXPECT_EQ(m().CurCell, 3);
    ASSERT_TRUE(clip.image.has_value());
    EXPECT_EQ(clip.image->size(), QSize(1200, 900));
    EXPECT_TRUE(near(QColor(clip.image->pixel(600, 450)), colourOf(3)));

    untilPrefetching();
    view()->VScroll1()->setValue(30); // far from the pages being decoded ahead
    expectPageShows(30);

    untilPrefetching();
    view()->VScroll1()->setValue(20); // the page being decoded ahead
    expectPageShows(20);

    // Beside a page never shown, so that something is being decoded ahead.
    view()->VScroll1()->setValue(40);
    untilPrefetching();
    dir.writePicture(QStringLiteral("j25.jpg"), 1200, 900, colourOf(33));
    setModified(QStringLiteral("j25.jpg"), QDateTime::currentDateTime().addSecs(5));
    press("ResetBotton");
    expectPageShows(0);
    view()->VScroll1()->setValue(20);
    EXPECT_TRUE(near(shown(5), colourOf(33)));

    view()->VScroll1()->setValue(50); // beside a page never shown
    untilPrefetching();
    TestFolder other;
    other.writePicture(QStringLiteral("j07.jpg"), 64, 48, colourOf(7));
    org->setDir()->File1()->setPath(other.path());
    m().ImageDir = other.path();
    LoadFileList(*org);
    EXPECT_EQ(name(0), QStringLiteral("j07.jpg"));
    EXPECT_TRUE(near(shown(0), colourOf(7)));
    EXPECT_TRUE(name(1).isEmpty());
    view()->thumbnails().waitForPrefetch();
}

TEST_F(PageCacheTest, ClipboardGetsTheLastClickedPicture) {
    writePhotos(3, 1200, 900);
    start();
    clip.keepPending = true;
    clickPicture(0);
    clickPicture(1);
    ASSERT_EQ(clip.pending.size(), 2u);
    // The first click's picture is given up: a reader still holding its offer gets nothing.
    EXPECT_FALSE(clip.pending[0]->wait().has_value());
    const std::optional<QImage> second = clip.pending[1]->wait();
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->size(), QSize(1200, 900));
    EXPECT_TRUE(near(QColor(second->pixel(600, 450)), colourOf(1)));
    EXPECT_EQ(m().CurFileName, QStringLiteral("j01.jpg"));
}

// The cache alone: it keeps its bound, takes in decodes made ahead once the event loop has
// run, and does not mix up names that changed hands while being decoded ahead.
TEST(ThumbnailCache, KeepsItsBoundTakesFinishedDecodesAndHonoursRenames) {
    TestFolder dir;
    QStringList paths;
    for (int k = 0; k < 20; ++k) {
        const QString n = QStringLiteral("p%1.bmp").arg(k, 2, 10, QLatin1Char('0'));
        dir.writePicture(n, 300, 200, colourOf(k));
        paths << dir.file(n);
    }
    const QSizeF box(1453, 1453);
    {
        ThumbnailCache probe;
        ASSERT_TRUE(probe.fetch({paths[0]}, box)[0].has_value());
        const qint64 bound = 5 * probe.bytes() + 100; // room for five
        ThumbnailCache cache(bound);
        ASSERT_TRUE(cache.fetch(paths.mid(0, 10), box)[9].has_value());
        cache.prefetch(paths.mid(10), box, -1);
        cache.waitForPrefetch();
        EXPECT_LE(cache.bytes(), bound);
        EXPECT_EQ(cache.count(), 5);
        const auto again = cache.fetch({paths[0]}, box); // fell out: decoded again
        ASSERT_TRUE(again[0].has_value());
        EXPECT_TRUE(near(QColor(again[0]->image.pixel(40, 20)), colourOf(0)));
    }
    {
        ThumbnailCache cache;
        cache.prefetch(paths, box, -1);
        QElapsedTimer t;
        t.start();
        while (cache.pending() > 0 && t.elapsed() < 5000)
            QCoreApplication::processEvents();
        EXPECT_EQ(cache.pending(), 0) << "decodes that ended were not taken into the cache";
        EXPECT_EQ(cache.count(), 20);
    }
    // Two pictures of the same length and time trade names (through a third) while being
    // decoded ahead, the cache told of each rename.
    const QDateTime when = QDateTime::currentDateTime().addSecs(-60);
    for (const QString& p : {paths[0], paths[1]}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
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
    // On Windows a removed name is free once the last handle on the file is closed, which a
    // worker does as its finished job is let go.
    QElapsedTimer freed;
    freed.start();
    while (!QFile::rename(paths[2], paths[1]) && freed.elapsed() < 3000)
        QCoreApplication::processEvents();
    ASSERT_TRUE(QFile::exists(paths[1]) && !QFile::exists(paths[2]));
    cache.renamed(paths[2], paths[1]);
    EXPECT_FALSE(cache.contains(paths[1]));
}
