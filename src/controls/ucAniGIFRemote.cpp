// The remote loader of the animated control: a GIF fetched in the background.
#include "controls/ucAniGIF.h"

#include "common/Rounding.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace quorvel {

namespace {

int le16(QByteArrayView b, qsizetype at) { return std::uint8_t(b[at]) | (std::uint8_t(b[at + 1]) << 8); }

} // namespace

void ucAniGIF::LoadAnimatedGIF_Remote(const QString &RemotePath)
{
    if (RemotePath.isEmpty())
        return;
    if (download_) { // one download per control: a new one replaces it
        QNetworkReply *old = download_;
        download_ = nullptr;
        old->abort();
    }
    const QUrl url(RemotePath);
    if (!url.isValid() || url.isRelative()) {
        emit RemoteLoadFailure();
        return;
    }
    if (!network_)
        network_ = new QNetworkAccessManager(this);
    QNetworkReply *reply = network_->get(QNetworkRequest(url));
    download_ = reply;
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64 total) {
        // A reader trusts nothing: a download larger than any GIF we load stops here.
        if (received > GifLimits::maxFileBytes || total > GifLimits::maxFileBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { remoteFinished(reply); });
}

void ucAniGIF::remoteFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != download_)
        return; // replaced by a newer download
    download_ = nullptr;
    if (reply->error() != QNetworkReply::NoError) {
        emit RemoteLoadFailure();
        return;
    }
    const QByteArray bytes = reply->readAll();
    if (bytes.size() <= 14) {
        emit RemoteLoadFailure();
        return;
    }
    const QByteArray signature = bytes.left(6).toLower();
    if (signature != "gif89a" && signature != "gif87a") {
        emit RemoteLoadFailure();
        return;
    }
    bool cancel = false;
    emit RemoteLoadComplete(float(le16(bytes, 6) * kTwipsPerPixel), float(le16(bytes, 8) * kTwipsPerPixel), &cancel);
    if (cancel)
        return;
    if (processGIF(bytes) && (stretch_ == 1 || stretch_ == 3 || stretch_ == 4))
        fitToImage(true);
}

} // namespace quorvel
