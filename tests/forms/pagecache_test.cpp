// Remembered and prefetched thumbnails: a page shown again comes from memory only while its
// files are unchanged, a damaged picture is reported on every visit, decoding ahead gives way
// to whatever the user does, and the clipboard's picture is made off the window's thread.
#include "organiser/browser/thumbnailcache.h"
#include "organiser/dialogs/setdir.h"
#include "platform/controls/folderlists.h"
#include "platform/pathrules.h"
#include "support/organiserfixture.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

using namespace testing_support;
using namespace tarvo;
using platform::nativePath;

namespace {

const QString kCannotDisplay = QStringLiteral("このファイルは表示不可能なプロパティイです｡");
const QString kNotCopied = QStringLiteral("（画像をクリップボードにコピーできませんでした）");

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
    // Lets the window go idle and waits for what it decodes ahead.
    void settle() {
        for (int k = 0; k < 5; ++k)
            QCoreApplication::processEvents();
        view()->thumbnails().waitForPrefetch();
    }
    // Lets the window go idle until decoding ahead has started, or for pictures small enough
    // to be decoded between two looks, has already put thumbnails in the cache.
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
    QDateTime modified(const QString& file) { return QFileInfo(dir.file(file)).lastModified(); }
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
}

TEST_F(PageCacheTest, RenamedOrDeletedPictureIsNotServedFromTheCache) {
    dir.writePicture(QStringLiteral("a.bmp"), 40, 30, Qt::red);
    dir.writePicture(QStringLiteral("b.bmp"), 40, 30, Qt::red);
    dir.writePicture(QStringLiteral("c.bmp"), 40, 30, Qt::red);
    start();
    const QDateTime aTime = modified(QStringLiteral("a.bmp"));
    const QDateTime bTime = modified(QStringLiteral("b.bmp"));

    // Renamed by the organiser, then another picture of the same size and time takes the old
    // name: the old name shows the new picture, the new name the renamed one.
    clickPicture(0);
    typeName(0, QStringLiteral("z"));
    clickPicture(1);
    ASSERT_TRUE(dir.exists(QStringLiteral("z.bmp")));
    dir.writePicture(QStringLiteral("a.bmp"), 40, 30, Qt::blue);
    setModified(QStringLiteral("a.bmp"), aTime);

    // Deleted by the organiser, and put back with other pixels but the same size and time.
    clickPicture(1);
    press("DelFcommand");
    ASSERT_FALSE(dir.exists(QStringLiteral("b.bmp")));
    dir.writePicture(QStringLiteral("b.bmp"), 40, 30, Qt::green);
    setModified(QStringLiteral("b.bmp"), bTime);

    press("ResetBotton");
    ASSERT_EQ(name(0), QStringLiteral("a.bmp"));
    ASSERT_EQ(name(1), QStringLiteral("b.bmp"));
    ASSERT_EQ(name(3), QStringLiteral("z.bmp"));
    EXPECT_EQ(QColor(view()->Image1(0)->picture().pixel(20, 15)), QColor(Qt::blue));
    EXPECT_EQ(QColor(view()->Image1(1)->picture().pixel(20, 15)), QColor(Qt::green));
    EXPECT_EQ(QColor(view()->Image1(3)->picture().pixel(20, 15)), QColor(Qt::red));

    // A picture gone behind the organiser's back takes the failure path, not the memory.
    QFile::remove(dir.file(QStringLiteral("c.bmp")));
    view()->Dsp_Image(2);
    EXPECT_FALSE(view()->Image1(2)->hasPicture());
    EXPECT_EQ(memo()->caption(), kCannotDisplay);
}

TEST_F(PageCacheTest, DamagedPictureSetsTheCaptionOnEveryVisitOfItsPage) {
    writePhotos(12, 200, 150);
    dir.write(QStringLiteral("j10.jpg"), QByteArray("\xFF\xD8\xFF\xE0 damaged", 13));
    start();
    // Its page was decoded ahead; the failure still shows when the page is shown.
    settle();
    for (int visit = 0; visit < 3; ++visit) {
        memo()->setCaption(QStringLiteral("sea.TXT"));
        view()->VScroll1()->setValue(2);
        EXPECT_EQ(memo()->caption(), kCannotDisplay) << "visit " << visit;
        EXPECT_EQ(name(8), QStringLiteral("j10.jpg"));
        EXPECT_FALSE(view()->Image1(8)->hasPicture());
        EXPECT_EQ(label(8), QStringLiteral("0.KB"));
        EXPECT_TRUE(view()->Image1(7)->hasPicture());
        view()->VScroll1()->setValue(0);
        settle();
    }
}

