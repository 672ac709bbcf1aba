#include "playback/PlaybackModel.h"

#include "common/Rounding.h"

#include <algorithm>
#include <limits>

namespace quorvel {

namespace {
template <typename T>
T saturatingAdd(T value, std::int64_t inc)
{
    const std::int64_t v = std::int64_t(value) + inc;
    return static_cast<T>(std::clamp<std::int64_t>(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// iconPictureFor() depends on the level only through the size it picks (0 normal, -1 small,
// any other large) and on the facing only through 1..8 versus none. The seek, which asks for
// every slot on every frame, looks its pictures up in a table filled from it.
constexpr int kPictureTypes = 25; // types 0..24; iconPictureFor() has none for the others
using PictureRow = std::optional<IconPicture>[9];
struct PictureTable {
    PictureRow bySize[kPictureTypes][3];
};

const PictureTable &pictureTable()
{
    static const PictureTable table = [] {
        PictureTable t;
        for (int type = 0; type < kPictureTypes; ++type)
            for (int size = 0; size < 3; ++size)
                for (int facing = 0; facing < 9; ++facing)
                    t.bySize[type][size][facing] = iconPictureFor(type, size == 0 ? 0 : size == 1 ? -1 : 1, facing);
        return t;
    }();
    return table;
}

PlaybackIcon iconAtStart(const tpObjeto &o)
{
    PlaybackIcon icon;
    icon.exists = o.Tipo != DeletedObject;
    icon.Left = o.X;
    icon.Top = o.Y;
    icon.Visible = true;
    icon.picture = plainPicture(o.Tipo);
    return icon;
}
} // namespace

PlaybackModel::PlaybackModel(const PlaybackModel &other)
    : settings(other.settings), m_objects(other.m_objects), m_icons(other.m_icons), m_iMovs(other.m_iMovs),
      m_lFrameAtual(other.m_lFrameAtual), m_iSegs(other.m_iSegs), m_iTempoRestante(other.m_iTempoRestante)
{
    for (std::size_t k = 0; k < m_slots.size(); ++k)
        if (other.m_slots[k])
            m_slots[k] = std::make_unique<clsMovimento>(*other.m_slots[k]);
}

PlaybackModel &PlaybackModel::operator=(const PlaybackModel &other)
{
    if (this != &other) {
        PlaybackModel copy(other);
        settings = copy.settings;
        m_objects = std::move(copy.m_objects);
        m_icons = std::move(copy.m_icons);
        m_slots = std::move(copy.m_slots);
        m_iMovs = copy.m_iMovs;
        m_lFrameAtual = copy.m_lFrameAtual;
        m_iSegs = copy.m_iSegs;
        m_iTempoRestante = copy.m_iTempoRestante;
    }
    return *this;
}

void PlaybackModel::setObjects(const std::vector<tpObjeto> &tObjetos)
{
    m_objects = tObjetos.empty() ? std::vector<tpObjeto>{tpObjeto{}} : tObjetos;
    m_icons.assign(m_objects.size(), PlaybackIcon{});
    for (std::size_t i = 1; i < m_objects.size(); ++i)
        m_icons[i] = iconAtStart(m_objects[i]);
}

void PlaybackModel::setObject(int i, const tpObjeto &o)
{
    if (i < 1)
        return;
    if (std::size_t(i) >= m_objects.size()) {
        m_objects.resize(std::size_t(i) + 1, tpObjeto{DeletedObject, 0, 0});
        m_icons.resize(std::size_t(i) + 1, PlaybackIcon{});
    }
    m_objects[std::size_t(i)] = o;
    m_icons[std::size_t(i)] = iconAtStart(o);
}

const tpObjeto *PlaybackModel::object(int i) const
{
    return i >= 1 && i < int(m_objects.size()) ? &m_objects[std::size_t(i)] : nullptr;
}

PlaybackIcon *PlaybackModel::icon(int i)
{
    if (i < 1 || i >= int(m_icons.size()) || !m_icons[std::size_t(i)].exists)
        return nullptr;
    return &m_icons[std::size_t(i)];
}

const PlaybackIcon *PlaybackModel::icon(int i) const { return const_cast<PlaybackModel *>(this)->icon(i); }

clsMovimento *PlaybackModel::Movimento(int slot)
{
    if (slot < 1 || slot > kMaxSlots)
        return nullptr;
    auto &m = m_slots[std::size_t(slot)];
    if (!m)
        m = std::make_unique<clsMovimento>();
    return m.get();
}

const clsMovimento *PlaybackModel::findMovimento(int slot) const
{
    return slot >= 1 && slot <= kMaxSlots ? m_slots[std::size_t(slot)].get() : nullptr;
}

void PlaybackModel::setMovementCount(int iMovs) { m_iMovs = std::clamp(iMovs, 0, kMaxSlots); }

void PlaybackModel::resetToStart()
{
    for (std::size_t i = 1; i < m_objects.size(); ++i)
        m_icons[i] = iconAtStart(m_objects[i]);
    for (int k = 1; k <= m_iMovs; ++k)
        Movimento(k)->Reseta();
    m_lFrameAtual = 0;
    m_iSegs = 0;
    m_iTempoRestante = settings.roundSeconds();
}

void PlaybackModel::hideLateIcons()
{
    for (std::size_t i = 1; i < m_icons.size(); ++i)
        if (m_icons[i].exists && isSmallObjectType(m_objects[i].Tipo))
            m_icons[i].Visible = false;
}

void PlaybackModel::hideIconsOfHeight(int heightTwips)
{
    for (auto &icon : m_icons)
        if (icon.exists && iconHeightTwips(icon.picture) == heightTwips)
            icon.Visible = false;
}

PlaybackModel::PassResult PlaybackModel::movePass(bool stopAtFailure)
{
    PassResult result;
    for (int k = 1; k <= m_iMovs; ++k) {
        clsMovimento &m = *Movimento(k);
        const int o = m.iObj;
        PlaybackIcon *ic = icon(o);
        std::int16_t facing = 0;
        clsMovimento::MoveResult r;
        if (ic) {
            r = m.Move(*ic, m_lFrameAtual, m_objects[std::size_t(o)].Tipo, facing, settings);
        } else if (m.itM() > 0) {
            r.ok = false; // a path without an icon to walk
        }
        if (!r.ok) {
            ++result.failedSlots;
            if (stopAtFailure)
                return result;
            continue;
        }
        if (r.burst)
            result.bursts.push_back(*r.burst);
        if (ic)
            SetIconPicture(*ic, m_objects[std::size_t(o)].Tipo, r.level, facing);
    }
    return result;
}

void PlaybackModel::collectWalkers(std::vector<Walker> &walkers)
{
    walkers.clear();
    walkers.reserve(std::size_t(m_iMovs));
    for (int k = 1; k <= m_iMovs; ++k) {
        Walker w;
        w.path = Movimento(k);
        w.icon = icon(w.path->iObj);
        if (w.icon) {
            w.type = m_objects[std::size_t(w.path->iObj)].Tipo;
            if (w.type >= 0 && w.type < kPictureTypes)
                w.pictures = pictureTable().bySize[w.type];
        }
        walkers.push_back(w);
    }
}

bool PlaybackModel::moveWalkers(const std::vector<Walker> &walkers)
{
    for (const Walker &w : walkers) {
        if (!w.icon) {
            if (w.path->itM() > 0)
                return false; // a path without an icon to walk
            continue;
        }
        std::int16_t facing = 0;
        const clsMovimento::MoveResult r = w.path->Move(*w.icon, m_lFrameAtual, w.type, facing, settings);
        if (!r.ok)
            return false;
        if (w.pictures) {
            // Without branches: levels and facings vary from slot to slot.
            const int size = int(r.level != 0) + int(r.level != 0 && r.level != -1);
            const int f = static_cast<unsigned>(facing - 1) < 8u ? facing : 0;
            if (const std::optional<IconPicture> &p = w.pictures[size][f])
                w.icon->picture = *p;
        }
    }
    return true;
}

PlaybackModel::Advance PlaybackModel::advanceCounters()
{
    Advance a;
    m_lFrameAtual = saturatingAdd(m_lFrameAtual, settings.frameStep());
    if (m_lFrameAtual % kFramesPerSecond == 0) {
        m_iSegs = saturatingAdd(m_iSegs, 1);
        m_iTempoRestante = saturatingAdd(m_iTempoRestante, -1);
        a.secondElapsed = true;
    }
    a.roundOver = m_iTempoRestante <= 0; // also a round of 0 s, or a countdown resumed past 0
    return a;
}

PlaybackModel::Advance PlaybackModel::advanceWalkers(const std::vector<Walker> &walkers)
{
    const std::int32_t inc = settings.frameStep();
    for (const Walker &w : walkers)
        w.path->addFrames(inc);
    return advanceCounters();
}

PlaybackModel::Advance PlaybackModel::advanceFrame()
{
    const std::int32_t inc = settings.frameStep();
    for (int k = 1; k <= m_iMovs; ++k)
        Movimento(k)->addFrames(inc);
    return advanceCounters();
}

PlaybackModel::FrameResult PlaybackModel::stepFrame()
{
    FrameResult f;
    f.pass = movePass();
    f.advance = advanceFrame();
    return f;
}

PlaybackModel::StratLength PlaybackModel::CalculaTempo() const
{
    // Copies of the paths and of the positions: a dry run never disturbs live playback.
    const std::int16_t round = settings.roundSeconds();
    const std::int32_t inc = settings.frameStep();
    std::vector<clsMovimento> paths(static_cast<std::size_t>(m_iMovs));
    for (int k = 1; k <= m_iMovs; ++k) {
        if (const clsMovimento *m = findMovimento(k))
            paths[std::size_t(k - 1)] = *m;
        paths[std::size_t(k - 1)].Reseta();
    }
    const int iObj = objectCount();
    std::vector<std::int32_t> left(std::size_t(iObj) + 2, 0), top(std::size_t(iObj) + 2, 0);
    for (int i = 1; i <= iObj; ++i) {
        left[std::size_t(i)] = toInt32(m_objects[std::size_t(i)].X).value_or(0);
        top[std::size_t(i)] = toInt32(m_objects[std::size_t(i)].Y).value_or(0);
    }

    StratLength result;
    std::int32_t frame = 0;
    std::int32_t secondsLeft = round;
    std::int32_t counted = 0;
    bool allComplete = true;
    // A path whose object is out of range fails on the first frame whatever the others do.
    for (const auto &m : paths)
        if (m.iObj < 0 || m.iObj > iObj + 1)
            result.failed = true;
    while (!result.failed) {
        allComplete = true;
        for (auto &m : paths) {
            const std::size_t o = std::size_t(m.iObj);
            const auto r = m.MoveCalc(top[o], left[o], frame, settings);
            if (!r) {
                result.failed = true;
                break;
            }
            allComplete = allComplete && *r;
            m.addFrames(inc); // each path's own counter: nothing else in this frame reads it
        }
        if (result.failed)
            break;
        frame = saturatingAdd(frame, inc);
        if (frame % kFramesPerSecond == 0) {
            --secondsLeft;
            ++counted;
        }
        if (allComplete || secondsLeft <= 0)
            break;
    }

    if (result.failed) {
        result.seconds = round;
    } else if (allComplete) {
        // Motion that ends within the round fits, even on the round's very last frame.
        result.seconds = std::int16_t(std::min<std::int32_t>(counted + 1, round));
    } else {
        result.seconds = round;
        result.longerThanRound = true;
    }
    return result;
}

PlaybackModel::SeekResult PlaybackModel::UpdateAnimationPosition(std::int16_t targetSeconds, PlayMode mode)
{
    SeekResult result;
    resetToStart();
    if (mode != PlayMode::Stopped)
        hideLateIcons();
    const std::int16_t target = std::max<std::int16_t>(targetSeconds, 0);
    // The replay is movePass(true) + advanceFrame() per frame; nothing but the replay touches
    // the objects and slots meanwhile, so they are looked up once.
    std::vector<Walker> walkers;
    collectWalkers(walkers);
    while (m_iSegs != target) {
        if (!moveWalkers(walkers)) {
            result.failed = true;
            return result;
        }
        if (advanceWalkers(walkers).roundOver)
            result.roundOver = true;
    }
    return result;
}

QString formatElapsed(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, QLatin1Char('0')).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString formatRoundTime(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace quorvel
