#include "document/StratCursor.h"

#include "common/CodePage.h"
#include "common/FileHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvel {

namespace {
// A file is read in pieces of up to this size where the records are sure to need them: a
// large strat takes a few reads, and a small one never more than it holds.
constexpr qint64 kPieceBytes = 64 * 1024;
} // namespace

StratCursor::StratCursor(QByteArrayView data) : window_(data), size_(data.size()) {}

StratCursor::StratCursor(RegularFileReader &file) : file_(&file), size_(file.size()) {}

void StratCursor::fail(const QString &why)
{
    if (error_.isEmpty())
        error_ = why + QStringLiteral(" (at byte %1)").arg(pos_);
}

void StratCursor::expect(qint64 bytes)
{
    expected_ = std::max(expected_, pos_ + std::min(bytes + later_, left()));
}

bool StratCursor::fetch(qint64 n)
{
    // What is at hand and not read yet moves to the front; the rest comes from the file.
    const qint64 kept = windowStart_ + window_.size() - pos_;
    const qint64 want = std::min(left(), std::max(n, std::min(kPieceBytes, expected_ - pos_)));
    if (kept > 0)
        std::memmove(buffer_.data(), buffer_.constData() + (pos_ - windowStart_), static_cast<std::size_t>(kept));
    if (buffer_.size() < want)
        buffer_.resize(want);
    windowStart_ = pos_;
    window_ = {};
    if (!file_->read(buffer_.data() + kept, want - kept)) {
        fail(file_->error());
        return false;
    }
    window_ = QByteArrayView(buffer_.constData(), want);
    return true;
}

QByteArrayView StratCursor::refused(const char *what)
{
    if (ok())
        fail(QStringLiteral("the file ends inside %1").arg(QLatin1String(what)));
    return {};
}

float StratCursor::f32(const char *what)
{
    const std::uint32_t bits = u32(what);
    float v;
    std::memcpy(&v, &bits, 4);
    if (ok() && !std::isfinite(v)) {
        fail(QStringLiteral("a number in %1 is not finite").arg(QLatin1String(what)));
        return 0;
    }
    return v;
}

QString StratCursor::fixed(qint64 n, const char *what) { return fromAnsi(bytes(n, what)); }

QString StratCursor::text(const char *what) { return fromAnsi(bytes(u16(what), what)); }

std::int16_t StratCursor::count(qint64 minRecordBytes, const char *what)
{
    const std::int16_t n = i16(what);
    if (!ok())
        return 0;
    if (n < 0) {
        fail(QStringLiteral("negative count in %1").arg(QLatin1String(what)));
        return 0;
    }
    if ((qint64(n) + 1) * minRecordBytes > left()) {
        fail(QStringLiteral("count in %1 exceeds the file").arg(QLatin1String(what)));
        return 0;
    }
    return n;
}

} // namespace quorvel
