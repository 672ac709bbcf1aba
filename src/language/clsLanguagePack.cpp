#include "language/clsLanguagePack.h"

#include "common/ByteReader.h"
#include "common/FileHelpers.h"

#include <QDir>
#include <QFileInfo>

#include <cstdint>
#include <limits>

namespace quorvel {

namespace {

constexpr qsizetype kHeaderTagBytes = 4;
constexpr qsizetype kHeaderTextBytes = 32;
constexpr qsizetype kTrailerBytes = 4;
constexpr qsizetype kMinFormBytes = 4 * 2 + 2 + 2;
constexpr qsizetype kMinControlBytes = 6 * 2 + kTrailerBytes;
constexpr qsizetype kMinStringBytes = 2 * 2;
constexpr int kScrambleOffset = 5;
constexpr qsizetype kMaxPlainText = 32767;
constexpr qsizetype kMaxStoredText = 65535;
// Far above any real pack; a larger file is not read into memory.
constexpr qint64 kMaxPackFileBytes = qint64(64) << 20;

class Writer {
public:
    explicit Writer(const CodePage &cp) : cp_(cp) {}

    bool ok() const { return error_.isEmpty(); }
    const QString &error() const { return error_; }
    QByteArray &bytes() { return out_; }

    void fail(const QString &why)
    {
        if (error_.isEmpty())
            error_ = why;
    }

    void u16(std::uint16_t v)
    {
        out_.append(char(v & 0xFF));
        out_.append(char(v >> 8));
    }
    void i32(std::int32_t v)
    {
        const auto u = std::uint32_t(v);
        for (int shift = 0; shift < 32; shift += 8)
            out_.append(char((u >> shift) & 0xFF));
    }

    // A text kept as stored: the code page's bytes as they are.
    void raw(const QString &text, const char *what)
    {
        const QByteArray b = cp_.encode(text);
        if (b.size() > kMaxStoredText) {
            fail(QStringLiteral("%1 is longer than %2 bytes").arg(QLatin1String(what)).arg(kMaxStoredText));
            return;
        }
        u16(std::uint16_t(b.size()));
        out_.append(b);
    }

    // A text in use: each plain byte plus 5.
    void scrambled(const QString &text, const char *what)
    {
        QByteArray b = cp_.encode(text);
        if (b.size() > kMaxPlainText) {
            fail(QStringLiteral("%1 is longer than %2 bytes").arg(QLatin1String(what)).arg(kMaxPlainText));
            return;
        }
        for (char &c : b) {
            const int plain = std::uint8_t(c);
            if (plain + kScrambleOffset > 255) {
                fail(QStringLiteral("%1 \"%2\" holds a character a pack cannot store")
                         .arg(QLatin1String(what), text));
                return;
            }
            c = char(plain + kScrambleOffset);
        }
        u16(std::uint16_t(b.size()));
        out_.append(b);
    }

private:
    const CodePage &cp_;
    QByteArray out_;
    QString error_;
};

// Whether control index j (1-based) lies within the record's stored array.
bool controlCountFits(const LpkFormRecord &f)
{
    if (f.ControlCount < 1)
        return true;
    return f.control(1) != nullptr && f.control(f.ControlCount) != nullptr;
}

struct Unscrambler {
    const CodePage &cp;
    QString error;

