#include "document/StratFile.h"

#include "common/CodePage.h"
#include "common/FileHelpers.h"
#include "document/StratCursor.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace quorvel {

namespace {

// Record sizes, and every count times a size, are worked out in 64 bits: a step count times
// 20 bytes overflows a 32-bit qsizetype and would pass the check against the bytes left.
constexpr qint64 kObjectBytes = 10;
constexpr qint64 kMinTextBytes = 10;
constexpr qint64 kColourBytes = 4;
constexpr qint64 kMinMovementBytes = 6;
constexpr qint64 kMinLinkBytes = 8;
constexpr qint64 kStepBytes = 20;
constexpr qint64 kOldStepBytes = 16;

void readStep(StratCursor &r, tpPasso &s)
{
    s.iIni = r.i32("a step");
    s.X = r.i32("a step");
    s.Y = r.i32("a step");
    s.sVel = r.f32("a step");
    s.sLvl = r.i16("a step");
    s.sDir = r.i16("a step");
}

void readStep(StratCursor &r, tpPassoAntigo &s)
{
    s.iIni = r.i32("a step");
    s.X = r.i32("a step");
    s.Y = r.i32("a step");
    s.sVel = r.f32("a step");
}

// Steps are numbered by an i16 count, so no step past this one can ever be played; an older
// file whose array reaches beyond it, or starts anywhere but at step 0 or 1, is damaged
// (its conversion to an array from 0 would invent every element before the start).
constexpr std::int64_t kMaxOldStepIndex = std::numeric_limits<std::int16_t>::max();

// The program writes a path's steps as elements 0 to itM and converts an older path to 0 to
// its upper bound, so no array it writes is longer than this, and a board of at most 100
// paths holds no more in all. Larger is damage, however many bytes the file has: a sparse
// file has gigabytes that take no room on the disk.
constexpr std::int64_t kMaxStepElements = kMaxOldStepIndex + 1;
constexpr int kMaxPaths = 100;
constexpr std::int64_t kMaxStratStepElements = kMaxPaths * kMaxStepElements;

template <typename Step>
void readMovement(StratCursor &r, BasicMovement<Step> &m, qint64 stepBytes, std::int64_t &elementsLeft)
{
    m.iObj = r.i16("a movement");
    m.itM = r.i16("a movement");
    const std::int16_t dims = r.i16("a movement");
    if (!r.ok())
        return;
    if (dims == 0)
        return; // no array
    if (dims != 1) {
        r.fail(QStringLiteral("a step array with %1 dimensions").arg(dims));
        return;
    }
    r.expect(8); // its count and lower bound
    const std::int32_t count = r.i32("a step array");
    const std::int32_t lower = r.i32("a step array");
    if (!r.ok())
        return;
    if (count < 0) {
        r.fail(QStringLiteral("a step array with a negative size"));
        return;
    }
    if (count > 0 && std::int64_t(lower) + count - 1 > std::numeric_limits<std::int32_t>::max()) {
        r.fail(QStringLiteral("a step array whose bounds overflow"));
        return;
    }
    if constexpr (std::is_same_v<Step, tpPassoAntigo>) {
        if (lower < 0 || lower > 1 || std::int64_t(lower) + count - 1 > kMaxOldStepIndex) {
            r.fail(QStringLiteral("a step array beyond the step numbers"));
            return;
        }
    }
    const qint64 arrayBytes = qint64(count) * stepBytes;
    if (arrayBytes > r.left()) {
        r.fail(QStringLiteral("a step array larger than the file"));
        return;
    }
    if (count > kMaxStepElements) {
        r.fail(QStringLiteral("a step array of %1 elements, where a path holds at most %2").arg(count).arg(kMaxStepElements));
        return;
    }
    if (count > elementsLeft) {
        r.fail(QStringLiteral("step arrays of more than %1 elements in all, more than a board's %2 paths hold")
                   .arg(kMaxStratStepElements)
                   .arg(kMaxPaths));
        return;
    }
    elementsLeft -= count;
    r.expect(arrayBytes);
    m.Passos.dimensioned = true;
    m.Passos.lowerBound = lower;
    m.Passos.items.resize(static_cast<std::size_t>(count));
    for (Step &s : m.Passos.items)
        readStep(r, s);
}

// A section: its count (elements 1 to count follow, each of at least minBytes), then elements
// 0 to count, each read by readOne. Stops at the first fault; a failed reader reads nothing
// more, so the sections after it come out empty and the first fault is the one reported.
template <typename T, typename ReadOne>
void readSection(StratCursor &r, std::int16_t &count, std::vector<T> &items, qint64 minBytes, const char *what,
                 ReadOne readOne)
{
    count = r.count(minBytes, what);
    if (!r.ok())
        return;
    items.resize(static_cast<std::size_t>(count) + 1);
    for (std::size_t i = 0; i < items.size(); ++i) {
        // This record and the ones after it are in the file (count() made sure of it).
        r.beginRecord(minBytes, qint64(items.size() - 1 - i) * minBytes);
        readOne(items[i]);
        if (!r.ok())
            return;
    }
}

void readTexts(StratCursor &r, std::int16_t &count, std::vector<tpTexto> &texts, const char *what)
{
    readSection(r, count, texts, kMinTextBytes, what, [&r, what](tpTexto &t) {
        t.X = r.f32(what);
        t.Y = r.f32(what);
        t.Texto = r.text(what);
    });
}

// Sections 1 to 7; both formats share everything but the step record.
template <typename Step>
void readSections1To7(StratCursor &r, StratDocument &doc, std::vector<BasicMovement<Step>> &movements,
                      qint64 stepBytes)
{
    doc.sOverview = r.fixed(kOverviewFieldBytes, "the header");
    doc.sNomeTatica = r.fixed(kTitleFieldBytes, "the header");

    readSection(r, doc.iObj, doc.tObjetos, kObjectBytes, "the objects", [&r](tpObjeto &o) {
        o.Tipo = r.i16("the objects");
        o.X = r.f32("the objects");
        o.Y = r.f32("the objects");
    });
    readTexts(r, doc.iTxt, doc.tTextos, "the texts");
    readSection(r, doc.iCores, doc.lCorMov, kColourBytes, "the path colours",
                [&r](std::int32_t &c) { c = r.i32("the path colours"); });
    std::int64_t elementsLeft = kMaxStratStepElements;
    readSection(r, doc.iMovs, movements, kMinMovementBytes, "the movements",
                [&r, stepBytes, &elementsLeft](BasicMovement<Step> &m) { readMovement(r, m, stepBytes, elementsLeft); });
    readSection(r, doc.iLinks, doc.tLinks, kMinLinkBytes, "the links", [&r](tpLink &l) {
        l.sLink = r.text("the links");
        l.iLObj = r.i16("the links");
        l.iLMov = r.i16("the links");
        l.iLPasso = r.i16("the links");
    });
}

StratReadResult finish(const StratCursor &r)
{
    StratReadResult result;
    result.ok = r.ok();
    result.error = r.error();
    result.offset = r.pos();
    return result;
}

// Parses into a fresh document and hands it over only when all went well; what was read from
// a file must all come from the file that was opened.
template <typename Doc, typename Parse>
StratReadResult readInto(StratCursor &r, RegularFileReader *file, Doc &out, Parse parse)
{
    Doc doc;
    StratReadResult result = parse(r, doc);
    if (result.ok && file && !file->unchanged()) {
        result.ok = false;
        result.error = file->error();
    }
    if (result.ok)
        out = std::move(doc);
    return result;
}

// A strat file is read only as far as its records go, so its size needs no cap.
template <typename Doc>
StratReadResult readFile(const QString &path, Doc &out)
{
    RegularFileReader file;
    if (!file.open(path, std::numeric_limits<qint64>::max())) {
        StratReadResult refused;
        refused.error = file.error();
        return refused;
    }
    if constexpr (std::is_same_v<Doc, StratDocument>)
        return readStrat(file, out);
    else
        return readOldStrat(file, out);
}

StratReadResult parseStrat(StratCursor &r, StratDocument &doc)
{
    readSections1To7(r, doc, doc.tMovimentos, kStepBytes);
    bool hadMarkers = false;
    if (r.ok()) {
        if (r.atEnd()) {
            // An auto-save backup: no marker section.
            doc.iMkr = 0;
            doc.tMarkers.assign(1, tpTexto{});
        } else {
            readTexts(r, doc.iMkr, doc.tMarkers, "the markers");
            hadMarkers = true;
        }
    }
    StratReadResult result = finish(r);
    result.hadMarkers = hadMarkers;
    return result;
}

StratReadResult parseOldStrat(StratCursor &r, OldStratDocument &doc)
{
    readSections1To7(r, doc.strat, doc.MovimentosAntigos, kOldStepBytes);
    if (r.ok()) {
        doc.strat.tMovimentos.assign(doc.MovimentosAntigos.size(), tpMovimento{});
        doc.strat.iMkr = 0;
        doc.strat.tMarkers.assign(1, tpTexto{});
    }
    return finish(r);
}

// ---- writing ----

class Writer {
public:
    QString error;

