#pragma once
// Stands in for the desktop while it lives: the addresses the program asks it to open are kept
// and none is opened; the opener before it comes back afterwards.
#include "platform/ShellOpen.h"

#include <QList>
#include <QUrl>

namespace quorvel {

class OpenedUrls {
public:
    OpenedUrls() : previous_(shellOpener())
    {
        shellOpener() = [this](const QUrl &url) { return urls << url, true; };
    }
    ~OpenedUrls() { shellOpener() = previous_; }
    OpenedUrls(const OpenedUrls &) = delete;
    OpenedUrls &operator=(const OpenedUrls &) = delete;

    QList<QUrl> urls;

private:
    std::function<bool(const QUrl &)> previous_;
};

} // namespace quorvel
