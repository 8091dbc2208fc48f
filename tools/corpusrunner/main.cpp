// Runs the picture loader over a corpus of real picture files sorted into good,
// questionable and bad (INDEX.tsv beside them), each file in a child process of its own
// with a time and memory limit, through the header, the thumbnail and the full-picture
// path, under its own name and copied under the other names of the file mask.
//
//   corpus_runner [--jobs N] [--timeout S] [--memory-mb M] [--huge-mb H] [--only TEXT]
//                 [--verbose] CORPUS_FOLDER
//
// Prints one line per class and every problem; exits with 1 on a crash, a hang, a huge
// allocation, or a good file that does not display as its reference shows it.
#include "childlimits.h"
#include "corpuscompare.h"
#include "platform/pictures/pictureloader.h"
#include "platform/pictures/wmf/wmf.h"
#include "platform/twips.h"

#include <QColorSpace>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>

#if defined(__SANITIZE_ADDRESS__)
#define CORPUS_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORPUS_UNDER_ASAN 1
#endif
#endif

namespace {

const QSizeF kCellBox(1453, 1453);

void out(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// ---- The child: one file, every name, every path --------------------------------------

// The names of the file mask a file of this kind is likely to carry, and ".WMF", the one
// extension the loader itself looks at.
QStringList extensionsFor(const QString& kind) {
    if (kind == QLatin1String("bmp") || kind == QLatin1String("dib"))
        return {QStringLiteral(".BMP"), QStringLiteral(".DIB"), QStringLiteral(".RLE"),
                QStringLiteral(".WMF")};
    if (kind == QLatin1String("jpeg"))
        return {QStringLiteral(".JPG"), QStringLiteral(".jpeg"), QStringLiteral(".WMF")};
    if (kind == QLatin1String("gif"))
        return {QStringLiteral(".gif"), QStringLiteral(".WMF")};
    if (kind == QLatin1String("ico"))
        return {QStringLiteral(".ICO"), QStringLiteral(".WMF")};
    return {QStringLiteral(".WMF"), QStringLiteral(".BMP")};
}

corpus::Tolerance toleranceFor(const QString& kind) {
    if (kind == QLatin1String("jpeg"))
        return corpus::Tolerance::Jpeg;
    if (kind == QLatin1String("wmf"))
        return corpus::Tolerance::Metafile;
    return corpus::Tolerance::Lossless;
}

QImage fitWithin(const QImage& img, int side) {
    if (img.width() <= side && img.height() <= side)
        return img;
    return img.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

struct Verdict {
    bool matches = false;
    QString detail;
};

// Compares the full picture (and the thumbnail) of one name with the references; the
// best-matching reference counts.
Verdict compareWithReferences(const QString& path, const QString& kind, const QImage& full,
                              const QImage& thumb, const QStringList& refs) {
    Verdict best;
    best.detail = QStringLiteral("no reference readable");
    for (const QString& refPath : refs) {
        QImage ref(refPath);
        if (ref.isNull())
            continue;
        const corpus::Tolerance tolerance = toleranceFor(kind);
        corpus::Difference d;
        QImage ours = full;
        if (kind == QLatin1String("wmf")) {
            // Another renderer drew the reference at a resolution of its choosing: draw ours
            // at the reference's size if the proportions agree, and compare both reduced.
            const double ourAspect = double(full.width()) / full.height();
            const double refAspect = double(ref.width()) / ref.height();
            if (std::abs(ourAspect / refAspect - 1) > 0.04) {
                if (best.detail.startsWith(QLatin1String("no reference")))
                    best.detail = QStringLiteral("proportions %1x%2, reference %3x%4")
                                      .arg(full.width())
                                      .arg(full.height())
                                      .arg(ref.width())
                                      .arg(ref.height());
                continue;
            }
            QFile f(path);
            if (f.open(QIODevice::ReadOnly)) {
                if (auto drawn = platform::wmf::render(f.readAll(), ref.size()))
                    ours = *drawn;
            }
            d = corpus::compare(fitWithin(ours, 200),
                                fitWithin(ref, 200).scaled(fitWithin(ours, 200).size(),
                                                           Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation),
                                tolerance);
        } else {
            d = corpus::compare(ours, ref, tolerance);
        }
        QString detail = QStringLiteral("full: %1").arg(corpus::describe(d));
        bool ok = corpus::acceptable(d, tolerance);
        if (!d.sameSize)
            detail = QStringLiteral("full %1x%2, reference %3x%4")
                         .arg(full.width())
                         .arg(full.height())
                         .arg(ref.width())
                         .arg(ref.height());
        if (ok && !thumb.isNull() && kind != QLatin1String("wmf")) {
            const QImage small =
                ref.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                    .scaled(thumb.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const corpus::Difference t =
                corpus::compare(thumb, small, corpus::Tolerance::Thumbnail);
            if (!corpus::acceptable(t, corpus::Tolerance::Thumbnail)) {
                ok = false;
                detail = QStringLiteral("thumbnail: %1").arg(corpus::describe(t));
            }
        }
        if (ok)
            return {true, detail + QStringLiteral(" (%1)").arg(QFileInfo(refPath).fileName())};
        if (!best.matches)
            best.detail = detail;
    }
    return best;
}

QString reasonOf(const platform::Result& why) {
    QString r = why.reason;
    r.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return r.isEmpty() ? QStringLiteral("(no reason given)") : r;
}

QImage withoutColourSpace(QImage image) {
    image.setColorSpace(QColorSpace());
    return image;
}

// One "V" line for the picture written in a lossless kind and read back; nothing written where
// Qt has no writer for the kind. Compared as 32-bit colour, so the writer's choice of depth
// does not count.
QString transcodedVariant(const QImage& shown, const char* format, const QTemporaryDir& tmp) {
    // Written as 32-bit colour without a colour space: a writer may store a two-colour
    // picture as black and white, and a colour profile is no pixel.
    const QImage picture = withoutColourSpace(shown.convertToFormat(QImage::Format_ARGB32));
    const QString ext = QString::fromLatin1(format);
    if (!QImageWriter::supportedImageFormats().contains(format) ||
        !QImageReader::supportedImageFormats().contains(format))
        return QStringLiteral("V\t%1\t1\t1\t1\tnoref\tno writer").arg(ext);
    const QString name = tmp.filePath(QStringLiteral("transcoded.") + ext);
    QImageWriter writer(name, format);
    writer.setQuality(100); // lossless WebP
    if (!writer.write(picture))
        return QStringLiteral("V\t%1\t1\t1\t1\tnoref\twriter refused: %2")
            .arg(ext, writer.errorString());
    platform::Result why;
    const auto back = platform::loadFullPicture(name, nullptr, &why);
    const auto thumb = platform::loadThumbnail(name, kCellBox);
    QString verdict = QStringLiteral("match"), detail;
    // Premultiplied: a lossless WebP may change the colour of fully transparent pixels.
    const QImage::Format argb = QImage::Format_ARGB32_Premultiplied;
    if (!back || !thumb) {
        verdict = QStringLiteral("mismatch");
        detail = back ? QStringLiteral("no thumbnail") : reasonOf(why);
    } else if (withoutColourSpace(back->convertToFormat(argb)) != picture.convertToFormat(argb)) {
        verdict = QStringLiteral("mismatch");
        detail = QStringLiteral("read back different");
    }
    return QStringLiteral("V\t%1\t%2\t%3\t%4\t%5\t%6")
        .arg(ext)
        .arg(back ? 1 : 0)
        .arg(thumb ? 1 : 0)
        .arg(back ? 1 : 0)
        .arg(verdict, detail);
}

// Child: prints one "V" line per name and an "END" line with the peak memory.
int runChild(const QStringList& args) {
    // path kind class stated-size refs...
    const QString path = args.value(0);
    const QString kind = args.value(1);
    const QString cls = args.value(2);
    // One size, or for an icon the sizes of all its entries (any of them may be shown).
    const std::vector<QSize> stated = [&] {
        std::vector<QSize> sizes;
        for (const QString& one : args.value(3).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QStringList wh = one.split(QLatin1Char('x'));
            if (wh.size() == 2)
                sizes.emplace_back(wh[0].toInt(), wh[1].toInt());
        }
        return sizes;
    }();
    auto statedText = [&stated] {
        QStringList t;
        for (const QSize& z : stated)
            t << QStringLiteral("%1x%2").arg(z.width()).arg(z.height());
        return t.join(QLatin1String(" or "));
    };
    const QStringList refs = args.mid(4);

    QTemporaryDir tmp;
    QStringList names{path};
    for (const QString& ext : extensionsFor(kind)) {
        const QString copy = tmp.filePath(QStringLiteral("picture") + ext);
        if (QFile::copy(path, copy))
            names << copy;
    }
    for (const QString& name : names) {
        platform::Result whyHeader, whyThumb, whyFull;
        const auto header = platform::readPictureHeader(name, &whyHeader);
        const auto thumb = platform::loadThumbnail(name, kCellBox, &whyThumb);
        platform::PictureHeader fullHeader;
        const auto full = platform::loadFullPicture(name, &fullHeader, &whyFull);
        QString verdict = QStringLiteral("-");
        QString detail;
        if (!header || !thumb || !full) {
            detail = !full    ? reasonOf(whyFull)
                     : !thumb ? QStringLiteral("thumbnail: ") + reasonOf(whyThumb)
                              : QStringLiteral("header: ") + reasonOf(whyHeader);
        } else if (full->isNull() || thumb->image.isNull()) {
            verdict = QStringLiteral("mismatch");
            detail = QStringLiteral("a null picture reported as success");
        } else if (!stated.empty() &&
                   std::find(stated.begin(), stated.end(), full->size()) == stated.end()) {
            verdict = QStringLiteral("mismatch");
            detail = QStringLiteral("size %1x%2, stated %3")
                         .arg(full->width())
                         .arg(full->height())
                         .arg(statedText());
        } else if (header->pixels != fullHeader.pixels || header->pixels != thumb->header.pixels) {
            verdict = QStringLiteral("mismatch");
            detail = QStringLiteral("header size differs between the paths");
        } else if (!refs.isEmpty()) {
            const Verdict v = compareWithReferences(name, kind, *full, thumb->image, refs);
            verdict = v.matches ? QStringLiteral("match") : QStringLiteral("mismatch");
            detail = v.detail;
        } else {
            verdict = QStringLiteral("noref");
            detail = QStringLiteral("%1x%2").arg(full->width()).arg(full->height());
        }
        Q_UNUSED(cls);
        out(QStringLiteral("V\t%1\t%2\t%3\t%4\t%5\t%6")
                .arg(QFileInfo(name).suffix())
                .arg(header ? 1 : 0)
                .arg(thumb ? 1 : 0)
                .arg(full ? 1 : 0)
                .arg(verdict, detail));
    }
    // The loader's own peak, before the writers below add theirs.
    const qint64 loaderPeakKiB = corpus::peakResidentKiB();
    // Today's kinds on the corpus's good pictures: the picture written losslessly as PNG, WebP
    // and TIFF (where this Qt writes and reads them) must come back through the loader as it
    // was.
    if (kind != QLatin1String("wmf") && cls == QLatin1String("good")) {
        if (const auto original = platform::loadFullPicture(path); original && !original->isNull())
            for (const char* format : {"png", "webp", "tiff"})
                out(transcodedVariant(*original, format, tmp));
    }
    out(QStringLiteral("END\t%1").arg(loaderPeakKiB));
    return 0;
}

// ---- The parent: the index, the children, the summary ---------------------------------

struct Entry {
    QString file; // relative to the corpus folder
    QString kind;
    QString cls;
    QString expectation;
    QString stated; // "WxH" or empty
    QStringList refs;
};

// The size the index states for the picture; bitmaps give a signed height, icons the sizes
// of all their entries, comma-separated (0 standing for 256), metafiles nothing.
QString statedSize(const QString& kind, const QString& header) {
    if (kind == QLatin1String("wmf"))
        return {};
    static const QRegularExpression size(QStringLiteral("(\\d+)x(-?\\d+)"));
    QStringList sizes;
    for (auto it = size.globalMatch(header); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        int w = m.captured(1).toInt();
        int h = std::abs(m.captured(2).toInt());
        if (kind == QLatin1String("ico")) {
            w = w == 0 ? 256 : w;
            h = h == 0 ? 256 : h;
        }
        sizes << QStringLiteral("%1x%2").arg(w).arg(h);
        if (kind != QLatin1String("ico"))
            break;
    }
    return sizes.join(QLatin1Char(','));
}

std::vector<Entry> readIndex(const QDir& corpus, QString* error) {
    QFile f(corpus.filePath(QStringLiteral("INDEX.tsv")));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1").arg(f.fileName());
        return {};
    }
    std::vector<Entry> entries;
    QTextStream in(&f);
    const QStringList columns = in.readLine().split(QLatin1Char('\t'));
    const auto col = [&](const char* name) { return columns.indexOf(QLatin1String(name)); };
    const int cFile = col("file"), cKind = col("kind"), cClass = col("class"),
              cExpect = col("expectation"), cHeader = col("header"), cRefs = col("references");
    if (cFile < 0 || cKind < 0 || cClass < 0 || cHeader < 0 || cRefs < 0) {
        *error = QStringLiteral("INDEX.tsv lacks the columns this runner reads");
        return {};
    }
    while (!in.atEnd()) {
        const QStringList row = in.readLine().split(QLatin1Char('\t'));
        if (row.size() <= cRefs)
            continue;
        Entry e;
        e.file = row[cFile];
        e.kind = row[cKind];
        e.cls = row[cClass];
        e.expectation = cExpect >= 0 ? row[cExpect] : QString();
        const QString folder = QFileInfo(e.file).path();
        for (const QString& ref : row[cRefs].split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString name = ref.section(QStringLiteral("<="), 0, 0);
            if (name.contains(QLatin1String(".ref.")) &&
                (name.endsWith(QLatin1String(".png")) || name.endsWith(QLatin1String(".jpg"))))
                e.refs << corpus.filePath(folder + QLatin1Char('/') + name);
        }
        // Only the good files are held to their stated size and their references.
        if (e.cls == QLatin1String("good"))
            e.stated = statedSize(e.kind, row[cHeader]);
        else
            e.refs.clear();
        entries.push_back(e);
    }
    return entries;
}

enum class Outcome { Displayed, FailedCleanly, Mismatch, Crash, Hang, Huge };
const char* const kOutcomeNames[] = {"displayed", "failed cleanly", "mismatch",
                                     "crash",     "hang",           "huge allocation"};

struct Options {
    int jobs = 2;
    int timeoutSeconds = 20;
    qint64 memoryMiB = 1024;
    qint64 hugeMiB = 384;
    bool verbose = false;
    QString only;
    // Good files known not to match their reference yet: reported, not failed on.
    QSet<QString> known;
};

class Runner : public QObject {
public:
    Runner(QDir corpus, std::vector<Entry> entries, Options options)
        : m_corpus(std::move(corpus)), m_entries(std::move(entries)), m_options(options) {
        for (size_t i = 0; i < m_entries.size(); ++i)
            m_queue.push_back(i);
    }

    int run() {
        m_clock.start();
        for (int i = 0; i < m_options.jobs; ++i)
            startNext();
        if (m_running > 0)
            QCoreApplication::exec();
        return summarise();
    }

private:
    void startNext() {
        if (m_queue.empty()) {
            if (m_running == 0)
                QCoreApplication::quit();
            return;
        }
        const size_t index = m_queue.front();
        m_queue.pop_front();
        const Entry& e = m_entries[index];
        auto* process = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
#ifdef CORPUS_UNDER_ASAN
        // The sanitizer reserves far more address space than any limit would allow, so
        // memory is capped through its own allocator: an allocation beyond the limit fails
        // like one the system refuses, and growing past the limit ends the child.
        QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        if (!asan.isEmpty())
            asan += QLatin1Char(':');
        asan += QStringLiteral("detect_leaks=0:allocator_may_return_null=1:"
                               "max_allocation_size_mb=%1:hard_rss_limit_mb=%2")
                    .arg(m_options.memoryMiB)
                    .arg(m_options.memoryMiB + 512);
        env.insert(QStringLiteral("ASAN_OPTIONS"), asan);
#endif
        process->setProcessEnvironment(env);
        QStringList args{QStringLiteral("--child"),
                         QString::number(m_options.timeoutSeconds),
                         QString::number(m_options.memoryMiB),
                         m_corpus.filePath(e.file),
                         e.kind,
                         e.cls,
                         e.stated};
        args += e.refs;
        auto* timer = new QTimer(process);
        timer->setSingleShot(true);
        auto timedOut = std::make_shared<bool>(false);
        connect(timer, &QTimer::timeout, process, [process, timedOut] {
            *timedOut = true;
            process->kill();
        });
        connect(process, &QProcess::finished, this,
                [this, process, index, timedOut](int code, QProcess::ExitStatus status) {
                    finish(index, *process, code, status, *timedOut);
                    process->deleteLater();
                    --m_running;
                    startNext();
                });
        connect(process, &QProcess::errorOccurred, this, [this, process, index](auto err) {
            if (err != QProcess::FailedToStart)
                return;
            record(index, Outcome::Crash, QStringLiteral("child did not start"));
            process->deleteLater();
            --m_running;
            startNext();
        });
        ++m_running;
        process->start(QCoreApplication::applicationFilePath(), args);
        timer->start(m_options.timeoutSeconds * 1000);
    }

    void finish(size_t index, QProcess& process, int code, QProcess::ExitStatus status,
                bool timedOut) {
        const Entry& e = m_entries[index];
        const QStringList lines =
            QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        if (timedOut) {
            record(index, Outcome::Hang,
                   QStringLiteral("no result after %1 s").arg(m_options.timeoutSeconds));
            return;
        }
        qint64 peakKiB = -1;
        QStringList variants;
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1String("V\t")))
                variants << line;
            else if (line.startsWith(QLatin1String("END\t")))
                peakKiB = line.section(QLatin1Char('\t'), 1).toLongLong();
        }
        if (status != QProcess::NormalExit || code != 0 || peakKiB < 0) {
            record(index, Outcome::Crash, crashDetail(status, code, err));
            return;
        }
        m_peakKiB[e.cls] = std::max(m_peakKiB[e.cls], peakKiB);
        // Good pictures are small: for any file, using this much means the loader believed
        // a size the file cannot hold.
        if (peakKiB > m_options.hugeMiB * 1024) {
            record(index, Outcome::Huge, QStringLiteral("peak %1 MiB").arg(peakKiB / 1024));
            return;
        }
        const bool good = e.cls == QLatin1String("good");
        bool firstDisplayed = false;
        QString firstDetail;
        QStringList problems;
        for (int i = 0; i < variants.size(); ++i) {
            const QStringList f = variants[i].split(QLatin1Char('\t'));
            if (f.size() < 7)
                continue;
            const bool allOk = f[2] == QLatin1String("1") && f[3] == QLatin1String("1") &&
                               f[4] == QLatin1String("1");
            if (i == 0) {
                firstDisplayed = f[4] == QLatin1String("1");
                firstDetail = f[6];
            }
            if (good && (!allOk || f[5] == QLatin1String("mismatch")))
                problems << QStringLiteral("as .%1: %2").arg(f[1], f[6]);
        }
        if (good && (variants.isEmpty() || !problems.isEmpty())) {
            record(index, Outcome::Mismatch, problems.join(QStringLiteral("; ")));
            return;
        }
        record(index, firstDisplayed ? Outcome::Displayed : Outcome::FailedCleanly, firstDetail);
    }

