#include "export/WindowCapture.h"

#include <QMdiSubWindow>
#include <QPixmap>
#include <QWidget>

namespace quorvel {

QWidget *captureWindowOf(QWidget *w)
{
    if (!w)
        return nullptr;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        return sub;
    return w;
}

QImage CaptureFormImage(QWidget *form)
{
    QWidget *window = captureWindowOf(form);
    if (!window || window->width() <= 0 || window->height() <= 0)
        return QImage();
    QPixmap pixmap = window->grab();
    if (pixmap.isNull())
        return QImage();
    QImage image = pixmap.toImage();
    // A high-density screen renders more pixels than the window has: the picture keeps one
    // pixel per widget pixel, the size the video and the picture file expect.
    if (image.size() != window->size())
        image = image.scaled(window->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1.0);
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

QImage CaptureFormImageWithout(QWidget *form, const QList<QWidget *> &hidden)
{
    QList<bool> wasHidden;
    wasHidden.reserve(hidden.size());
    for (QWidget *w : hidden) {
        wasHidden.append(w && w->isHidden());
        if (w)
            w->hide();
    }
    QImage image = CaptureFormImage(form);
    for (qsizetype i = 0; i < hidden.size(); ++i)
        if (hidden.at(i))
            hidden.at(i)->setHidden(wasHidden.at(i));
    return image;
}

} // namespace quorvel
