#pragma once
// Test doubles for the organiser's window tests: a clipboard that keeps what it was given
// (and can play a clipboard held by another program), and a message box that records.

#include "platform/clipboard.h"
#include "platform/messagebox.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

namespace testing_support {

class FakeClipboard : public platform::Clipboard {
public:
    std::optional<QImage> image;
    std::optional<QString> textData;
    int clears = 0;
    bool heldByOther = false; // every call fails as when another program holds it

    platform::Result clear() override {
        if (heldByOther)
            return busy();
        ++clears;
        image.reset();
        textData.reset();
        return {};
    }
    platform::Result addImage(const QImage& img) override {
        if (heldByOther)
            return busy();
        image = img;
        return {};
    }
    platform::Result addText(const QString& t) override {
        if (heldByOther)
            return busy();
        textData = t;
        return {};
    }
    bool hasBitmap() override { return image.has_value(); }
    std::optional<QImage> bitmap() override { return image; }
    std::optional<QString> text() override { return textData; }

private:
    static platform::Result busy() {
        return platform::Result::failure(platform::Error::Busy, QStringLiteral("held"));
    }
};

class RecordingMessageBox : public platform::MessageBox {
public:
    struct Shown {
        QString text;
        QString title;
        Icon icon;
    };
    std::vector<Shown> shown;
    void show(QWidget*, const QString& text, const QString& title, Icon icon) override {
        shown.push_back({text, title, icon});
    }
};

} // namespace testing_support
