// lpkwrite <source.txt> <Language.lpk>: writes a language pack from its text source, in the
// code page of the language the output file is named after.

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
    if (args.size() != 3)
        return fail(QStringLiteral("usage: lpkwrite <source.txt> <Language.lpk>"));

    QFile in(args[1]);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(args[1], in.errorString()));
    LanguagePackData pack;
    QString error;
    if (!parsePackSource(QString::fromUtf8(in.readAll()), pack, &error))
        return fail(QStringLiteral("%1: %2").arg(args[1], error));

    const QString language = QFileInfo(args[2]).completeBaseName();
    const CodePage::Id codePage = codePageForLanguage(language);
    if (const QString bad = unstorable(pack, codePage); !bad.isEmpty())
        return fail(QStringLiteral("%1: \"%2\" does not fit the code page of %3").arg(args[1], bad, language));
    pack.sHeaderTag = "LPK1";
    pack.sHeaderText = language.toLatin1().leftJustified(32, ' ', true);
    if (!writeLanguagePackFile(args[2], pack, codePage, &error))
        return fail(QStringLiteral("%1: %2").arg(args[1], error));
    return 0;
}
