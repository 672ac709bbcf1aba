// Every text the program shows in words has an entry in every language pack: each key the
// sources pass to keyedText(), and each named control of every window whose caption or tooltip
// is words. A missing entry leaves English in a translated window.
#include "TestFolders.h"
#include "TestTools.h"
#include "board/frmCores.h"
#include "board/frmLink.h"
#include "board/frmMapa.h"
#include "board/frmMov.h"
#include "board/frmTexto.h"
#include "export/EncoderTrial.h"
#include "export/frmCodec.h"
#include "language/SetLanguageInForm.h"
#include "ScriptedPrompts.h"
#include "shell/frmDica.h"
#include "shell/frmNovo.h"
#include "shell/frmOptions.h"
#include "shell/frmPrincipal.h"
#include "shell/frmSobre.h"
#include "shell/frmUpdate.h"

#include <QAbstractButton>
#include <QAction>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QtTest>

using namespace quorvel;

namespace {

// Controls whose text is no caption: a tip from the tips file, the program's name and addresses.
const QStringList kNotCaptions = {QStringLiteral("frmDica.lblTipText"), QStringLiteral("frmSobre.lblSobre"),
                                  QStringLiteral("frmSobre.lblSite"),   QStringLiteral("frmSobre.lblForum"),
                                  QStringLiteral("frmSobre.lblIRC"),    QStringLiteral("frmSobre.Label10")};

// The keys the sources ask for: the first argument of every keyedText() call, and the rows
// ({"s0029", "English"}) of a table of keyed texts, whose call takes its key from a row. Any
// other key that is not a literal could not be checked, so it counts as a fault of its own.
QStringList sourceKeys()
{
    QStringList keys;
    const QRegularExpression call(QStringLiteral("\\bkeyedText\\(\\s*(?:\"([^\"]*)\"|\\w+\\[\\w+\\](\\.key)\\b)?"));
    const QRegularExpression row(QStringLiteral("\\{\"(s\\d{4})\", \""));
    QDirIterator files(QStringLiteral(QUORVEL_SOURCES), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (QFileInfo(path).baseName() == QLatin1String("clsLanguagePack"))
            continue; // where keyedText() itself is
        const QString text = QString::fromUtf8(readFile(path));
        for (const auto &m : row.globalMatch(text))
            keys << m.captured(1);
        for (const auto &m : call.globalMatch(text))
            if (!m.hasCaptured(2))
                keys << (m.hasCaptured(1) ? m.captured(1) : QStringLiteral("a key that is no literal in ") + path);
    }
    keys.removeDuplicates();
    keys.sort();
    return keys;
}

// The caption of a control, or "" when it has none (a right-click menu shows no title).
QString caption(QObject *o)
{
    if (auto *menu = qobject_cast<QMenu *>(o))
        return menu->menuAction()->associatedObjects().isEmpty() ? QString() : menu->title();
    if (auto *action = qobject_cast<QAction *>(o))
        return action->isSeparator() ? QString() : action->text();
    if (auto *label = qobject_cast<QLabel *>(o))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(o))
        return button->text();
    auto *group = qobject_cast<QGroupBox *>(o);
    return group ? group->title() : QString();
}

// A tooltip of the control's own; an action's default one repeats its text.
QString ownToolTip(QObject *o)
{
    if (auto *action = qobject_cast<QAction *>(o))
        return action->toolTip() == QAction(action->text()).toolTip() ? QString() : action->toolTip();
    auto *widget = qobject_cast<QWidget *>(o);
    return widget ? widget->toolTip() : QString();
}

} // namespace

