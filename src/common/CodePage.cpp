#include "common/CodePage.h"

#include <QStringDecoder>

#include <algorithm>
#include <iterator>

namespace quorvel {

CodePage::CodePage(const char *icuName)
{
    // The table comes from Qt's ICU converter once; the per-text work is then a lookup.
    QByteArray bytes(128, '\0');
    for (int i = 0; i < 128; ++i)
        bytes[i] = static_cast<char>(0x80 + i);
    QStringDecoder decoder(icuName);
    const QString chars = decoder.isValid() ? decoder.decode(bytes) : QString();
    for (int i = 0; i < 128; ++i) {
        // A byte the converter cannot name keeps its C1/Latin-1 character: still lossless.
        high_[i] = chars.size() == 128 && chars.at(i) != QChar::ReplacementCharacter
                       ? chars.at(i).unicode()
                       : static_cast<char16_t>(0x80 + i);
    }
}

const CodePage &CodePage::get(Id id)
{
    static const CodePage cp1252("windows-1252");
    static const CodePage cp1250("windows-1250");
    return id == Windows1250 ? cp1250 : cp1252;
}

QString CodePage::decode(QByteArrayView bytes) const
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = b < 0x80 ? QChar(b) : QChar(high_[b - 0x80]);
    }
    return out;
}

QByteArray CodePage::encode(const QString &text) const
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x80) {
            out.append(static_cast<char>(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i; // one character outside the code page, one '?'
        char byte = '?';
        for (int k = 0; k < 128; ++k) {
            if (high_[k] == c) {
                byte = static_cast<char>(0x80 + k);
                break;
            }
        }
        out.append(byte);
    }
    return out;
}

QStringList CodePage::unencodable(const QString &text) const
{
    QStringList lost;
    for (const char32_t c : text.toUcs4()) {
        const bool held = c < 0x80 || std::find(std::begin(high_), std::end(high_), c) != std::end(high_);
        if (const QString one = QString::fromUcs4(&c, 1); !held && !lost.contains(one))
            lost.append(one);
    }
    return lost;
}

} // namespace quorvel
