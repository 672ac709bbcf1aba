// lpkwrite <Language.lpk> <source.txt>...: writes a language pack from its text sources (one file
// per group of windows, read in the order given), in the code page of the language the output
// file is named after.

#include "PackSource.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace quorvel;

namespace {

int fail(const QString &why)
{
    std::fprintf(stderr, "lpkwrite: %s\n", qPrintable(why));
    return 1;
}

// Every text must survive the code page; a '?' standing in for a character is a mistake in
// the source, not something to ship.
QString unstorable(const LanguagePackData &pack, CodePage::Id id)
{
    const CodePage &cp = CodePage::get(id);
    auto check = [&](const QString &t) { return cp.decode(cp.encode(t)) == t ? QString() : t; };
    for (const auto &s : pack.tStrings) {
        if (const QString bad = check(s.Value); !bad.isEmpty())
            return bad;
    }
    for (const auto &f : pack.tForms) {
        for (const QString &t : {f.Caption, f.Caption2}) {
            if (const QString bad = check(t); !bad.isEmpty())
                return bad;
        }
        for (const auto &c : f.Controls) {
            for (const QString &t : {c.Caption, c.ToolTip}) {
                if (const QString bad = check(t); !bad.isEmpty())
                    return bad;
            }
        }
    }
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return fail(QStringLiteral("usage: lpkwrite <Language.lpk> <source.txt>..."));

    QString source;
    for (qsizetype i = 2; i < args.size(); ++i) {
        QFile in(args[i]);
        if (!in.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1: %2").arg(args[i], in.errorString()));
        source += QString::fromUtf8(in.readAll()) + QLatin1Char('\n');
    }
    LanguagePackData pack;
    QString error;
    const QString where = args.mid(2).join(QLatin1Char(' '));
    if (!parsePackSource(source, pack, &error))
        return fail(QStringLiteral("%1: %2").arg(where, error));

    const QString language = QFileInfo(args[1]).completeBaseName();
    const CodePage::Id codePage = codePageForLanguage(language);
    if (const QString bad = unstorable(pack, codePage); !bad.isEmpty())
        return fail(QStringLiteral("%1: \"%2\" does not fit the code page of %3").arg(where, bad, language));
    pack.sHeaderTag = "LPK1";
    pack.sHeaderText = language.toLatin1().leftJustified(32, ' ', true);
    if (!writeLanguagePackFile(args[1], pack, codePage, &error))
        return fail(QStringLiteral("%1: %2").arg(args[1], error));
    return 0;
}
