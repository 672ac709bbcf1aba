// Any strat the readers accept (either format) loads into the board's document, gets a length
// and seeks without a crash, a hang or a length outside the round; a seek is a replay from the
// start, so seeking to one second twice gives the same board.
#include "board/BoardDocument.h"
#include "document/StratFile.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace quorvel;

namespace {
std::vector<PlaybackIcon> icons(const PlaybackModel &pb)
{
    std::vector<PlaybackIcon> all;
    for (int i = 1; i <= pb.objectCount(); ++i)
        all.push_back(pb.icon(i) ? *pb.icon(i) : PlaybackIcon{});
    return all;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    BoardDocument board;
    StratDocument doc;
    OldStratDocument old;
    if (readStrat(bytes, doc)) {
        board.load(std::move(doc));
    } else if (readOldStrat(bytes, old)) {
        convertOldMovements(old);
        board.load(std::move(old.strat), true);
    } else {
        return 0;
    }
    // A copy of the document's playback model, as the dry run works on one.
    const BoardModel &model = board.model();
    PlaybackModel pb = model.playback;

    const PlaybackModel::StratLength length = pb.CalculaTempo();
    if (length.seconds < 0 || length.seconds > pb.settings.roundSeconds())
        std::abort();

    // The time slider runs from 0 to the length: one second picked by the input, then its end.
    pb.setMovementCount(std::min<int>(model.doc.iMovs, kMaxMovements));
    const auto target = static_cast<std::int16_t>(size % (std::size_t(length.seconds) + 1));
    const PlayMode mode = size % 2 ? PlayMode::Play : PlayMode::PlayEdit;
    const PlaybackModel::SeekResult first = pb.UpdateAnimationPosition(target, mode);
    const std::vector<PlaybackIcon> atTarget = icons(pb);
    const std::int32_t frame = pb.lFrameAtual();
    pb.UpdateAnimationPosition(length.seconds, mode);
    const PlaybackModel::SeekResult again = pb.UpdateAnimationPosition(target, mode);
    if (again.failed != first.failed || pb.lFrameAtual() != frame || icons(pb) != atTarget)
        std::abort();
    return 0;
}
