#pragma once
// The organiser started in a folder, as the user would start it there; the folder the process
// was in is restored at the end.

#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"
#include "organiser/browser/thumbnailcache.h"

#include <QCoreApplication>
#include <QDir>
#include <memory>

struct Session {
    QString oldDir = QDir::currentPath();
    std::unique_ptr<tarvo::Organiser> org;
    explicit Session(const QString& folder) {
        QDir::setCurrent(folder);
        org = std::make_unique<tarvo::Organiser>();
        org->imgView();
    }
    ~Session() {
        org.reset();
        QDir::setCurrent(oldDir);
    }
    tarvo::ImgView* view() { return org->imgView(); }
    // The window idle: queued events run and the pages beside are decoded.
    void idle() {
        for (int k = 0; k < 5; ++k)
            QCoreApplication::processEvents();
        view()->thumbnails().waitForPrefetch();
    }
};
