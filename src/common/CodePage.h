#pragma once
// Single-byte Windows code pages for the text in strat files (1252) and language packs
// (1252 for Western languages, 1250 for Central European ones).
//
// Every byte decodes to one character and encodes back to the same byte, so a file read and
// written again is byte-identical; the five bytes that 1252 leaves undefined keep their C1
// control characters. A character the code page cannot hold is written as '?'.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace quorvel {

class CodePage {
public:
    enum Id { Windows1252, Windows1250 };

    static const CodePage &get(Id id);

    QString decode(QByteArrayView bytes) const;
    QByteArray encode(const QString &text) const;
    // The characters of text that encode writes as '?', each once, in the order they first
    // appear (a character outside the BMP is one entry).
    QStringList unencodable(const QString &text) const;

private:
    explicit CodePage(const char *icuName);
    char16_t high_[128]; // characters of the bytes 0x80 to 0xFF
};

// The strat file's code page.
inline QString fromAnsi(QByteArrayView bytes) { return CodePage::get(CodePage::Windows1252).decode(bytes); }
inline QByteArray toAnsi(const QString &text) { return CodePage::get(CodePage::Windows1252).encode(text); }
// What a strat file loses of text, and text as the file gives it back.
inline QStringList notInAnsi(const QString &text) { return CodePage::get(CodePage::Windows1252).unencodable(text); }
inline QString ansiRoundTrip(const QString &text) { return fromAnsi(toAnsi(text)); }

} // namespace quorvel
