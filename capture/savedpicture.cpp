#include "savedpicture.h"

namespace capture {

bool isNewCapture(const QImage& last, const QImage& next) {
    if (next.isNull())
        return false;
    if (last.isNull() || last.size() != next.size())
        return true;
    if (last.format() == next.format())
        return last != next;
    return last.convertToFormat(QImage::Format_ARGB32) !=
           next.convertToFormat(QImage::Format_ARGB32);
}

} // namespace capture
