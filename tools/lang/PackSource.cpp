#include "PackSource.h"

#include <QHash>
#include <QStringList>

namespace quorvel {

namespace {

// Reads a double-quoted text starting at line[i]; moves i past it.
bool quoted(const QString &line, qsizetype &i, QString &out, QString &why)
{
    if (i >= line.size() || line.at(i) != QLatin1Char('"')) {
        why = QStringLiteral("a text must stand in double quotes");
        return false;
    }
    out.clear();
    for (++i; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('"')) {
            ++i;
            return true;
        }
        if (c != QLatin1Char('\\')) {
            out.append(c);
            continue;
        }
        if (++i >= line.size())
            break;
        switch (line.at(i).unicode()) {
        case '"': out.append(QLatin1Char('"')); break;
        case '\\': out.append(QLatin1Char('\\')); break;
        case 'n': out.append(QLatin1Char('\n')); break;
        case 't': out.append(QLatin1Char('\t')); break;
        default:
            why = QStringLiteral("unknown escape \\%1").arg(line.at(i));
            return false;
        }
    }
    why = QStringLiteral("the text has no closing quote");
    return false;
}

} // namespace

bool parsePackSource(const QString &source, LanguagePackData &out, QString *error)
{
    LanguagePackData pack;
    enum { None, Strings, Form } section = None;
    QHash<QString, qsizetype> controlAt; // control name -> index in the current form's list
    const QStringList lines = source.split(QLatin1Char('\n'));

    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        QString why;
        auto failed = [&] {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(n + 1).arg(why);
            return false;
        };
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;

        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']'))) {
                why = QStringLiteral("a section header ends with ]");
                return failed();
            }
            const QString name = line.mid(1, line.size() - 2).trimmed();
            if (name == QLatin1String("strings")) {
                section = Strings;
            } else if (name.startsWith(QLatin1String("form "))) {
                section = Form;
                LpkFormRecord form;
                form.FormName = name.mid(5).trimmed();
                form.hasControls = true;
                form.controlsLowerBound = 0;
                form.Controls.append(LpkControlRecord{}); // element 0 is never used
                pack.tForms.append(form);
                controlAt.clear();
            } else {
                why = QStringLiteral("unknown section [%1]").arg(name);
                return failed();
            }
            continue;
        }

        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            why = QStringLiteral("expected name = \"text\"");
            return failed();
        }
        const QString name = line.left(eq).trimmed();
        qsizetype i = eq + 1;
        while (i < line.size() && line.at(i).isSpace())
            ++i;
        QString text;
        if (!quoted(line, i, text, why))
            return failed();
        if (!line.mid(i).trimmed().isEmpty()) {
            why = QStringLiteral("text after the closing quote");
            return failed();
        }

        if (section == Strings) {
            pack.tStrings.append({name, text});
        } else if (section == Form) {
            LpkFormRecord &form = pack.tForms.last();
            if (name == QLatin1String("@caption")) {
                form.Caption = text;
                continue;
            }
            const bool tooltip = name.endsWith(QLatin1String(".tooltip"));
            const QString control = tooltip ? name.chopped(8) : name;
            auto at = controlAt.find(control);
            if (at == controlAt.end()) {
                LpkControlRecord entry;
                entry.ControlSpec = control;
                at = controlAt.insert(control, form.Controls.size());
                form.Controls.append(entry);
                ++form.ControlCount;
            }
            (tooltip ? form.Controls[*at].ToolTip : form.Controls[*at].Caption) = text;
        } else {
            why = QStringLiteral("a text before any [strings] or [form ...] section");
            return failed();
        }
    }
    out = std::move(pack);
    return true;
}

} // namespace quorvel
