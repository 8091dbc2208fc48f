#pragma once
// The whole picture of a selection, decoded on a worker for the clipboard, so a click never
// waits for a large photo. The click takes the file's bytes (or, for a very large file, an
// open handle that never stands in the way of deleting or renaming it): whatever happens to
// the file afterwards, the clipboard gets the picture that was clicked. A later selection
// gives up the decode of the one before, which then stops soon; only the last picture asked
// for is ever handed out.

#include "platform/clipboard.h"
#include "platform/fileidentity.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <vector>

class QFile;

namespace tarvo {

class FullPictureJob;
struct FullPictureLink;

// Decodes still running on a worker, given-up ones included: the program's end does not
// wait for them, and leaves without running what they might still touch.
int fullPictureDecodesRunning();

// The picture as the click took it.
struct ClickedPicture {
    QString path;
    platform::FileIdentity identity;
    QByteArray bytes;            // the whole file, read at the click
    std::shared_ptr<QFile> held; // or the file held open, read on the worker
};

// Takes the picture at path now: its bytes when the file is small enough to read within a
// click, else the open file. Nothing when it cannot be opened, with the reason in *why.
std::optional<ClickedPicture> takePicture(const QString& path, platform::Result* why = nullptr);

class FullPictures {
public:
    FullPictures();
    // Gives up every decode and waits for none: a decode still running ends on its own.
    ~FullPictures();
    FullPictures(const FullPictures&) = delete;
    FullPictures& operator=(const FullPictures&) = delete;

    // Starts decoding picture. The decode started before goes on until giveUpOthers, so an
    // offer of it still being read by another program is answered. done runs afterwards on
    // the user-interface thread, with whether the picture was made, unless another decode
    // was started in between.
    std::shared_ptr<platform::PendingImage> start(ClickedPicture picture,
                                                  std::function<void(bool made)> done);
    // Gives up every decode but the last one started.
    void giveUpOthers();
    // Gives up every decode (the program ends, the folder changes).
    void giveUpAll();
    // The last decode started, while the clipboard still holds it.
    std::shared_ptr<platform::PendingImage> currentOffer() const;
    // True while the last decode is queued or running.
    bool busy() const;
    // Decodes queued or running, the given-up ones still ending included.
    int running() const;

private:
    QThreadPool* m_pool; // let go at the end while a decode still runs on it
    QObject m_context;   // where the done calls are delivered
    std::shared_ptr<FullPictureLink> m_link;
    // The clipboard owns the pictures; these only reach them to give them up.
    std::weak_ptr<FullPictureJob> m_current;
    quint64 m_serial = 0; // of the last decode started
    std::vector<std::weak_ptr<FullPictureJob>> m_others;
};

} // namespace tarvo
