// What the clipboard delivers is the picture the cell showed at the click, whatever another
// program does to the files while the pictures are being decoded: a model test with seeded
// random steps (clicks, page turns, reloads, deletes, renames, replacements that keep size and
// modification time), checked after each step against the files' contents at the click.
// Replay a failing run with TARVO_SEED=<seed>.
#include "organiser/browser/thumbnailcache.h"
#include "organiser/commands/fullpicture.h"
#include "platform/fileidentity.h"
#include "platform/pictures/pictureloader.h"
#include "support/organiserfixture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QDateTime>
#include <QFileInfo>
#include <cstring>
#include <map>

using namespace testing_support;
using namespace tarvo;

namespace {

QColor colourOf(int k) {
    return QColor::fromHsv((k * 47) % 360, 255, 255);
}

bool near(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 &&
           qAbs(a.blue() - b.blue()) < 24;
}

QColor centre(const QImage& img) {
    return img.isNull() ? QColor() : QColor(img.pixel(img.width() / 2, img.height() / 2));
}

// Writes over path a picture of another colour with the same size, then puts its
// modification time back exactly, as cp -p, rsync -t or unzip leave a copy. The time is first
// made a whole millisecond, which Qt sets exactly on every system.
void replaceKeepingTimes(const TestFolder& dir, const QString& name, int w, int h, QColor c) {
    const QString path = dir.file(name);
    const QDateTime modified =
        QDateTime::fromMSecsSinceEpoch(QFileInfo(path).lastModified().toMSecsSinceEpoch());
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    const std::optional<platform::FileIdentity> before = platform::identityOf(path);
    ASSERT_TRUE(before.has_value());
    // The file system's clock moves in ticks of a few milliseconds: the replacement comes in
    // a later tick than the original's last change, as any real one does.
    const QString probe = dir.file(QStringLiteral(".tick"));
    std::optional<platform::FileIdentity> p;
    do {
        QFile f(probe);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        p = platform::identityOf(probe);
        ASSERT_TRUE(p.has_value());
    } while (p->changedNs == before->changedNs);
    dir.writePicture(name, w, h, c);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    const std::optional<platform::FileIdentity> after = platform::identityOf(path);
    ASSERT_TRUE(after.has_value());
    ASSERT_EQ(after->size, before->size);
    ASSERT_EQ(after->modifiedNs, before->modifiedNs);
}

class ClipboardModelTest : public OrganiserTest {
protected:
    static constexpr int kFiles = 14, kW = 1200, kH = 900;
    // What each name holds on disk now: its colour index, absent when no file has it.
    std::map<QString, int> disk;
    int nextColour = kFiles;

