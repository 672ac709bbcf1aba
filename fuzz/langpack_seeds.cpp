// seeds_langpack <folder>: writes seed packs made by the pack writer.

#include "language/clsLanguagePack.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace quorvel;

namespace {

LpkControlRecord control(const char *target, const char *caption, const char *tip = "")
{
    LpkControlRecord c;
    c.ControlSpec = QString::fromUtf8(target);
    c.Caption = QString::fromUtf8(caption);
    c.ToolTip = QString::fromUtf8(tip);
    return c;
}

bool save(const QString &folder, const char *name, const LanguagePackData &pack, CodePage::Id id)
{
    QString error;
    const QByteArray bytes = writeLanguagePack(pack, id, &error);
    QFile f(folder + QLatin1Char('/') + QLatin1String(name));
    if (bytes.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "seeds_langpack: %s: %s\n", name, qPrintable(error));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: seeds_langpack <folder>\n");
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    LanguagePackData empty;
    bool ok = save(folder, "empty.lpk", empty, CodePage::Windows1252);

    LanguagePackData full;
    LpkFormRecord main;
    main.FormName = QStringLiteral("frmPrincipal");
    main.Caption = QStringLiteral("Quorvel");
    main.hasControls = true;
    main.Controls = {control("", ""), control("mnuNovo", "&Nueva"),
                     control("imgMove", "", "Mover ventana"), control("picObj(3)", "tres"),
                     control("tabMain.TabCaption(1)", "Pestaña"), control("unused", "x")};
    main.ControlCount = 4;
    full.tForms.append(main);
    LpkFormRecord bare;
    bare.FormName = QStringLiteral("frmSobre");
    bare.Caption2 = QStringLiteral("Acerca de");
    full.tForms.append(bare);
    full.tStrings.append({QStringLiteral("s0021"), QStringLiteral("Abrir estrategia")});
    full.tStrings.append({QStringLiteral("s0034"), QStringLiteral(" minutos.")});
    ok = save(folder, "spanish.lpk", full, CodePage::Windows1252) && ok;

    LanguagePackData central;
    central.tStrings.append({QStringLiteral("s0014"), QStringLiteral("Bun venit, Şi încă")});
    ok = save(folder, "romanian.lpk", central, CodePage::Windows1250) && ok;

    LanguagePackData bounds = full;
    bounds.tForms[1].controlsLowerBound = -2;
    bounds.tForms[1].ControlCount = 3;
    ok = save(folder, "bounds.lpk", bounds, CodePage::Windows1252) && ok;
    return ok ? 0 : 1;
}
