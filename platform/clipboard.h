#pragma once
// The system clipboard. "Adding" keeps the other formats the clipboard holds and replaces
// only data of the same format; emptying is a separate call.

#include "result.h"

#include <QImage>
#include <QString>
#include <memory>
#include <optional>

namespace platform {

// A picture still being made on a worker, offered on the clipboard before it exists.
class PendingImage {
public:
    virtual ~PendingImage() = default;
    // Blocks until the picture is made; nothing when making it failed or was given up.
    virtual std::optional<QImage> wait() = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual Result clear() = 0;
    // Offers img as a bitmap (image/png, image/bmp and the platform's bitmap format).
    virtual Result addImage(const QImage& img) = 0;
    virtual Result addText(const QString& text) = 0;
    // Takes the clipboard at once for a picture that is still being made, so the change is
    // announced now; a reader that asks before the picture is ready gets it when it is (on
    // X11 the selection request is answered then, as Windows renders a delayed format on
    // request). This default waits for the picture and adds it.
    virtual Result addPendingImage(std::shared_ptr<PendingImage> pending) {
        std::optional<QImage> img = pending ? pending->wait() : std::nullopt;
        if (!img || img->isNull())
            return Result::failure(Error::Corrupt, QStringLiteral("コピイする画像がありません"));
        return addImage(*img);
    }
    // Takes back an offer of addPendingImage whose picture could not be made, when the
    // clipboard still holds it: other programs then see no bitmap at all, rather than one they
    // cannot read. What else the clipboard holds stays.
    virtual void withdrawPendingImage(const std::shared_ptr<PendingImage>& pending) {
        (void)pending;
    }
    // The program ends: what it offered for later rendering is rendered now, so the clipboard
    // keeps it after the program has gone.
    virtual void keepAfterExit() {}
    // True when the clipboard offers a bitmap.
    virtual bool hasBitmap() = 0;
    // The bitmap, or nothing when there is none or the owner did not answer in time.
    virtual std::optional<QImage> bitmap() = 0;
    virtual std::optional<QString> text() = 0;
    // The bitmap with the reason when there is none: NotFound when the clipboard holds no
    // bitmap, Busy when its owner did not answer in time, Corrupt when the data is unreadable.
    virtual Result readBitmap(QImage& out) {
        std::optional<QImage> b = bitmap();
        if (!b)
            return Result::failure(Error::NotFound, QStringLiteral("no bitmap on the clipboard"));
        out = *b;
        return Result::success();
    }
};

// The system clipboard through Qt (X11 selection or Win32 clipboard).
Clipboard& systemClipboard();

} // namespace platform