    static QString crashDetail(QProcess::ExitStatus status, int code, const QString& err) {
        QString what = status != QProcess::NormalExit ? QStringLiteral("killed by a signal")
                                                      : QStringLiteral("exit code %1").arg(code);
        // The sanitizers' first report line says what went wrong.
        for (const QString& line : err.split(QLatin1Char('\n'))) {
            if (line.contains(QLatin1String("ERROR: AddressSanitizer")) ||
                line.contains(QLatin1String("runtime error")) ||
                line.contains(QLatin1String("ERROR: LeakSanitizer")) ||
                line.contains(QLatin1String("terminate called"))) {
                what += QStringLiteral(": ") + line.trimmed();
                break;
            }
        }
        return what;
    }

    void record(size_t index, Outcome outcome, const QString& detail) {
        const Entry& e = m_entries[index];
        ++m_counts[e.cls][static_cast<int>(outcome)];
        const bool known = m_options.known.contains(e.file);
        if (known && outcome == Outcome::Mismatch)
            m_known << QStringLiteral("%1: %2").arg(e.file, detail);
        else if (known && outcome == Outcome::Displayed)
            m_known << QStringLiteral("%1: matches now; take it off the list").arg(e.file);
        const bool problem =
            outcome == Outcome::Crash || outcome == Outcome::Hang || outcome == Outcome::Huge ||
            (outcome == Outcome::Mismatch && e.cls == QLatin1String("good") && !known);
        if (problem)
            m_problems << QStringLiteral("%1: %2: %3")
                              .arg(QLatin1String(kOutcomeNames[static_cast<int>(outcome)]), e.file,
                                   detail);
        else if (m_options.verbose)
            out(QStringLiteral("  %1: %2: %3")
                    .arg(QLatin1String(kOutcomeNames[static_cast<int>(outcome)]), e.file, detail));
    }

