#pragma once
// Recording doubles of the platform services, for tests that drive the organiser without a
// display or other programs.

#include "fakefiles.h"
#include "platform/clipboard.h"
#include "platform/controls/messagebox.h"
#include "platform/programs.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

namespace testing_support {

// Other programs and their windows: a started program opens a window with its caption,
// activation finds a caption exactly or by its beginning, the closing keys close the active one.
class FakePrograms : public platform::Programs {
public:
    struct Call {
        enum class Kind { Start, Activate, Restore, SendKeys };
        Kind kind;
        QString text;      // program name, caption or keys
        int style = 0;     // window style of a start
        bool wait = false; // wait flag of an activation or of sent keys
    };

    // Program name (any case) to the caption of its window; a name not listed cannot start.
    std::map<QString, QString> programs;
    QStringList windows;   // captions of the open top-level windows
    QStringList minimised; // captions of those windows that are minimised
    QString active;        // caption of the active window
    QString closingKeys = QStringLiteral("+{F10}FX"); // keys that close the active window
    bool failKeys = false;
    QStringList paths; // what searchPaths answers
    std::vector<Call> calls;

    platform::Result start(const QString& name, platform::WindowStyle style) override {
        calls.push_back({Call::Kind::Start, name, static_cast<int>(style), false});
        for (const auto& [program, caption] : programs) {
            if (program.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            windows.append(caption);
            if (style == platform::WindowStyle::NormalFocus)
                active = caption;
            return platform::Result::success();
        }
        return platform::Result::failure(platform::Error::NotFound, name);
    }

    platform::Result activate(const QString& caption, bool wait) override {
        calls.push_back({Call::Kind::Activate, caption, 0, wait});
        const QString found = find(caption);
        if (found.isEmpty())
            return platform::Result::failure(platform::Error::NotFound, caption);
        if (!minimised.contains(found))
            active = found;
        return platform::Result::success();
    }

    platform::Result restore(const QString& caption) override {
        calls.push_back({Call::Kind::Restore, caption, 0, false});
        const QString found = find(caption);
        if (found.isEmpty())
            return platform::Result::failure(platform::Error::NotFound, caption);
        minimised.removeAll(found);
        active = found;
        return platform::Result::success();
    }

    platform::Result sendKeys(const QString& keys, bool wait) override {
        calls.push_back({Call::Kind::SendKeys, keys, 0, wait});
        if (failKeys)
            return platform::Result::failure(platform::Error::Unsupported, keys);
        if (keys == closingKeys && windows.removeOne(active))
            active.clear();
        return platform::Result::success();
    }

    QStringList searchPaths(const QString&) override { return paths; }

    // The user closes a window with its close box.
    void closeByHand(const QString& caption) {
        windows.removeAll(caption);
        if (active == caption)
            active.clear();
    }
    int windowCount(const QString& caption) const { return int(windows.count(caption)); }

private:
    // The window with caption exactly, else the first whose caption begins with it.
    QString find(const QString& caption) const {
        if (windows.contains(caption))
            return caption;
        for (const QString& w : windows)
            if (w.startsWith(caption))
                return w;
        return {};
    }
};

class FakeClipboard : public platform::Clipboard {
public:
    std::optional<QImage> image;
    std::optional<QString> textData;
    int clears = 0;
    bool heldByOther = false; // every call fails as when another program holds it
    bool unreadable = false;  // the bitmap offered cannot be read (its owner cannot make it)
    // Keeps pictures still being made unread, as the system clipboard does until a reader asks.
    bool keepPending = false;
    std::vector<std::shared_ptr<platform::PendingImage>> pending;
    std::vector<std::shared_ptr<platform::PendingImage>> withdrawn; // offers taken back

    platform::Result clear() override {
        if (heldByOther)
            return busy();
        ++clears;
        image.reset();
        textData.reset();
        unreadable = false;
        return {};
    }
    platform::Result addImage(const QImage& img) override {
        if (heldByOther)
            return busy();
        image = img;
        return {};
    }
    platform::Result addPendingImage(std::shared_ptr<platform::PendingImage> p) override {
        if (!keepPending)
            return Clipboard::addPendingImage(std::move(p));
        if (heldByOther)
            return busy();
        image.reset();
        pending.push_back(std::move(p));
        return {};
    }
    void withdrawPendingImage(const std::shared_ptr<platform::PendingImage>& p) override {
        withdrawn.push_back(p);
    }
    platform::Result addText(const QString& t) override {
        if (heldByOther)
            return busy();
        textData = t;
        return {};
    }
    bool hasBitmap() override { return image.has_value(); }
    std::optional<QImage> bitmap() override { return unreadable ? std::nullopt : image; }
    platform::Result readBitmap(QImage& out) override {
        if (image && unreadable)
            return platform::Result::failure(platform::Error::Corrupt,
                                             QStringLiteral("unreadable"));
        return Clipboard::readBitmap(out);
    }
    std::optional<QString> text() override { return textData; }

private:
    static platform::Result busy() {
        return platform::Result::failure(platform::Error::Busy, QStringLiteral("held"));
    }
};

class FakeMessageBox : public platform::MessageBox {
public:
    struct Shown {
        QWidget* parent;
        QString text;
        QString title;
        Icon icon;
    };
    std::vector<Shown> shown;

    void show(QWidget* parent, const QString& text, const QString& title, Icon icon) override {
        shown.push_back({parent, text, title, icon});
    }
};

} // namespace testing_support
