// The system clipboard through QClipboard. On X11 the formats are offered lazily: a picture is
// encoded as PNG or BMP only when a reader asks for that format.

#include "platform/bitmaplimit.h"
#include "platform/clipboard.h"
#include "platform/clipboardprobe.h"
#include "platform/pictures/bmpwriter.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMimeData>

namespace platform {
namespace {

// How long a read may wait for the clipboard's owner before it is given up as busy.
constexpr int kOwnerAnswerMs = 800;

const QString kQtImage = QStringLiteral("application/x-qt-image");
const QString kPng = QStringLiteral("image/png");
const QString kBmp = QStringLiteral("image/bmp");

// Holds a picture as it is, or one still being made, and encodes it only for a reader that
// asks for PNG or BMP. A picture still being made is waited for when a reader asks for it:
// the clipboard's owner answers the request then.
class PictureMime final : public QMimeData {
public:
    explicit PictureMime(QImage picture) : m_picture(std::move(picture)) {}
    explicit PictureMime(std::shared_ptr<PendingImage> pending)
        : m_offer(pending), m_pending(std::move(pending)) {}
    // Another offer of the same picture, still lazily made and encoded.
    PictureMime* sameOffer() const {
        auto* mime = m_pending ? new PictureMime(m_pending) : new PictureMime(m_picture);
        mime->m_offer = m_offer;
        return mime;
    }
    bool isOffer(const std::shared_ptr<PendingImage>& pending) const {
        return pending && m_offer.lock() == pending;
    }
    const QImage& picture() const {
        if (m_pending) {
            m_picture = m_pending->wait().value_or(QImage());
            m_pending.reset();
        }
        return m_picture;
    }

    QStringList formats() const override {
        QStringList f = QMimeData::formats();
        for (const QString& extra : {kQtImage, kPng, kBmp})
            if (!f.contains(extra))
                f.append(extra);
        return f;
    }
    bool hasFormat(const QString& mimeType) const override {
        return mimeType == kQtImage || mimeType == kPng || mimeType == kBmp ||
               QMimeData::hasFormat(mimeType);
    }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
        if (mimeType == kQtImage) {
            if (picture().isNull())
                return {};
            return picture();
        }
        // BMP in the form that keeps transparency (32 bits with an alpha mask), which Qt's
        // own BMP writer would drop.
        if (mimeType == kBmp) {
            if (picture().isNull())
                return {};
            return platform::encodeBmp(picture());
        }
        if (mimeType == kPng) {
            if (picture().isNull())
                return {};
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, "png");
            writer.setCompression(1); // fast: the reader usually decodes it at once
            writer.write(picture());
            return bytes;
        }
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    std::weak_ptr<PendingImage> m_offer; // which offer this is, also once it is made
    mutable std::shared_ptr<PendingImage> m_pending;
    mutable QImage m_picture;
};

bool isPictureFormat(const QString& f) {
    return f == kQtImage || f.startsWith(QLatin1String("image/"));
}
bool isTextFormat(const QString& f) {
    return f.startsWith(QLatin1String("text/plain"));
}

class QtClipboard final : public Clipboard {
public:
    QtClipboard() { allowLargeBitmaps(); }

    Result clear() override {
        board()->clear();
        return Result::success();
    }

    Result addImage(const QImage& img) override {
        if (img.isNull())
            return Result::failure(Error::Corrupt, QStringLiteral("コピイする画像がありません"));
        auto* mime = new PictureMime(img);
        keepOthers(mime, isPictureFormat);
        board()->setMimeData(mime);
        return Result::success();
    }

    Result addPendingImage(std::shared_ptr<PendingImage> pending) override {
        if (!pending)
            return Result::failure(Error::Corrupt, QStringLiteral("コピイする画像がありません"));
        auto* mime = new PictureMime(std::move(pending));
        keepOthers(mime, isPictureFormat);
        board()->setMimeData(mime);
        return Result::success();
    }

