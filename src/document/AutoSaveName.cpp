#include "document/AutoSaveName.h"

namespace quorvel {

QString autoSaveTitlePart(const QString &title)
{
    QString part = title.trimmed();
    for (QChar &c : part) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f || u == u'/' || u == u'\\' || u == u':' || u == u'*' || u == u'?' || u == u'"'
            || u == u'<' || u == u'>' || u == u'|')
            c = u'_';
    }
    // Dots in a row never reach the file system as a step up, even after the prefix.
    while (part.contains(QLatin1String("..")))
        part.replace(QLatin1String(".."), QLatin1String("_."));
    return part;
}

QString autoSaveFileName(const QString &title, int copy)
{
    QString name = QStringLiteral("AutoSave_") + autoSaveTitlePart(title);
    if (copy > 1)
        name += QStringLiteral(" (%1)").arg(copy);
    return name + QStringLiteral(".qvl");
}

} // namespace quorvel
