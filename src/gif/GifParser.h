#pragma once
// Inside the GIF engine: the block parser and the LZW decoder.

#include "gif/GifImage.h"

namespace quorvel::gif {

// An image found by the parser: its record (indices still empty) and where its compressed
// data lies.
struct ParsedImage {
    GifFrame frame;
    bool interlaced = false;
    int minCodeSize = 0;
    QByteArrayView subBlocks;   // from the first size byte up to the stream's end or the terminator
};

struct ParsedGif {
    QSize size;
    QSize screen;
    int loopCount = 0;
    std::vector<GifColorTable> colorTables;
    std::vector<ParsedImage> images;
};

// Walks the blocks without decoding. False with the reason when the stream cannot load; a
// stream cut short keeps the images stored before the cut (one cut inside its data is kept).
bool parseGif(QByteArrayView data, ParsedGif &out, QString *error);

// Decodes one image's LZW data: width x height palette indices, rows top-down. Whatever the
// data does not reach (a code size outside 2..8, a code out of range, an early end) stays 0.
QByteArray decodeGifImage(QByteArrayView subBlocks, int minCodeSize, bool interlaced, int width,
                          int height);

} // namespace quorvel::gif
