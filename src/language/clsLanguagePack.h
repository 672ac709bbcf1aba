#pragma once
// Language packs (.lpk): the reader, the writer that is its exact inverse, keyed texts and
// the program-wide pack object. QtCore only; window translation lives in SetLanguageInForm.h.
//
// File layout, little-endian, no padding:
//   4 bytes header tag, 32 bytes header text      (kept, never examined)
//   i16 form count n, then n + 1 form records     (record 0 first)
//   i16 string count m, then m + 1 string records (record 0 first)
// A text is a u16 byte count and the bytes, each plain byte stored plus 5, in the code page of
// the pack's language. Form record: Reserved, FormName, Caption, Caption2, i16 ControlCount,
// i16 dimension count d (0 or 1), d x (i32 element count, i32 lower bound), the control
// records. Control record: Reserved, ControlSpec, Caption, ToolTip, Caption2, ToolTip2 and
// 4 trailing bytes. String record: Key, Value.
//
// Only the texts in use are scrambled: records 1 to the counts, control records 1 to
// ControlCount, and not a control record's Reserved. Everything else is kept as stored (as
// the code page decodes the stored bytes), so a pack written back is byte-identical.

#include "common/CodePage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace quorvel {

struct LpkControlRecord {
    QString Reserved; // kept as stored
    QString ControlSpec;
    QString Caption;
    QString ToolTip;
    QString Caption2;
    QString ToolTip2;
    QByteArray Trailer = QByteArray(4, '\0');
};

struct LpkFormRecord {
    QString Reserved;
    QString FormName;
    QString Caption;
    QString Caption2;
    qint16 ControlCount = 0;
    // The Controls array as the file dimensions it: absent, or Controls.size() elements
    // starting at index controlsLowerBound.
    bool hasControls = false;
    qint32 controlsLowerBound = 0;
    QList<LpkControlRecord> Controls;

    // The element at array index i, or nullptr outside the stored bounds.
    const LpkControlRecord *control(qint64 i) const;
};

struct LpkStringRecord {
    QString Key;
    QString Value;
};

// A whole pack. tForms and tStrings hold records 0 to the count; record 0 is never searched.
struct LanguagePackData {
    QByteArray sHeaderTag = QByteArray(4, ' ');
    QByteArray sHeaderText = QByteArray(32, ' ');
    QList<LpkFormRecord> tForms = QList<LpkFormRecord>(1);
    QList<LpkStringRecord> tStrings = QList<LpkStringRecord>(1);

    int iFormCount() const { return int(tForms.size()) - 1; }
    int iStringCount() const { return int(tStrings.size()) - 1; }
};

struct PackReadResult {
    bool ok = false;
    QString error;         // what was wrong, for the log and tests
    qsizetype consumed = 0; // bytes up to the end of the last string record
    explicit operator bool() const { return ok; }
};

// Central European languages are written in Windows-1250, the others in Windows-1252.
CodePage::Id codePageForLanguage(const QString &languageName);

// Parses a pack into out. On any error out is left untouched.
PackReadResult readLanguagePack(QByteArrayView bytes, CodePage::Id codePage, LanguagePackData &out);

// The pack's bytes. Fails (empty result, *error set) when a text in use holds a character
// whose code is 251 or above, a text is too long for its count, or a ControlCount points
// outside its Controls array: nothing the reader would take back.
QByteArray writeLanguagePack(const LanguagePackData &pack, CodePage::Id codePage,
                             QString *error = nullptr);
// Writes the file atomically.
bool writeLanguagePackFile(const QString &path, const LanguagePackData &pack,
                           CodePage::Id codePage, QString *error = nullptr);

class clsLanguagePack {
public:
    // The loaded pack's path; empty while no pack is loaded.
    const QString &sCurrentFile() const { return sCurrentFile_; }

    // Unscrambles stored bytes: each byte minus 5. Fails for a byte below 5 or a text longer
    // than 32767 bytes.
    static std::optional<QByteArray> Decrypt(QByteArrayView stored);

    // Loads the pack at sFile, in the code page of the language its file name carries. The
    // pack takes effect only when the whole file reads; otherwise everything stays as it
    // was and *error says why.
    bool LoadPack(const QString &sFile, QString *error = nullptr);

    // The pack's text for key (exact, case-sensitive; first match in file order), or "".
    QString GetString(const QString &sName) const;

    // The first form record 1..n named formName exactly, or nullptr.
    const LpkFormRecord *formRecord(const QString &formName) const;

    // The names of the files in sFolder matching sExtension (such as "*.lpk"), joined by
    // "|"; "" when there are none. *folderMissing tells a missing folder apart.
    static QString EnumLanguagePacks(const QString &sFolder, const QString &sExtension,
                                     bool *folderMissing = nullptr);

    const LanguagePackData &data() const { return data_; }

private:
    QString sCurrentFile_;
    LanguagePackData data_;
};

// The program-wide pack, created on first use.
clsLanguagePack &LanguagePack();

// The pack's text for key, or english when the pack has none.
QString keyedText(const char *key, const QString &english);

} // namespace quorvel
