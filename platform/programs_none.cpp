// Programs where no window system of others can be reached (a build without X11): programs
// still start, but finding, activating and sending keys to their windows is not possible,
// so those fail cleanly and the callers' failure actions run.

#include "programlookup.h"
#include "programs.h"

namespace platform {

namespace {

class NoWindowPrograms : public Programs {
public:
    Result start(const QString& name, WindowStyle style) override {
        return startProgram(name, style);
    }
    QStringList searchPaths(const QString& name) override { return programSearchPaths(name); }
    Result activate(const QString& caption, bool) override {
        return Result::failure(Error::Unsupported, caption);
    }
    Result restore(const QString& caption) override {
        return Result::failure(Error::Unsupported, caption);
    }
    Result sendKeys(const QString& keys, bool) override {
        return Result::failure(Error::Unsupported, keys);
    }
};

} // namespace

Programs& systemPrograms() {
    static NoWindowPrograms programs;
    return programs;
}

QString paintMissingMessage() {
    return installPaintMessage();
}

} // namespace platform
