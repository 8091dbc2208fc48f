// The real Mirok101 on an X display: started in a temporary folder, its Run button clicked as
// a person would, and pictures and texts put on the clipboard by other processes.

#include "support/testfolder.h"

#include "e2esupport.h"
#include <QFile>
#include <QImage>
#include <QProcess>
#include <csignal>

#include <gtest/gtest.h>
#include <memory>

namespace {

using e2e::eventually;
using e2e::kBin;
using e2e::xclick;

const QString kCaption = QStringLiteral("Mirok101");

QImage picture(QColor c, int w = 90, int h = 60) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((c.red() + x) % 256, (c.green() + y) % 256, c.blue()));
    return img;
}

class CaptureE2E : public ::testing::Test {
protected:
    testing_support::TestFolder dir;   // where Mirok101 runs and saves
    testing_support::TestFolder input; // pictures handed to clipput
    e2e::Program saver;
    std::vector<std::unique_ptr<QProcess>> owners;
    int puts = 0;

    void SetUp() override { ASSERT_TRUE(saver.start(kCaption, dir.path(), kCaption)); }
    void TearDown() override {
        for (auto& p : owners) {
            ::kill(pid_t(p->processId()), SIGCONT);
            p->kill();
            p->waitForFinished(3000);
        }
    }

    // Run starts saving and minimises the window.
    void run() {
        ASSERT_TRUE(e2e::clickIn(kCaption, 213, 2640, 2520, 735, 495));
        ASSERT_TRUE(eventually([] {
            return xclick({QStringLiteral("state"), kCaption}) == QStringLiteral("iconic");
        })) << "Run did not minimise the window";
    }

    // Another process takes the clipboard with these arguments; returns once it owns it.
    QProcess* put(const QStringList& args) {
        auto p = std::make_unique<QProcess>();
        p->start(kBin + QStringLiteral("/clipput"), args);
        EXPECT_TRUE(p->waitForStarted());
        EXPECT_TRUE(
            eventually([&] { return p->canReadLine() || p->state() == QProcess::NotRunning; }));
        EXPECT_EQ(p->readLine().trimmed(), QByteArray("ready"));
        owners.push_back(std::move(p));
        return owners.back().get();
    }
    QProcess* putPicture(const QImage& img, const QStringList& extra = {}) {
        const QString file = input.file(QStringLiteral("in%1.png").arg(++puts));
        img.save(file);
        return put(QStringList{QStringLiteral("--image"), file} + extra);
    }
    QImage saved(const QString& name) {
        return QImage(dir.file(name)).convertToFormat(QImage::Format_RGB32);
    }

    // Runs a burst from another process until it is done and the saver has stopped writing.
    void burst(const QString& refs, int count, int rate, const QStringList& extra = {}) {
        QProcess* p = put(QStringList{QStringLiteral("--burst"), refs, QString::number(count),
                                      QString::number(rate)} +
                          extra);
        QByteArray out;
        ASSERT_TRUE(eventually(
            [&] {
                out += p->readAllStandardOutput();
                return out.contains("done");
            },
            15000));
        e2e::settledNames(dir);
    }
    QImage reference(const testing_support::TestFolder& refs, int i) {
        return QImage(refs.file(QStringLiteral("burst%1.png").arg(i, 2, 10, QLatin1Char('0'))))
            .convertToFormat(QImage::Format_RGB32);
    }

    // Runs a burst of count distinct pictures at rate per second and checks what was saved:
    // files numbered from 01 without a gap, each a burst picture later than the one before
    // (none twice, in the order they were put), the last one among them; every picture when
    // whole.
    void checkBurst(int count, int rate, bool whole, const QStringList& extra = {}) {
        run();
        testing_support::TestFolder refs;
        ASSERT_NO_FATAL_FAILURE(burst(refs.path(), count, rate, extra));
        const QStringList names = dir.names();
        if (whole) {
            EXPECT_EQ(names.size(), count) << qPrintable(names.join(QLatin1Char(' ')));
        }
        ASSERT_LE(names.size(), count);
        int previous = 0;
        for (int n = 1; n <= names.size(); ++n) {
            const QString name = QStringLiteral("SAVE%1.bmp").arg(n, 2, 10, QLatin1Char('0'));
            ASSERT_TRUE(names.contains(name)) << name.toStdString();
            const QImage got = saved(name);
            int which = 0;
            for (int i = 1; i <= count && !which; ++i)
                if (got == reference(refs, i))
                    which = i;
            ASSERT_GT(which, previous) << name.toStdString() << " holds picture " << which;
            previous = which;
        }
        EXPECT_EQ(previous, count) << "the last picture of the burst is saved";
    }
};

// The picture on the clipboard before Run and a text in between give no file: the files
// are numbered without a gap. Closing the window ends the program normally.
TEST_F(CaptureE2E, SavesEveryLaterBitmapIgnoresTextAndEndsWhenClosed) {
    putPicture(picture(Qt::red));
    run();
    putPicture(picture(Qt::green));
    ASSERT_TRUE(eventually([&] { return dir.exists(QStringLiteral("SAVE01.bmp")); }));
    EXPECT_EQ(saved(QStringLiteral("SAVE01.bmp")), picture(Qt::green));

    put({QStringLiteral("--text"), QStringLiteral("only words")});
    putPicture(picture(Qt::blue, 33, 17));
    ASSERT_TRUE(eventually([&] { return dir.exists(QStringLiteral("SAVE02.bmp")); }));
    EXPECT_EQ(saved(QStringLiteral("SAVE02.bmp")), picture(Qt::blue, 33, 17));
    EXPECT_EQ(dir.names(),
              (QStringList{QStringLiteral("SAVE01.bmp"), QStringLiteral("SAVE02.bmp")}));

    xclick({QStringLiteral("close"), kCaption});
    ASSERT_TRUE(saver.process.waitForFinished(5000));
    EXPECT_EQ(saver.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(saver.process.exitCode(), 0);
}

TEST_F(CaptureE2E, BurstOfTwentyAtFivePerSecondIsSavedWhole) {
    checkBurst(20, 5, true);
}
TEST_F(CaptureE2E, FastBurstSavesWhatItReadsOnceEachInOrder) {
    checkBurst(20, 40, false);
}
TEST_F(CaptureE2E, EmptyingBeforeEachPictureGivesOneFilePerPicture) {
    checkBurst(5, 3, true, {QStringLiteral("--clear")});
}
TEST_F(CaptureE2E, AFastBurstOfDistinctBitmapsGivesNoDuplicateFile) {
    checkBurst(20, 28, false, {QStringLiteral("--clear")});
}

TEST_F(CaptureE2E, AHungClipboardOwnerDoesNotHoldTheSaverUp) {
    run();
    putPicture(picture(Qt::red), {QStringLiteral("--stall")});
    putPicture(picture(Qt::green));
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(eventually([&] { return dir.exists(QStringLiteral("SAVE01.bmp")); }, 8000));
    // Qt alone waits 5 s for an owner that does not answer; the saver gives up far sooner.
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_EQ(saved(QStringLiteral("SAVE01.bmp")), picture(Qt::green));
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE01.bmp")});
}

} // namespace
