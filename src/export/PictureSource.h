#pragma once
// Where an encode job takes its pictures from. A recording's are the numbered frame files of
// the work folder; a test's source can hold the encoder busy for as long as it likes, which is
// how the program's promise that nothing waits for the encoder is seen.

#include "export/AviWriter.h"

namespace quorvel {

class PictureSource {
public:
    virtual ~PictureSource() = default;
    // Picture number (1 and on), or a null one with *why saying in words which one and why.
    // Called from several of the job's threads at once.
    virtual PaddedPicture picture(int number, QString *why) const = 0;
};

// The frame files "0001.bmp" and on of a folder, each read only when it is a regular file of
// our own (no link followed, no pipe waited on).
class FramePictures : public PictureSource {
public:
    explicit FramePictures(QString folder) : folder_(std::move(folder)) {}
    PaddedPicture picture(int number, QString *why) const override;

private:
    QString folder_;
};

} // namespace quorvel