class TestPackCoverage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTestFolders(testProgramFolder(), config_); }

    void everyTextHasAnEntry_data()
    {
        QTest::addColumn<QString>("language");
        for (const char *language : {"Spanish", "Portuguese", "French", "Romanian", "Dutch"})
            QTest::newRow(language) << QString::fromLatin1(language);
    }

    void everyTextHasAnEntry()
    {
        QFETCH(QString, language);
        QString error;
        QVERIFY2(LanguagePack().LoadPack(QStringLiteral(QUORVEL_PROGRAM_DIR "/lang/") + language + QStringLiteral(".lpk"),
                                         &error),
                 qPrintable(error));
        const clsLanguagePack &pack = LanguagePack();
        QStringList faults, values, names;
        for (const LpkStringRecord &s : pack.data().tStrings.mid(1)) {
            values << s.Value;
            names << s.Key;
        }
        // A key or a window named twice: only the first entry is ever read.
        for (const LpkFormRecord &f : pack.data().tForms.mid(1))
            names << QStringLiteral("[form %1]").arg(f.FormName);
        for (const QString &name : names)
            if (names.count(name) > 1)
                faults << name + QStringLiteral(" twice");

        const QStringList keys = sourceKeys();
        QVERIFY(keys.contains(QStringLiteral("s0029"))); // the scan found the sources
        for (const QString &key : keys)
            if (pack.GetString(key).isEmpty())
                faults << key;

        ScriptedPrompts prompts;
        frmPrincipal main;
        translateWindow(&main); // as its load does
        frmMov mov(105, &main, &main);
        frmMovEdit movEdit(105, &main, &main);
        frmTexto texto;
        frmCores cores(0);
        frmLink link;
        frmNovo novo(nullptr, false, [] { return 1; });
        frmNovo2 novo2;
        frmOptions options;
        EncoderTrial trial;
        frmCodec codec(trial);
        frmDica dica;
        frmSobre sobre;
        frmUpdate update(nullptr, UpdateSource{});
        const QList<QWidget *> windows{&main, main.board(main.NovoMapa()), &mov, &movEdit, &texto, &cores, &link,
                                       &novo, &novo2, &options, &codec, &dica, &sobre, &update};
        // The converter's hint names the Strat > Open of this pack's own menus.
        const QString open = main.findChild<QMenu *>(QStringLiteral("mnuTatica"))->title() + QStringLiteral(" > ")
                             + main.findChild<QAction *>(QStringLiteral("mnuAbrir"))->text();
        if (!pack.GetString(QStringLiteral("convert01")).contains(QString(open).remove(u'&')))
            faults << QStringLiteral("convert01 names ") + open;

        auto ownerOf = [&](QObject *o) { // the nearest window
            for (o = o->parent(); o && !windows.contains(qobject_cast<QWidget *>(o));)
                o = o->parent();
            return o;
        };
        // A text the code makes from keyed texts starts with one ("Modo: " + "Parado").
        auto needsEntry = [&](const QString &text) {
            return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]")))
                   && std::none_of(values.begin(), values.end(),
                                   [&](const QString &v) { return !v.isEmpty() && text.startsWith(v); });
        };
        for (QWidget *window : windows) {
            const LpkFormRecord *form = pack.formRecord(window->objectName());
            QStringList captions, tooltips;
            for (int i = 1; form && i <= form->ControlCount; ++i) {
                const LpkControlRecord *c = form->control(i);
                if (c && !c->Caption.isEmpty())
                    captions << c->ControlSpec;
                if (c && !c->ToolTip.isEmpty())
                    tooltips << c->ControlSpec;
            }
            if (!form || form->Caption.isEmpty())
                faults << window->objectName();
            for (QObject *control : window->findChildren<QObject *>()) {
                QString name = control->objectName();
                if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || ownerOf(control) != window)
                    continue; // Qt's own parts are not ours to name; a board in the main window has its own record
                if (const QVariant index = control->property(kControlIndexProperty); index.isValid())
                    name += QStringLiteral("(%1)").arg(index.toInt());
                const QString where = window->objectName() + u'.' + name;
                if (needsEntry(caption(control)) && !captions.contains(name) && !kNotCaptions.contains(where))
                    faults << where;
                if (needsEntry(ownToolTip(control)) && !tooltips.contains(name))
                    faults << where + QStringLiteral(".tooltip");
            }
        }
        faults.removeDuplicates();
        faults.sort();
        QCOMPARE(faults.join(QStringLiteral(", ")), QString());
    }

private:
    QTemporaryDir config_;
};

QTEST_MAIN(TestPackCoverage)
#include "tst_packcoverage.moc"
