#include "platform/clsDialog.h"

#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"

namespace quorvel {

QString withStratSuffix(const QString &path)
{
    if (path.right(4).toLower() == QLatin1String(".qvl"))
        return path;
    return path + QStringLiteral(".qvl");
}

namespace {

FileDialogRequest makeRequest(QWidget *owner, const QString &filter, const QString &title,
                              const QString &initDir)
{
    FileDialogRequest request;
    request.owner = owner;
    request.filter = filter.endsWith(u'|') || filter.isEmpty() ? filter : filter + u'|';
    request.title = title;
    request.initialFolder = initDir;
    return request;
}

} // namespace

QString clsDialog::SaveDialog(QWidget *Form1, const QString &Filter, const QString &Title,
                              const QString &InitDir)
{
    FileDialogRequest request = makeRequest(Form1, Filter, Title, InitDir);
    const bool onlyStrats = filterPatterns(request.filter, 0) == QStringList{QStringLiteral("*.qvl")}
                            && filterPatterns(request.filter, 1).isEmpty();
    const bool onlyJpeg = filterPatterns(request.filter, 0) == QStringList{QStringLiteral("*.jpg")}
                          && filterPatterns(request.filter, 1).isEmpty();
    if (onlyStrats) {
        request.defaultSuffix = QStringLiteral("qvl");
        request.suffixAlways = true;
    } else if (onlyJpeg) {
        // ".jpg" or ".jpeg" in any case is a JPEG name already: "plan.jpeg" stays as typed.
        request.defaultSuffix = QStringLiteral("jpg");
        request.suffixAlways = true;
        request.otherSuffixes = QStringList{QStringLiteral("jpeg")};
    } else if (Title == keyedText("s0025", QStringLiteral("Save Video"))) {
        request.suffixFromFilter = true;
    }
    return Prompts::current().saveFile(request);
}

QString clsDialog::OpenDialog(QWidget *Form1, const QString &Filter, const QString &Title,
                              const QString &InitDir)
{
    return Prompts::current().openFile(makeRequest(Form1, Filter, Title, InitDir));
}

} // namespace quorvel
