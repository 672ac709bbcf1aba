// The remote loader of the animated control: a GIF fetched in the background over http or
// https. Whatever the server does, the fetch holds at most the size cap in memory and ends by
// its deadline.
#include "controls/ucAniGIF.h"

#include "common/Rounding.h"
#include "controls/ControlTimer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace quorvel {

namespace {

// Qt's own buffer stays small: the body is moved into ours as it comes, where the cap applies.
constexpr qint64 kReadBufferBytes = 64 * 1024;

} // namespace

void ucAniGIF::setRemoteLimits(const RemoteLimits &limits) { remoteLimits_ = limits; }

void ucAniGIF::cancelRemote()
{
    remoteDeadline_->stop();
    remoteBytes_.clear();
    if (QNetworkReply *old = download_) {
        download_ = nullptr;
        old->abort();
    }
}

void ucAniGIF::LoadAnimatedGIF_Remote(const QString &RemotePath)
{
    if (RemotePath.isEmpty())
        return;
    cancelRemote(); // one download per control: a new one replaces it
    const QUrl url(RemotePath);
    const QString scheme = url.scheme().toLower();
    // Only the web: a file or data address would read what the caller never meant to expose.
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        emit RemoteLoadFailure();
        return;
    }
    if (!network_)
        network_ = new QNetworkAccessManager(this);
    QNetworkReply *reply = network_->get(QNetworkRequest(url));
    reply->setReadBufferSize(std::min(kReadBufferBytes, remoteLimits_.maxBytes));
    download_ = reply;
    remoteTooBig_ = false;
    const auto tooBig = [this, reply] {
        remoteTooBig_ = true;
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply, tooBig] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > remoteLimits_.maxBytes)
            tooBig();
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply, tooBig] {
        if (reply != download_)
            return;
        if (remoteBytes_.size() + reply->bytesAvailable() > remoteLimits_.maxBytes)
            tooBig();
        else
            remoteBytes_ += reply->readAll();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { remoteFinished(reply); });
    remoteDeadline_->start(remoteLimits_.deadlineMs);
}

void ucAniGIF::remoteFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != download_)
        return; // replaced by a newer download
    download_ = nullptr;
    remoteDeadline_->stop();
    const bool ok = reply->error() == QNetworkReply::NoError && !remoteTooBig_
                    && remoteBytes_.size() + reply->bytesAvailable() <= remoteLimits_.maxBytes;
    QByteArray bytes = std::move(remoteBytes_);
    remoteBytes_.clear();
    std::shared_ptr<const GifAnimation> animation;
    if (ok)
        animation = decode(bytes + reply->readAll());
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
