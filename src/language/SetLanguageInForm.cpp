#include "language/SetLanguageInForm.h"

#include "common/Rounding.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <cmath>
#include <limits>

namespace quorvel {

namespace {

// The number right after the last "(" of an entry's target: blanks skipped, digits with an
// optional fraction rounded half to even, 0 when there is none; nullopt when too large.
std::optional<int> indexAfterLastParen(const QString &target)
{
    qsizetype i = target.lastIndexOf(QLatin1Char('(')) + 1;
    while (i < target.size() && target.at(i) == QLatin1Char(' '))
        ++i;
    QString number;
    bool point = false;
    for (; i < target.size(); ++i) {
        const QChar c = target.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            number.append(c);
        else if (c == QLatin1Char('.') && !point) {
            point = true;
            number.append(c);
        } else
            break;
    }
    if (number.isEmpty() || number == QLatin1String("."))
        return 0;
    return toInt32(number.toDouble());
}

bool hasIndex(const QObject *o) { return o->property(kControlIndexProperty).isValid(); }

// The control named name that is not an array element.
QObject *plainControl(QWidget *form, const QString &name)
{
    QObject *found = nullptr;
    for (QObject *o : form->findChildren<QObject *>(name)) {
        if (hasIndex(o))
            return nullptr; // the name is a control array: it has no caption of its own
        if (!found)
            found = o;
    }
    return found;
}

QObject *arrayElement(QWidget *form, const QString &name, int index)
{
    for (QObject *o : form->findChildren<QObject *>(name)) {
        bool ok = false;
        const int at = o->property(kControlIndexProperty).toInt(&ok);
        if (ok && hasIndex(o) && at == index)
            return o;
    }
    return nullptr;
}

void setCaption(QObject *o, const QString &text)
{
    if (auto *menu = qobject_cast<QMenu *>(o))
        menu->setTitle(text);
    else if (auto *action = qobject_cast<QAction *>(o))
        action->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(o))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(o))
        button->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(o))
        group->setTitle(text);
}

void setToolTip(QObject *o, const QString &text)
{
    if (qobject_cast<QMenu *>(o))
        return; // a menu has no tooltip of its own
    if (auto *action = qobject_cast<QAction *>(o))
        action->setToolTip(text);
    else if (auto *widget = qobject_cast<QWidget *>(o))
        widget->setToolTip(text);
}

void setTabCaption(QObject *o, int tab, const QString &text)
{
    if (auto *tabs = qobject_cast<QTabWidget *>(o)) {
        if (tab >= 0 && tab < tabs->count())
            tabs->setTabText(tab, text);
    } else if (auto *bar = qobject_cast<QTabBar *>(o)) {
        if (tab >= 0 && tab < bar->count())
            bar->setTabText(tab, text);
    }
}

void applyEntry(QWidget *form, const LpkControlRecord &entry)
{
    const QString &target = entry.ControlSpec;
    const QString text = entry.Caption2.isEmpty() ? entry.Caption : entry.Caption2;

    if (target.toUpper().contains(QLatin1String(".TABCAPTION("))) {
        const auto tab = indexAfterLastParen(target);
        QObject *control = plainControl(form, target.section(QLatin1Char('.'), 0, 0));
        if (tab && control)
            setTabCaption(control, *tab, text);
        return;
    }
    if (target.contains(QLatin1Char(')'))) {
        const qsizetype open = target.indexOf(QLatin1Char('('));
        const auto index = indexAfterLastParen(target);
        if (open < 0 || !index)
            return; // names no control
        if (QObject *element = arrayElement(form, target.left(open), *index))
            setCaption(element, text);
        return;
    }
    QObject *control = plainControl(form, target);
    if (!control)
        return;
    if (!entry.Caption.isEmpty())
        setCaption(control, text);
    if (!entry.ToolTip.isEmpty())
        setToolTip(control, entry.ToolTip2.isEmpty() ? entry.ToolTip : entry.ToolTip2);
}

} // namespace

void SetLanguageInForm(QWidget *frmForm, const clsLanguagePack &pack)
{
    if (!frmForm)
        return;
    const LpkFormRecord *record = pack.formRecord(frmForm->objectName());
    if (!record)
        return;
    frmForm->setWindowTitle(record->Caption2.isEmpty() ? record->Caption : record->Caption2);
    for (int j = 1; j <= record->ControlCount; ++j) {
        if (const LpkControlRecord *entry = record->control(j))
            applyEntry(frmForm, *entry);
    }
}

void translateWindow(QWidget *frmForm)
{
    if (!LanguagePack().sCurrentFile().isEmpty())
        SetLanguageInForm(frmForm, LanguagePack());
}

} // namespace quorvel