    void withdrawPendingImage(const std::shared_ptr<PendingImage>& pending) override {
        const PictureMime* own = ownPicture();
        if (!own || !own->isOffer(pending))
            return;
        auto* rest = new QMimeData;
        const QStringList formats = own->QMimeData::formats();
        for (const QString& f : formats)
            if (!isPictureFormat(f))
                rest->setData(f, own->data(f));
        if (rest->formats().isEmpty()) {
            delete rest;
            board()->clear();
        } else {
            board()->setMimeData(rest);
        }
    }

    // Qt hands the clipboard to the desktop's clipboard manager as the program ends, after
    // the decoding jobs are gone: the picture is taken from its job now, so the manager gets
    // it rather than formats that deliver nothing.
    void keepAfterExit() override {
        if (const PictureMime* own = ownPicture())
            own->picture();
    }

    Result addText(const QString& text) override {
        auto* mime = new QMimeData;
        keepOthers(mime, isTextFormat);
        if (const auto* own = ownPicture())
            mime = rewrap(mime, *own);
        mime->setText(text);
        board()->setMimeData(mime);
        return Result::success();
    }

    bool hasBitmap() override {
        if (!answers())
            return false;
        const QMimeData* md = board()->mimeData();
        return md && md->hasImage();
    }

    std::optional<QImage> bitmap() override {
        QImage img;
        if (!readBitmap(img))
            return std::nullopt;
        return img;
    }

    Result readBitmap(QImage& out) override {
        if (const auto* own = ownPicture()) {
            out = own->picture();
            return Result::success();
        }
        if (!answers())
            return Result::failure(Error::Busy,
                                   QStringLiteral("クリップボードの持ち主が応答しません"));
        const QMimeData* md = board()->mimeData();
        if (!md || !md->hasImage())
            return Result::failure(Error::NotFound,
                                   QStringLiteral("クリップボードに画像がありません"));
        QImage img;
        // BMP costs the owner and us the least to encode and decode; PNG and the rest through
        // Qt's own choice otherwise.
        if (md->formats().contains(kBmp))
            img.loadFromData(md->data(kBmp), "BMP");
        if (img.isNull())
            img = qvariant_cast<QImage>(md->imageData());
        if (img.isNull())
            return Result::failure(Error::Corrupt,
                                   QStringLiteral("クリップボードの画像を読めません"));
        out = img;
        return Result::success();
    }

    std::optional<QString> text() override {
        if (!answers())
            return std::nullopt;
        const QMimeData* md = board()->mimeData();
        if (!md || !md->hasText())
            return std::nullopt;
        return md->text();
    }

private:
    static QClipboard* board() { return QGuiApplication::clipboard(); }

    static bool answers() {
        return board()->ownsClipboard() || detail::clipboardOwnerAnswers(kOwnerAnswerMs);
    }

    // Our own picture, when the clipboard holds one we put there (no encoding needed).
    static const PictureMime* ownPicture() {
        return dynamic_cast<const PictureMime*>(board()->mimeData());
    }

    // Copies into mime every format the clipboard holds that replaced() does not claim, so that
    // adding keeps the rest of the contents.
    template <typename Pred> static void keepOthers(QMimeData* mime, Pred replaced) {
        if (!answers())
            return; // a hung owner's data cannot be kept; ours replaces it
        const QMimeData* md = board()->mimeData();
        if (!md)
            return;
        const QStringList formats = md->formats();
        for (const QString& f : formats) {
            if (replaced(f) || f == kQtImage ||
                (dynamic_cast<const PictureMime*>(md) && isPictureFormat(f)))
                continue;
            const QByteArray bytes = md->data(f);
            if (!bytes.isNull())
                mime->setData(f, bytes);
        }
    }

    // A picture we hold stays lazily encoded when text is added beside it.
    static QMimeData* rewrap(QMimeData* plain, const PictureMime& own) {
        PictureMime* mime = own.sameOffer();
        const QStringList formats = plain->formats();
        for (const QString& f : formats)
            mime->setData(f, plain->data(f));
        delete plain;
        return mime;
    }
};

} // namespace

Clipboard& systemClipboard() {
    static QtClipboard clipboard;
    return clipboard;
}

} // namespace platform