TEST_F(PageCacheTest, NextThenPreviousPageAreDecodedAheadOnceTheWindowIsIdle) {
    writePhotos(30, 400, 300);
    start();
    settle();
    EXPECT_TRUE(view()->thumbnails().contains(nativePath(dir.file(QStringLiteral("j19.jpg")))));
    EXPECT_FALSE(view()->thumbnails().contains(nativePath(dir.file(QStringLiteral("j20.jpg")))));
    view()->VScroll1()->setValue(15);
    expectPageShows(15);
    settle();
    // Forward a page, back a page: the page ahead ends at the last page of the folder.
    EXPECT_TRUE(view()->thumbnails().contains(nativePath(dir.file(QStringLiteral("j29.jpg")))));
    EXPECT_TRUE(view()->thumbnails().contains(nativePath(dir.file(QStringLiteral("j05.jpg")))));
    view()->VScroll1()->setValue(20);
    expectPageShows(20);
    view()->VScroll1()->setValue(5);
    expectPageShows(5);
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

    // Beside a page never shown, so that something is decoded ahead when the reload comes.
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

TEST_F(PageCacheTest, ClipboardGetsTheLastClickedPictureAndALateFailureIsTold) {
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

    // The file was damaged after its thumbnail was made: the worker finds out, and the memo
    // window's caption says the picture did not reach the clipboard.
    dir.write(QStringLiteral("j02.jpg"), QByteArray("\xFF\xD8\xFF\xE0 damaged", 13));
    clickPicture(2);
    ASSERT_EQ(clip.pending.size(), 3u);
    EXPECT_FALSE(clip.pending[2]->wait().has_value());
    QElapsedTimer t;
    t.start();
    while (!memo()->caption().endsWith(kNotCopied) && t.elapsed() < 2000)
        QCoreApplication::processEvents();
    EXPECT_TRUE(memo()->caption().endsWith(kNotCopied)) << memo()->caption().toStdString();
}

TEST(ThumbnailCacheBound, HoldsNoMoreThanItsBound) {
    TestFolder dir;
    QStringList paths;
    for (int k = 0; k < 30; ++k) {
        const QString n = QStringLiteral("p%1.bmp").arg(k, 2, 10, QLatin1Char('0'));
        dir.writePicture(n, 100, 100, colourOf(k));
        paths << dir.file(n);
    }
    // Each thumbnail here is 97 × 97 pixels of 4 bytes: room for five.
    const qint64 bound = 5 * 97 * 97 * 4 + 100;
    ThumbnailCache cache(bound);
    const auto first = cache.fetch(paths.mid(0, 10), QSizeF(1453, 1453));
    ASSERT_TRUE(first[9].has_value());
    cache.prefetch(paths.mid(10), QSizeF(1453, 1453), -1);
    cache.waitForPrefetch();
    EXPECT_LE(cache.bytes(), bound);
    EXPECT_EQ(cache.count(), 5);
    // What fell out is decoded again when asked for, with its own pixels.
    const auto again = cache.fetch({paths[0]}, QSizeF(1453, 1453));
    ASSERT_TRUE(again[0].has_value());
    EXPECT_TRUE(near(QColor(again[0]->image.pixel(40, 40)), colourOf(0)));
}

// Decodes made ahead reach the cache once the event loop has run, without anyone waiting
// for them; and names that changed hands while being decoded ahead are not mixed up.
TEST(ThumbnailCacheAhead, FinishedDecodesAreKeptAndRenamesDuringThemAreHonoured) {
    TestFolder dir;
    QStringList paths;
    for (int k = 0; k < 20; ++k) {
        const QString n = QStringLiteral("p%1.bmp").arg(k, 2, 10, QLatin1Char('0'));
        dir.writePicture(n, 300, 200, colourOf(k));
        paths << dir.file(n);
    }
    const QSizeF box(1453, 1453);
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

    // Two pictures of the same length and time trade names (through a third) while they are
    // being decoded ahead, the organiser telling the cache of each rename.
    const QDateTime when = QDateTime::currentDateTime().addSecs(-60);
    for (const QString& p : {paths[0], paths[1]}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    ThumbnailCache cache;
    cache.prefetch(paths.mid(0, 2), box, -1);
    QThread::msleep(300); // long enough for both decodes to end; the event loop does not run
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
}