    int summarise() {
        bool failed = false;
        for (const char* cls : {"good", "questionable", "bad"}) {
            const auto& c = m_counts[QLatin1String(cls)];
            int files = 0;
            for (int n : c)
                files += n;
            out(QStringLiteral("%1: %2 files: displayed %3, failed cleanly %4, mismatch %5, "
                               "crash %6, hang %7, huge allocation %8; peak memory %9 MiB")
                    .arg(QLatin1String(cls))
                    .arg(files)
                    .arg(c[0])
                    .arg(c[1])
                    .arg(c[2])
                    .arg(c[3])
                    .arg(c[4])
                    .arg(c[5])
                    .arg(m_peakKiB[QLatin1String(cls)] / 1024));
        }
        for (const QString& k : m_known)
            out(QStringLiteral("KNOWN ") + k);
        for (const QString& p : m_problems)
            out(QStringLiteral("PROBLEM ") + p);
        failed = !m_problems.isEmpty();
        out(QStringLiteral("%1 files in %2 s, %3")
                .arg(m_entries.size())
                .arg(m_clock.elapsed() / 1000.0, 0, 'f', 1)
                .arg(failed ? QStringLiteral("FAILED") : QStringLiteral("passed")));
        return failed ? 1 : 0;
    }

    QDir m_corpus;
    std::vector<Entry> m_entries;
    Options m_options;
    std::deque<size_t> m_queue;
    int m_running = 0;
    std::map<QString, std::array<int, 6>> m_counts;
    std::map<QString, qint64> m_peakKiB;
    QStringList m_problems;
    QStringList m_known;
    QElapsedTimer m_clock;
};

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0) {
        const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
        const qint64 memoryMiB = argc > 3 ? std::atoll(argv[3]) : 1024;
#ifdef CORPUS_UNDER_ASAN
        // The sanitizer reserves far more address space than a limit could allow; its own
        // allocator limit, set in the environment, stands in.
        corpus::limitThisProcess(seconds, 0);
        (void)memoryMiB;
#else
        corpus::limitThisProcess(seconds, memoryMiB * 1024 * 1024);
#endif
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        // Qt's readers warn about every damaged file; the verdict lines say enough.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return runChild(app.arguments().mid(4));
    }

    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Runs the picture loader over a sorted corpus of picture files."));
    parser.addHelpOption();
    const QCommandLineOption jobs(QStringLiteral("jobs"), QStringLiteral("Children at once."),
                                  QStringLiteral("n"),
                                  QString::number(std::max(1, QThread::idealThreadCount())));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Seconds per file, all names and paths."),
                                     QStringLiteral("s"), QStringLiteral("20"));
    const QCommandLineOption memory(QStringLiteral("memory-mb"),
                                    QStringLiteral("Memory limit per child, MiB."),
                                    QStringLiteral("m"), QStringLiteral("1024"));
    const QCommandLineOption huge(QStringLiteral("huge-mb"),
                                  QStringLiteral("Peak memory counted as a huge allocation."),
                                  QStringLiteral("m"), QStringLiteral("384"));
    const QCommandLineOption only(QStringLiteral("only"),
                                  QStringLiteral("Only files whose path contains this."),
                                  QStringLiteral("text"));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("A line for every file."));
    const QCommandLineOption known(
        QStringLiteral("known"),
        QStringLiteral("File naming good files known not to match yet, one a line (# comments)."),
        QStringLiteral("file"));
    parser.addOptions({jobs, timeout, memory, huge, only, verbose, known});
    parser.addPositionalArgument(QStringLiteral("corpus"),
                                 QStringLiteral("Folder with INDEX.tsv."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    Options options;
    options.jobs = std::max(1, parser.value(jobs).toInt());
    options.timeoutSeconds = std::max(1, parser.value(timeout).toInt());
    options.memoryMiB = std::max<qint64>(64, parser.value(memory).toLongLong());
    options.hugeMiB = std::max<qint64>(16, parser.value(huge).toLongLong());
    options.verbose = parser.isSet(verbose);
    options.only = parser.value(only);
    if (parser.isSet(known)) {
        QFile list(parser.value(known));
        if (!list.open(QIODevice::ReadOnly | QIODevice::Text)) {
            out(QStringLiteral("cannot read ") + list.fileName());
            return 2;
        }
        for (const QByteArray& raw : list.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).section(QLatin1Char('#'), 0, 0).trimmed();
            if (!line.isEmpty())
                options.known.insert(line);
        }
    }

    const QDir corpus(parser.positionalArguments().constFirst());
    QString error;
    std::vector<Entry> entries = readIndex(corpus, &error);
    if (!error.isEmpty()) {
        out(error);
        return 2;
    }
    if (!options.only.isEmpty())
        std::erase_if(entries, [&](const Entry& e) { return !e.file.contains(options.only); });
    Runner runner(corpus, std::move(entries), options);
    return runner.run();
}
