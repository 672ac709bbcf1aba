#include "platform/Prompts.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>

namespace quorvel {

namespace {

const QString kAppTitle = QStringLiteral("Quorvel");

// Description and pattern texts in order: "Strat (*.qvl)", "*.qvl", ...
QStringList filterItems(const QString &filter)
{
    QStringList items = filter.split(u'|');
    if (!items.isEmpty() && items.last().isEmpty())
        items.removeLast(); // the final bar ends the list, it does not open an item
    return items;
}

// A save dialog that asks about overwriting the name it will really give back, after the
// request's suffix rule, rather than the name typed.
class SaveFileDialog : public QFileDialog {
public:
    SaveFileDialog(const FileDialogRequest &request)
        : QFileDialog(request.owner, request.title.isEmpty() ? kAppTitle : request.title,
                      request.initialFolder),
          request_(request)
    {
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        // Our own accept() must run, and it asks the overwrite question itself.
        setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
        const QStringList filters = qtNameFilters(request.filter);
        if (!filters.isEmpty())
            setNameFilters(filters);
    }

    QString chosen;

protected:
    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.isEmpty() || QFileInfo(files.first()).isDir()) {
            QFileDialog::accept(); // an empty name or a folder: Qt handles it (it opens the folder)
            return;
        }
        const int index = int(nameFilters().indexOf(selectedNameFilter()));
        const QString name = finishSaveName(request_, files.first(), index < 0 ? 0 : index);
        const QFileInfo info(name);
        if (info.isDir())
            return;
        if (info.exists()) {
            const auto answer = QMessageBox::warning(
                this, windowTitle(),
                tr("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(name)),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return;
        }
        chosen = name;
        QDialog::accept();
    }

private:
    FileDialogRequest request_;
};

class QtPrompts final : public Prompts {
public:
    MessageAnswer message(QWidget *owner, const QString &text, const QString &title,
                          MessageIcon icon, MessageButtons buttons) override
    {
        return show(owner, text, title, icon, buttons, QString());
    }

    void detailedMessage(QWidget *owner, const QString &text, const QString &title, MessageIcon icon,
                         const QString &details) override
    {
        show(owner, text, title, icon, MessageButtons::Ok, details);
    }

    MessageAnswer show(QWidget *owner, const QString &text, const QString &title, MessageIcon icon,
                       MessageButtons buttons, const QString &details)
    {
        QMessageBox box(owner);
        box.setDetailedText(details);
        box.setWindowTitle(title.isEmpty() ? kAppTitle : title);
        box.setText(text);
        switch (icon) {
        case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        }
        switch (buttons) {
        case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MessageButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Ok: return MessageAnswer::Ok;
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        default:
            // Escape or the close box: the answer that runs nothing.
            return buttons == MessageButtons::Ok ? MessageAnswer::Ok
                   : buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                      : MessageAnswer::Cancel;
        }
    }

    std::optional<QString> input(QWidget *owner, const QString &prompt, const QString &title,
                                 const QString &defaultText, int maxLength) override
    {
        QInputDialog dialog(owner);
        dialog.setWindowTitle(title.isEmpty() ? kAppTitle : title);
        dialog.setLabelText(prompt);
        dialog.setTextValue(defaultText);
        // The box itself stops at the limit, so the user sees it while typing.
        if (auto *edit = dialog.findChild<QLineEdit *>(); edit && maxLength > 0)
            edit->setMaxLength(maxLength);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.textValue();
    }

    QString openFile(const FileDialogRequest &request) override
    {
        QFileDialog dialog(request.owner, request.title.isEmpty() ? kAppTitle : request.title,
                           request.initialFolder);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        const QStringList filters = qtNameFilters(request.filter);
        if (!filters.isEmpty())
            dialog.setNameFilters(filters);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return QDir::fromNativeSeparators(dialog.selectedFiles().first());
    }

    QString saveFile(const FileDialogRequest &request) override
    {
        SaveFileDialog dialog(request);
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return QDir::fromNativeSeparators(dialog.chosen);
    }

    int exec(QDialog &dialog) override { return dialog.exec(); }
};

Prompts *g_installed = nullptr;

} // namespace

QAction *Prompts::popupMenu(QMenu &menu, const QPoint &globalPos) { return menu.exec(globalPos); }

QStringList qtNameFilters(const QString &filter)
{
    const QStringList items = filterItems(filter);
    QStringList result;
    for (qsizetype i = 0; i < items.size(); i += 2) {
        const QString description = items.at(i).trimmed();
        const QString patterns = i + 1 < items.size() ? items.at(i + 1) : QString();
        QString qtPatterns = patterns;
        qtPatterns.replace(u';', u' ');
        qtPatterns = qtPatterns.simplified();
        if (qtPatterns.isEmpty())
            qtPatterns = QStringLiteral("*");
        // Qt takes the patterns from the last parentheses; a description that already shows
        // exactly these patterns needs no second copy.
        if (description.endsWith(u'(' + qtPatterns + u')'))
            result.append(description);
        else
            result.append(description + QStringLiteral(" (") + qtPatterns + u')');
    }
    return result;
}

QStringList filterPatterns(const QString &filter, int index)
{
    const QStringList items = filterItems(filter);
    const qsizetype at = qsizetype(index) * 2 + 1;
    if (index < 0 || at >= items.size())
        return {};
    QStringList patterns = items.at(at).split(u';', Qt::SkipEmptyParts);
    for (QString &p : patterns)
        p = p.trimmed();
    return patterns;
}

QString finishSaveName(const FileDialogRequest &request, const QString &typed, int filterIndex)
{
    if (typed.isEmpty())
        return typed;
    QString suffix = request.defaultSuffix;
    if (request.suffixFromFilter) {
        suffix.clear();
        const QStringList patterns = filterPatterns(request.filter, filterIndex);
        if (!patterns.isEmpty() && patterns.first().startsWith(QStringLiteral("*."))) {
            const QString s = patterns.first().mid(2);
            if (!s.contains(u'*') && !s.contains(u'?'))
                suffix = s;
        }
    }
    if (suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    if (suffix.isEmpty())
        return typed;
    const QString dotted = u'.' + suffix;
    if (request.suffixAlways) {
        if (typed.endsWith(dotted, Qt::CaseInsensitive))
            return typed;
        for (QString other : request.otherSuffixes) {
            if (!other.startsWith(u'.'))
                other.prepend(u'.');
            if (typed.endsWith(other, Qt::CaseInsensitive))
                return typed;
        }
        return typed + dotted;
    }
    const qsizetype slash = typed.lastIndexOf(u'/');
    const QString fileName = typed.mid(slash + 1);
    return fileName.contains(u'.') ? typed : typed + dotted;
}

Prompts &Prompts::current()
{
    static QtPrompts qtPrompts;
    return g_installed ? *g_installed : qtPrompts;
}

void Prompts::install(Prompts *p) { g_installed = p; }

} // namespace quorvel