    QString nameOf(int k) { return QStringLiteral("b%1.bmp").arg(k, 2, 10, QLatin1Char('0')); }
    void runSeed(quint32 seed);
};

void ClipboardModelTest::runSeed(quint32 seed) {
    SCOPED_TRACE(testing::Message() << "replay with TARVO_SEED=" << seed);
    QRandomGenerator rng(seed);
    for (int k = 0; k < kFiles; ++k) {
        dir.writePicture(nameOf(k), kW, kH, colourOf(k));
        disk[nameOf(k)] = k;
    }
    start();
    clip.keepPending = true;
    // The offer of the last click and the colour the file had at that click (none: the file
    // could not be read then, so nothing may be offered).
    size_t offers = 0;
    std::optional<int> expected;
    bool clicked = false;

    for (int step = 0; step < 60; ++step) {
        const int op = rng.bounded(10);
        std::vector<QString> names;
        for (const auto& [n, c] : disk)
            names.push_back(n);
        const QString victim = names.empty() ? QString() : names[rng.bounded(int(names.size()))];
        if (op <= 3) { // a click on a cell that shows a picture
            const int cell = rng.bounded(kCells);
            if (!view()->Image1(cell)->hasPicture())
                continue;
            const QString shownName = name(cell);
            auto it = disk.find(shownName);
            expected = it == disk.end() ? std::nullopt : std::optional<int>(it->second);
            const size_t before = clip.pending.size();
            clickPicture(cell);
            clicked = true;
            if (expected) {
                ASSERT_EQ(clip.pending.size(), before + 1) << "step " << step;
                offers = clip.pending.size();
            } else {
                EXPECT_EQ(clip.pending.size(), before) << "a gone file offered, step " << step;
                offers = 0;
            }
        } else if (op == 4 && !victim.isEmpty()) { // another program deletes
            ASSERT_TRUE(QFile::remove(dir.file(victim)));
            disk.erase(victim);
        } else if (op == 5 && !victim.isEmpty()) { // renames
            const QString to = QStringLiteral("r%1.bmp").arg(step, 2, 10, QLatin1Char('0'));
            ASSERT_TRUE(QFile::rename(dir.file(victim), dir.file(to)));
            disk[to] = disk[victim];
            disk.erase(victim);
        } else if (op == 6 && !victim.isEmpty()) { // replaces, keeping size and times
            const int c = nextColour++;
            replaceKeepingTimes(dir, victim, kW, kH, colourOf(c));
            disk[victim] = c;
        } else if (op == 7) { // the user turns the page
            QScrollBar* bar = view()->VScroll1();
            const int was = bar->value();
            bar->setValue(was == 0 ? 5 : 0);
            if (bar->value() == was)
                continue; // a single page: nothing was filled
        } else if (op == 8) {
            press("ResetBotton");
        } else {
            for (int k = rng.bounded(4); k > 0; --k)
                QCoreApplication::processEvents();
        }
        // Now and then the reader asks: it gets the clicked picture whatever happened since.
        if (clicked && offers > 0 && rng.bounded(3) == 0) {
            const std::optional<QImage> got = clip.pending[offers - 1]->wait();
            ASSERT_TRUE(got.has_value()) << "step " << step;
            EXPECT_EQ(got->size(), QSize(kW, kH));
            EXPECT_TRUE(near(centre(*got), colourOf(*expected))) << "step " << step;
        }
        // Every cell shows what its file held when the page was filled or checked again;
        // a cell filled after a replacement never shows the picture replaced.
        if (op == 7 || op == 8) {
            for (int i = 0; i < kCells; ++i) {
                auto it = disk.find(name(i));
                if (it != disk.end() && view()->Image1(i)->hasPicture()) {
                    EXPECT_TRUE(near(centre(view()->Image1(i)->picture()), colourOf(it->second)))
                        << name(i).toStdString() << " stale after step " << step << " op " << op;
                }
            }
        }
    }
    if (offers > 0) {
        const std::optional<QImage> got = clip.pending[offers - 1]->wait();
        ASSERT_TRUE(got.has_value());
        EXPECT_TRUE(near(centre(*got), colourOf(*expected)));
    }
}

} // namespace

TEST_F(ClipboardModelTest, ClipboardHoldsThePictureOfTheClickWhateverHappensToTheFiles) {
    // Under Wine a file removed while a worker still reads it stays readable by its name until
    // that read ends (Windows itself refuses it as delete pending), so the model's "gone" does
    // not hold there.
    if (QSysInfo::productType() == QLatin1String("windows"))
        GTEST_SKIP() << "a removed file that is still open stays readable under Wine";
    const QByteArray given = qgetenv("TARVO_SEED");
    const quint32 seed =
        given.isEmpty() ? QRandomGenerator::global()->generate() % 100000 : given.toUInt();
    std::printf("clipboard model seed %u\n", seed);
    runSeed(seed);
}

TEST_F(OrganiserTest, AClickTakesThePictureBeforeItsFileIsDeletedOrDamaged) {
    dir.writePicture(QStringLiteral("a.bmp"), 800, 600, Qt::blue);
    dir.writePicture(QStringLiteral("b.jpg"), 800, 600, Qt::green);
    start();
    clip.keepPending = true;
    QTest::mouseClick(view()->Image1(0), Qt::LeftButton);
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("a.bmp"))));
    ASSERT_EQ(clip.pending.size(), 1u);
    const std::optional<QImage> got = clip.pending[0]->wait();
    ASSERT_TRUE(got.has_value());
    EXPECT_TRUE(near(centre(*got), Qt::blue));

    // A file damaged after its page was shown: the offer that cannot be kept is withdrawn.
    dir.write(QStringLiteral("b.jpg"), QByteArray("\xFF\xD8\xFF\xE0 damaged", 13));
    QTest::mouseClick(view()->Image1(1), Qt::LeftButton);
    ASSERT_EQ(clip.pending.size(), 2u);
    EXPECT_FALSE(clip.pending[1]->wait().has_value());
    QElapsedTimer t;
    t.start();
    while (clip.withdrawn.empty() && t.elapsed() < 2000)
        QCoreApplication::processEvents();
    ASSERT_EQ(clip.withdrawn.size(), 1u);
    EXPECT_EQ(clip.withdrawn[0], clip.pending[1]);

    // Another program takes the clipboard: the organiser keeps no picture of its own.
    clip.pending.clear();
    clip.withdrawn.clear();
    EXPECT_EQ(org->fullPictures().currentOffer(), nullptr);
}

