#pragma once
// Thumbnails kept between runs in the desktop's shared thumbnail cache (the freedesktop
// Thumbnail Managing Standard, which Gwenview, gThumb, Geeqie and the file managers share):
// <cache>/thumbnails/normal (at most 128 pixels) and large (at most 256), each entry a PNG
// named by the MD5 of the picture's canonical file:// URI, holding the picture upright with
// its URI, modification time (seconds), size and natural width and height. An entry is used
// only while it describes the file as it is now: entries of other programs by the standard's
// rule (URI, modification time, size when stated); our own also carry the file's whole
// identity (device, inode, size, modification and status-change times in nanoseconds), so a
// file replaced within the same second is never shown stale. A picture that cannot be decoded
// gets a failure entry under fail/tarvo104-<version>, so it is not decoded again at each start.
//
// Only raster pictures go through the store: icons pick the entry that suits the cell and
// metafiles are drawn at the size shown, so both are always decoded. Writing runs on the
// thread pool below everything else; nothing is written for files inside the cache itself,
// nor for a file that could not be read.

#include "platform/fileidentity.h"
#include "platform/pictures/pictureloader.h"

#include <QSizeF>
#include <QString>
#include <optional>

namespace tarvo {

class ThumbnailStore {
public:
    enum class Size { Normal, Large };

    // <cache>/thumbnails: $XDG_CACHE_HOME/thumbnails (default ~/.cache/thumbnails); on
    // Windows a folder under %LOCALAPPDATA%.
    static QString root();
    // The store's side in pixels for a size (128, 256).
    static int side(Size size);
    // The size whose entries cover a cell box (twips at device pixels); nothing when the box
    // is larger than the largest size.
    static std::optional<Size> sizeFor(QSizeF boxTwips);
    // The entry of the file at path (resolved to its canonical path); empty when the file does
    // not exist.
    static QString entryPath(const QString& path, Size size);
    static QString failurePath(const QString& path);

    struct Result {
        std::optional<platform::FileIdentity> stamp; // of the file the thumbnail shows
        std::optional<platform::Thumbnail> thumb;    // empty: cannot be shown
        bool fromStore = false;                      // an entry (or a failure entry) was used
    };
    // The thumbnail of path for a cell box: from a valid entry when there is one, else
    // decoded from the file's bytes read at one moment, and the entry (or a failure entry)
    // then written on the thread pool at the lowest priority.
    static Result thumbnail(const QString& path, QSizeF boxTwips);

    // Waits until every entry queued for writing is written (or given up).
    static void waitForWrites();
    // Pictures decoded by thumbnail() since the program started.
    static int decodes();
};

} // namespace tarvo
