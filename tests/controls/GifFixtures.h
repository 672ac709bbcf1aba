#pragma once
// Small GIFs for the control tests, written with our encoder: each frame a solid block of its
// own colour index, so the frame on display can be told by a pixel.

#include "gif/GifImage.h"

#include <QByteArray>
#include <QColor>

namespace quorvel::test {

struct GifRecipe {
    int frames = 5;
    QSize size{8, 8};
    int delayMs = 0;
    int loopCount = -1; // -1: no loop block
    int disposal = 1;
    bool localTables = false; // frames 2.. carry their own table
};

// Frame k (1-based) is filled with colour index k of the global table: colour (k * 20, 0, 0).
inline QByteArray makeGif(const GifRecipe &recipe)
{
    GifEncodeInput in;
    in.screen = recipe.size;
    in.loopCount = recipe.loopCount;
    for (int i = 0; i < 16; ++i)
        in.globalColors.append(qRgb(i * 20, 0, 0));
    for (int k = 1; k <= recipe.frames; ++k) {
        GifEncodeFrame f;
        f.size = recipe.size;
        f.indices = QByteArray(qsizetype(recipe.size.width()) * recipe.size.height(), char(k % 16));
        f.delayMs = recipe.delayMs;
        f.disposal = recipe.disposal;
        if (recipe.localTables && k > 1)
            for (int i = 0; i < 16; ++i)
                f.localColors.append(qRgb(0, i * 20, 0));
        in.frames.push_back(f);
    }
    return encodeGif(in);
}

// Which fixture frame a picture shows (0 when it is none of them).
inline int frameShown(const QImage &picture)
{
    if (picture.isNull())
        return 0;
    const QRgb c = picture.pixel(picture.width() / 2, picture.height() / 2);
    return qRed(c) ? qRed(c) / 20 : qGreen(c) / 20;
}

} // namespace quorvel::test