TEST(FileIdentity, AReplacedFileWithTheSameSizeAndTimesIsAnotherFile) {
    TestFolder dir;
    dir.writePicture(QStringLiteral("p.bmp"), 64, 48, Qt::red);
    replaceKeepingTimes(dir, QStringLiteral("p.bmp"), 64, 48, Qt::red); // times now whole ms
    const auto before = platform::identityOf(dir.file(QStringLiteral("p.bmp")));
    ASSERT_TRUE(before.has_value());
    replaceKeepingTimes(dir, QStringLiteral("p.bmp"), 64, 48, Qt::blue);
    const auto after = platform::identityOf(dir.file(QStringLiteral("p.bmp")));
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->size, before->size);
    EXPECT_EQ(after->modifiedNs, before->modifiedNs);
    EXPECT_NE(*after, *before);
    // The thumbnail cache serves the new picture, on the next look and after a reload.
    ThumbnailCache cache;
    const QStringList paths{dir.file(QStringLiteral("p.bmp"))};
    ASSERT_TRUE(cache.fetch(paths, QSizeF(1453, 1453))[0].has_value());
    replaceKeepingTimes(dir, QStringLiteral("p.bmp"), 64, 48, Qt::green);
    cache.recheck();
    EXPECT_FALSE(cache.contains(paths[0]));
    const auto thumb = cache.fetch(paths, QSizeF(1453, 1453))[0];
    ASSERT_TRUE(thumb.has_value());
    EXPECT_TRUE(near(centre(thumb->image), Qt::green));
    EXPECT_FALSE(platform::identityOf(dir.file(QStringLiteral("gone.bmp"))).has_value());

    // A bitmap too large to be read whole first is decoded from the open file.
    dir.writePicture(QStringLiteral("big.bmp"), 5000, 4600, Qt::blue);
    const auto big = cache.fetch({dir.file(QStringLiteral("big.bmp"))}, QSizeF(1453, 1453))[0];
    ASSERT_TRUE(big.has_value());
    EXPECT_TRUE(near(centre(big->image), Qt::blue));
}

// An icon with 48, 32 and 16 pixel entries, red, green and blue.
QByteArray threeEntryIcon() {
    QByteArray ico("\0\0\1\0\3\0", 6);
    const int sides[] = {48, 32, 16};
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    std::vector<QByteArray> pngs;
    for (int k = 0; k < 3; ++k) {
        QImage img(sides[k], sides[k], QImage::Format_ARGB32);
        img.fill(colours[k]);
        QByteArray png;
        QBuffer b(&png);
        b.open(QIODevice::WriteOnly);
        img.save(&b, "PNG");
        pngs.push_back(png);
    }
    quint32 offset = 6 + 16 * 3;
    for (int k = 0; k < 3; ++k) {
        char e[16] = {};
        e[0] = char(sides[k]);
        e[1] = char(sides[k]);
        e[4] = 1;
        e[6] = 32;
        const quint32 len = quint32(pngs[size_t(k)].size());
        std::memcpy(e + 8, &len, 4);
        std::memcpy(e + 12, &offset, 4);
        ico.append(e, 16);
        offset += len;
    }
    for (const QByteArray& p : pngs)
        ico.append(p);
    return ico;
}

TEST(IconEntry, TheEntryThatFitsTheBoxIsChosen) {
    const std::optional<QImage> icon = platform::loadIconEntryFromBytes(threeEntryIcon(), 32);
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(icon->size(), QSize(32, 32));
    EXPECT_TRUE(near(QColor(icon->pixel(31, 31)), Qt::green));
}

TEST_F(OrganiserTest, AnIconIsCopiedWholeAtTheStandardIconSize) {
    dir.write(QStringLiteral("sea.ico"), threeEntryIcon());
    start();
    clickPicture(0);
    ASSERT_TRUE(clip.image.has_value());
    const QImage& got = *clip.image;
    EXPECT_EQ(got.size(), view()->Picture1()->size());
    // The 32 pixel entry, whole: its corners are in, the box's background beyond them.
    EXPECT_TRUE(near(QColor(got.pixel(0, 0)), Qt::green));
    EXPECT_TRUE(near(QColor(got.pixel(31, 31)), Qt::green));
    ASSERT_GT(got.width(), 32);
    EXPECT_EQ(QColor(got.pixel(32, 32)), QColor(0xC0, 0xC0, 0xC0));
}
