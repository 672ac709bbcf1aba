#include "document/AutoSaveName.h"

#include <QFileInfo>

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

QString AutoSaveNames::claim(const void *owner, const QString &title, const QString &folder)
{
    for (int copy = 1;; ++copy) {
        const QString name = autoSaveFileName(title, copy);
        const QString path = folder + u'/' + name;
        const QString key = path.toLower();
        const auto holder = held_.constFind(key);
        if (holder != held_.constEnd() && holder.value() != owner)
            continue;
        const QFileInfo file(path);
        if ((file.exists() || file.isSymLink()) && !written_.contains(key))
            continue;
        if (holder == held_.constEnd()) {
            release(owner);
            held_.insert(key, owner);
        }
        return name;
    }
}

void AutoSaveNames::release(const void *owner)
{
    held_.removeIf([owner](const auto &entry) { return entry.value() == owner; });
}

void AutoSaveNames::written(const QString &path)
{
    written_.insert(path.toLower());
}

AutoSaveNames &AutoSaveNames::program()
{
    static AutoSaveNames names;
    return names;
}

} // namespace quorvel