    Writer() { buf_.resize(4096); }

    void i16(std::int16_t v) { raw(&v, 2); }
    void u16(std::uint16_t v) { raw(&v, 2); }
    void i32(std::int32_t v) { raw(&v, 4); }
    void f32(float v, const char *what)
    {
        if (!std::isfinite(v))
            fail(QStringLiteral("a number in %1 is not finite").arg(QLatin1String(what)));
        raw(&v, 4);
    }
    void fixed(const QString &value, int width)
    {
        QByteArray b = toAnsi(value).left(width);
        b.append(width - b.size(), ' ');
        raw(b.constData(), width);
    }
    void text(const QString &value, const char *what)
    {
        const QByteArray b = toAnsi(value);
        if (b.size() > kMaxTextBytes) {
            fail(QStringLiteral("a text in %1 is longer than %2 bytes").arg(QLatin1String(what)).arg(kMaxTextBytes));
            return;
        }
        u16(static_cast<std::uint16_t>(b.size()));
        raw(b.constData(), b.size());
    }
    void fail(const QString &why)
    {
        if (error.isEmpty())
            error = why;
    }
    QByteArray take()
    {
        buf_.truncate(used_);
        return std::move(buf_);
    }

private:
    // Appends through a raw pointer into a buffer that grows by doubling: a large strat is
    // hundreds of thousands of small fields.
    void raw(const void *src, qsizetype n)
    {
        // In 64 bits, so that neither the sum nor the doubling wraps where qsizetype is 32.
        const qint64 needed = qint64(used_) + n;
        if (needed > std::numeric_limits<qsizetype>::max()) {
            fail(QStringLiteral("the strat is too large to save"));
            return;
        }
        if (needed > buf_.size())
            buf_.resize(qsizetype(std::clamp(qint64(buf_.size()) * 2, needed, qint64(std::numeric_limits<qsizetype>::max()))));
        std::memcpy(buf_.data() + used_, src, static_cast<std::size_t>(n));
        used_ += n;
    }