    QString operator()(const QString &stored, const char *what)
    {
        if (!error.isEmpty())
            return {};
        const auto plain = clsLanguagePack::Decrypt(cp.encode(stored));
        if (!plain) {
            error = QStringLiteral("%1 cannot be unscrambled").arg(QLatin1String(what));
            return {};
        }
        return cp.decode(*plain);
    }
};

// The highest index of a list of records (0 to it are stored), refused when negative or when
// that many records of at least recordBytes each cannot be in what is left of the pack.
int readRecordCount(ByteReader &in, const char *what, qsizetype recordBytes)
{
    const int count = in.i16(what);
    if (in.ok() && count < 0)
        in.fail(QStringLiteral("%1 %2 is negative").arg(QLatin1String(what)).arg(count));
    else if (in.ok() && (qsizetype(count) + 1) * recordBytes > in.left())
        in.fail(QStringLiteral("%1 %2 is larger than the pack").arg(QLatin1String(what)).arg(count));
    return count;
}

} // namespace

const LpkControlRecord *LpkFormRecord::control(qint64 i) const
{
    if (!hasControls)
        return nullptr;
    const qint64 at = i - qint64(controlsLowerBound);
    return at >= 0 && at < Controls.size() ? &Controls[at] : nullptr;
}

CodePage::Id codePageForLanguage(const QString &languageName)
{
    static const char *const centralEuropean[] = {"Romanian", "Polish", "Czech", "Slovak",
                                                  "Hungarian", "Croatian", "Slovenian",
                                                  "Albanian", "Serbian"};
    for (const char *name : centralEuropean) {
        if (languageName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return CodePage::Windows1250;
    }
    return CodePage::Windows1252;
}

std::optional<QByteArray> clsLanguagePack::Decrypt(QByteArrayView stored)
{
    if (stored.size() > kMaxPlainText)
        return std::nullopt;
    QByteArray plain(stored.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const int code = std::uint8_t(stored[i]) - kScrambleOffset;
        if (code < 0)
            return std::nullopt;
        plain[i] = char(code);
    }
    return plain;
}

PackReadResult readLanguagePack(QByteArrayView bytes, CodePage::Id codePage, LanguagePackData &out)
{
    const CodePage &cp = CodePage::get(codePage);
    ByteReader in(bytes, QLatin1StringView("the pack"));
    LanguagePackData pack;
    auto text = [&](const char *what) { return cp.decode(in.countedBytes(what)); };

    pack.sHeaderTag = in.bytes(kHeaderTagBytes, "the header").toByteArray();
    pack.sHeaderText = in.bytes(kHeaderTextBytes, "the header").toByteArray();

    const int formCount = readRecordCount(in, "the form count", kMinFormBytes);
    pack.tForms.clear();
    for (int i = 0; in.ok() && i <= formCount; ++i) {
        LpkFormRecord f;
        f.Reserved = text("a form record");
        f.FormName = text("a form record");
        f.Caption = text("a form record");
        f.Caption2 = text("a form record");
        f.ControlCount = in.i16("a form record");
        const int dims = in.i16("a form record");
        if (in.ok() && dims != 0 && dims != 1) {
            in.fail(QStringLiteral("a form's control list has %1 dimensions").arg(dims));
            break;
        }
        if (dims == 1) {
            const qint64 count = in.i32("a form's control list");
            const qint64 lower = in.i32("a form's control list");
            if (in.ok() && count < 0) {
                in.fail(QStringLiteral("a form's control list has %1 elements").arg(count));
                break;
            }
            if (in.ok() && count * kMinControlBytes > in.left()) {
                in.fail(QStringLiteral("a form's control list of %1 elements is larger than the pack").arg(count));
                break;
            }
            if (in.ok() && count > 0 && lower + count - 1 > std::numeric_limits<qint32>::max()) {
                in.fail(QStringLiteral("a form's control list runs past the largest index"));
                break;
            }
            f.hasControls = true;
            f.controlsLowerBound = qint32(lower);
            for (qint64 j = 0; in.ok() && j < count; ++j) {
                LpkControlRecord c;
                c.Reserved = text("a control record");
                c.ControlSpec = text("a control record");
                c.Caption = text("a control record");
                c.ToolTip = text("a control record");
                c.Caption2 = text("a control record");
                c.ToolTip2 = text("a control record");
                c.Trailer = in.bytes(kTrailerBytes, "a control record").toByteArray();
                f.Controls.append(std::move(c));
            }
        }
        if (in.ok() && i > 0 && !controlCountFits(f)) {
            in.fail(QStringLiteral("form record %1 uses %2 controls, more than it stores")
                        .arg(i)
                        .arg(f.ControlCount));
        }
        pack.tForms.append(std::move(f));
    }

    const int stringCount = readRecordCount(in, "the string count", kMinStringBytes);
    pack.tStrings.clear();
    for (int i = 0; in.ok() && i <= stringCount; ++i) // a braced list reads its key, then its value
        pack.tStrings.append(LpkStringRecord{text("a string record"), text("a string record")});
    if (!in.ok())
        return {false, in.error(), in.pos()};

    // Only the texts in use are unscrambled; record 0 and each control's Reserved stay stored.
    Unscrambler plain{cp, {}};
    for (int i = 1; i < pack.tForms.size(); ++i) {
        LpkFormRecord &f = pack.tForms[i];
        f.Reserved = plain(f.Reserved, "a form's reserved text");
        f.FormName = plain(f.FormName, "a form name");
        f.Caption = plain(f.Caption, "a form caption");
        f.Caption2 = plain(f.Caption2, "a form caption");
        for (int j = 1; j <= f.ControlCount; ++j) {
            auto &c = f.Controls[qsizetype(j) - f.controlsLowerBound];
            c.ControlSpec = plain(c.ControlSpec, "a control name");
            c.Caption = plain(c.Caption, "a control caption");
            c.Caption2 = plain(c.Caption2, "a control caption");
            c.ToolTip = plain(c.ToolTip, "a control tooltip");
            c.ToolTip2 = plain(c.ToolTip2, "a control tooltip");
        }
    }
    for (int i = 1; i < pack.tStrings.size(); ++i) {
        pack.tStrings[i].Key = plain(pack.tStrings[i].Key, "a text key");
        pack.tStrings[i].Value = plain(pack.tStrings[i].Value, "a keyed text");
    }
    if (!plain.error.isEmpty())
        return {false, plain.error, in.pos()};

    out = std::move(pack);
    return {true, {}, in.pos()};
}

QByteArray writeLanguagePack(const LanguagePackData &pack, CodePage::Id codePage, QString *error)
{
    Writer w(CodePage::get(codePage));
    auto header = [&](const QByteArray &field, qsizetype size) {
        w.bytes().append(field.left(size));
        if (field.size() < size)
            w.bytes().append(QByteArray(size - field.size(), ' '));
    };
    header(pack.sHeaderTag, kHeaderTagBytes);
    header(pack.sHeaderText, kHeaderTextBytes);

    if (pack.tForms.isEmpty() || pack.tStrings.isEmpty())
        w.fail(QStringLiteral("a pack needs its record 0 of forms and of texts"));
    else if (pack.tForms.size() - 1 > std::numeric_limits<qint16>::max()
             || pack.tStrings.size() - 1 > std::numeric_limits<qint16>::max())
        w.fail(QStringLiteral("a pack holds at most 32767 forms and 32767 texts"));
    if (!w.ok()) {
        if (error)
            *error = w.error();
        return {};
    }

    w.u16(std::uint16_t(pack.tForms.size() - 1));
    for (qsizetype i = 0; w.ok() && i < pack.tForms.size(); ++i) {
        const LpkFormRecord &f = pack.tForms[i];
        const bool inUse = i > 0;
        auto put = [&](const QString &t, const char *what) {
            inUse ? w.scrambled(t, what) : w.raw(t, what);
        };
        put(f.Reserved, "a form's reserved text");
        put(f.FormName, "a form name");
        put(f.Caption, "a form caption");
        put(f.Caption2, "a form caption");
        if (inUse && !controlCountFits(f))
            w.fail(QStringLiteral("form \"%1\" uses %2 controls, more than it holds")
                       .arg(f.FormName)
                       .arg(f.ControlCount));
        if (f.hasControls && qint64(f.controlsLowerBound) + f.Controls.size() - 1
                                     > std::numeric_limits<qint32>::max())
            w.fail(QStringLiteral("form \"%1\" has controls past the largest index").arg(f.FormName));
        w.u16(std::uint16_t(f.ControlCount));
        w.u16(f.hasControls ? 1 : 0);
        if (!f.hasControls)
            continue;
        w.i32(std::int32_t(f.Controls.size()));
        w.i32(f.controlsLowerBound);
        for (qsizetype j = 0; w.ok() && j < f.Controls.size(); ++j) {
            const LpkControlRecord &c = f.Controls[j];
            const qint64 index = f.controlsLowerBound + j;
            const bool controlInUse = inUse && index >= 1 && index <= f.ControlCount;
            auto putControl = [&](const QString &t, const char *what) {
                controlInUse ? w.scrambled(t, what) : w.raw(t, what);
            };
            w.raw(c.Reserved, "a control's reserved text");
            putControl(c.ControlSpec, "a control name");
            putControl(c.Caption, "a control caption");
            putControl(c.ToolTip, "a control tooltip");
            putControl(c.Caption2, "a control caption");
            putControl(c.ToolTip2, "a control tooltip");
            QByteArray trailer = c.Trailer.left(kTrailerBytes);
            trailer.append(QByteArray(kTrailerBytes - trailer.size(), '\0'));
            w.bytes().append(trailer);
        }
    }

    w.u16(std::uint16_t(pack.tStrings.size() - 1));
    for (qsizetype i = 0; w.ok() && i < pack.tStrings.size(); ++i) {
        const LpkStringRecord &s = pack.tStrings[i];
        if (i == 0) {
            w.raw(s.Key, "a text key");
            w.raw(s.Value, "a keyed text");
        } else {
            w.scrambled(s.Key, "a text key");
            w.scrambled(s.Value, "a keyed text");
        }
    }

    if (!w.ok()) {
        if (error)
            *error = w.error();
        return {};
    }
    return std::move(w.bytes());
}

bool writeLanguagePackFile(const QString &path, const LanguagePackData &pack,
                           CodePage::Id codePage, QString *error)
{
    const QByteArray bytes = writeLanguagePack(pack, codePage, error);
    if (bytes.isEmpty())
        return false;
    QString why;
    if (writeFileAtomically(path, bytes, &why))
        return true;
    if (error)
        *error = QStringLiteral("%1 could not be written: %2").arg(path, why);
    return false;
}

bool clsLanguagePack::LoadPack(const QString &sFile, QString *error)
{
    QByteArray bytes;
    QString why;
    if (!readRegularFile(sFile, kMaxPackFileBytes, bytes, &why)) {
        if (error)
            *error = QStringLiteral("%1 could not be read: %2").arg(sFile, why);
        return false;
    }

    const CodePage::Id codePage = codePageForLanguage(QFileInfo(sFile).completeBaseName());
    LanguagePackData loaded;
    const PackReadResult result = readLanguagePack(bytes, codePage, loaded);
    if (!result) {
        if (error)
            *error = QStringLiteral("%1 is damaged: %2").arg(sFile, result.error);
        return false;
    }
    data_ = std::move(loaded);
    sCurrentFile_ = sFile;
    return true;
}

QString clsLanguagePack::GetString(const QString &sName) const
{
    for (qsizetype i = 1; i < data_.tStrings.size(); ++i) {
        if (data_.tStrings[i].Key == sName)
            return data_.tStrings[i].Value;
    }
    return {};
}

const LpkFormRecord *clsLanguagePack::formRecord(const QString &formName) const
{
    for (qsizetype i = 1; i < data_.tForms.size(); ++i) {
        if (data_.tForms[i].FormName == formName)
            return &data_.tForms[i];
    }
    return nullptr;
}

QString clsLanguagePack::EnumLanguagePacks(const QString &sFolder, const QString &sExtension,
                                           bool *folderMissing)
{
    const QFileInfo folder(sFolder);
    if (folderMissing)
        *folderMissing = !folder.isDir();
    if (!folder.isDir())
        return {};
    QDir dir(sFolder);
    dir.setNameFilters({sExtension});
    dir.setFilter(QDir::Files | QDir::CaseSensitive);
    dir.setSorting(QDir::Name);
    return dir.entryList().join(QLatin1Char('|'));
}

clsLanguagePack &LanguagePack()
{
    static clsLanguagePack pack;
    return pack;
}

QString keyedText(const char *key, const QString &english)
{
    const QString text = LanguagePack().GetString(QLatin1String(key));
    return text.isEmpty() ? english : text;
}

} // namespace quorvel
