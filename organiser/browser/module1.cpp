#include "module1.h"

namespace tarvo {

const QString& Module1::fileName(int k) const {
    static const QString empty;
    if (k < 0 || k >= kFileTableSize)
        return empty;
    return FileNames[static_cast<size_t>(k)];
}

void Module1::setFileName(int k, const QString& name) {
    if (k < 0 || k >= kFileTableSize)
        return;
    FileNames[static_cast<size_t>(k)] = name;
}

} // namespace tarvo