    QByteArray buf_;
    qsizetype used_ = 0;
};

// Record i of an array, or an empty record where the array is shorter than its count says.
template <typename T>
const T &recordAt(const std::vector<T> &v, int i)
{
    static const T empty{};
    return i >= 0 && std::size_t(i) < v.size() ? v[std::size_t(i)] : empty;
}

void writeTexts(Writer &w, std::int16_t count, const std::vector<tpTexto> &texts, const char *what)
{
    w.i16(count);
    for (int i = 0; i <= count; ++i) {
        const tpTexto &t = recordAt(texts, i);
        w.f32(t.X, what);
        w.f32(t.Y, what);
        w.text(t.Texto, what);
    }
}

} // namespace

StratReadResult readStrat(QByteArrayView data, StratDocument &out)
{
    StratCursor r(data);
    return readInto(r, nullptr, out, parseStrat);
}

StratReadResult readStrat(RegularFileReader &file, StratDocument &out)
{
    StratCursor r(file);
    return readInto(r, &file, out, parseStrat);
}

StratReadResult readStratFile(const QString &path, StratDocument &out) { return readFile(path, out); }

StratReadResult readOldStrat(QByteArrayView data, OldStratDocument &out)
{
    StratCursor r(data);
    return readInto(r, nullptr, out, parseOldStrat);
}

StratReadResult readOldStrat(RegularFileReader &file, OldStratDocument &out)
{
    StratCursor r(file);
    return readInto(r, &file, out, parseOldStrat);
}

StratReadResult readOldStratFile(const QString &path, OldStratDocument &out) { return readFile(path, out); }

