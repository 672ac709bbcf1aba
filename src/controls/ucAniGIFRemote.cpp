// The remote loader of the animated control: a GIF fetched in the background over http or
// https. Whatever the server does, the fetch holds at most the size cap in memory and ends by
// its deadline.
#include "controls/ucAniGIF.h"

#include "common/Rounding.h"
#include "controls/ControlTimer.h"
#include "platform/HttpFetch.h"

namespace quorvel {

void ucAniGIF::setRemoteLimits(const RemoteLimits &limits) { remoteLimits_ = limits; }

void ucAniGIF::cancelRemote()
{
    remoteDeadline_->stop();
    if (HttpFetch *old = download_) {
        download_ = nullptr;
        old->disconnect(this); // its end reports to nobody
        old->abort(QString());
        old->deleteLater();
    }
}

void ucAniGIF::LoadAnimatedGIF_Remote(const QString &RemotePath)
{
    if (RemotePath.isEmpty())
        return;
    cancelRemote(); // one download per control: a new one replaces it
    // Only the web (HttpFetch refuses the rest): a file or data address would read what the
    // caller never meant to expose. The control's clock runs the deadline.
    download_ = new HttpFetch(QUrl(RemotePath), {remoteLimits_.maxBytes, 0, 0}, this);
    connect(download_, &HttpFetch::finished, this, &ucAniGIF::remoteFinished);
    remoteDeadline_->start(remoteLimits_.deadlineMs);
}

void ucAniGIF::remoteFinished(bool ok, const QByteArray &bytes)
{
    remoteDeadline_->stop();
    if (download_)
        download_->deleteLater();
    download_ = nullptr;
    std::shared_ptr<const GifAnimation> animation = ok ? decode(bytes) : nullptr;
    if (!animation) {
        emit RemoteLoadFailure();
        return;
    }
    bool cancel = false;
    emit RemoteLoadComplete(float(animation->screen.width() * kTwipsPerPixel),
                            float(animation->screen.height() * kTwipsPerPixel), &cancel);
    if (!cancel)
        processGIF(std::move(animation));
}

} // namespace quorvel
