#pragma once
// The whole picture of a selection, decoded on a worker for the clipboard, so a click never
// waits for a large photo. A later selection gives up the decode of the one before: only the
// last picture asked for is ever handed out.

#include "platform/clipboard.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <functional>
#include <memory>

namespace tarvo {

class FullPictureJob;

class FullPictures {
public:
    FullPictures();
    // Waits for the decode under way, so a clipboard manager saving the contents at the end
    // still gets the picture.
    ~FullPictures();
    FullPictures(const FullPictures&) = delete;
    FullPictures& operator=(const FullPictures&) = delete;

    // Starts decoding path, giving up the decode started before. done runs afterwards on the
    // user-interface thread, with whether the picture was made, unless another decode was
    // started in between.
    std::shared_ptr<platform::PendingImage> start(const QString& path,
                                                  std::function<void(bool made)> done);
    // True while a decode is queued or running.
    bool busy() const;

private:
    QThreadPool m_pool;
    QObject m_context; // where the done calls are delivered
    std::shared_ptr<FullPictureJob> m_current;
};

} // namespace tarvo