void convertOldMovements(OldStratDocument &old)
{
    StratDocument &doc = old.strat;
    doc.tMovimentos.resize(old.MovimentosAntigos.size());
    for (std::size_t i = 1; i < old.MovimentosAntigos.size(); ++i) {
        const tpMovimentoAntigo &src = old.MovimentosAntigos[i];
        tpMovimento &dst = doc.tMovimentos[i];
        dst.iObj = src.iObj;
        dst.itM = src.itM;
        dst.Passos.clear();
        if (!src.Passos.dimensioned)
            continue;
        const std::int64_t upper = src.Passos.upperBound();
        if (upper < 0)
            continue; // nothing from 0 up: the converted array stays empty
        dst.Passos = StepArray<tpPasso>::zeroTo(static_cast<std::int32_t>(upper));
        for (std::int64_t p = 1; p <= upper; ++p) {
            if (!src.Passos.contains(p))
                continue;
            const tpPassoAntigo &s = src.Passos.at(p);
            dst.Passos.at(p) = tpPasso{s.iIni, s.X, s.Y, s.sVel, 0, 0};
        }
    }
}

void makeSavePlaceholders(StratDocument &doc, bool withMarkers)
{
    auto textPlaceholder = [](std::int16_t &count, std::vector<tpTexto> &texts) {
        if (count != 0)
            return;
        count = 1;
        texts.assign(2, tpTexto{});
        texts[1] = deletedText();
    };
    textPlaceholder(doc.iTxt, doc.tTextos);
    if (withMarkers)
        textPlaceholder(doc.iMkr, doc.tMarkers);
    if (doc.iMovs == 0) {
        doc.iMovs = 1;
        doc.tMovimentos.assign(2, tpMovimento{});
        doc.tMovimentos[1].itM = 1;
        doc.tMovimentos[1].iObj = kPlaceholderMovementObject;
        doc.tMovimentos[1].Passos = StepArray<tpPasso>::zeroTo(1);
        doc.iCores = 1;
        doc.lCorMov.assign(2, 0);
    }
    if (doc.iObj == 0)
        doc.tObjetos.assign(1, tpObjeto{DeletedObject, 0, 0});
}

QByteArray writeStrat(const StratDocument &doc, StratSections sections, QString *error)
{
    Writer w;
    w.fixed(doc.sOverview, kOverviewFieldBytes);
    w.fixed(doc.sNomeTatica, kTitleFieldBytes);

    w.i16(doc.iObj);
    for (int i = 0; i <= doc.iObj; ++i) {
        const tpObjeto &o = recordAt(doc.tObjetos, i);
        w.i16(o.Tipo);
        w.f32(o.X, "the objects");
        w.f32(o.Y, "the objects");
    }

    writeTexts(w, doc.iTxt, doc.tTextos, "the texts");

    w.i16(doc.iCores);
    for (int i = 0; i <= doc.iCores; ++i)
        w.i32(recordAt(doc.lCorMov, i));

    w.i16(doc.iMovs);
    for (int i = 0; i <= doc.iMovs; ++i) {
        const tpMovimento &m = recordAt(doc.tMovimentos, i);
        w.i16(m.iObj);
        w.i16(m.itM);
        if (!m.Passos.dimensioned) {
            w.i16(0);
            continue;
        }
        w.i16(1);
        w.i32(static_cast<std::int32_t>(m.Passos.items.size()));
        w.i32(m.Passos.lowerBound);
        for (const tpPasso &s : m.Passos.items) {
            w.i32(s.iIni);
            w.i32(s.X);
            w.i32(s.Y);
            w.f32(s.sVel, "a step");
            w.i16(s.sLvl);
            w.i16(s.sDir);
        }
    }

    w.i16(doc.iLinks);
    for (int i = 0; i <= doc.iLinks; ++i) {
        const tpLink &l = recordAt(doc.tLinks, i);
        w.text(l.sLink, "the links");
        w.i16(l.iLObj);
        w.i16(l.iLMov);
        w.i16(l.iLPasso);
    }

    if (sections == StratSections::All)
        writeTexts(w, doc.iMkr, doc.tMarkers, "the markers");

    if (!w.error.isEmpty()) {
        if (error)
            *error = w.error;
        return {};
    }
    return w.take();
}

bool writeStratFile(const QString &path, const StratDocument &doc, StratSections sections, QString *error)
{
    QString why;
    const QByteArray bytes = writeStrat(doc, sections, &why);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

QString stratErrorDetails(const QString &path, const QString &error)
{
    const QString name = QFileInfo(path).fileName();
    const QString why = error.isEmpty() ? QStringLiteral("not a strat file") : error;
    return name.isEmpty() ? why : name + QStringLiteral(": ") + why;
}

} // namespace quorvel
