#include "export/JpegExport.h"

#include "common/ProgramFolder.h"
#include "export/WindowCapture.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"
#include "platform/clsDialog.h"

#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

namespace quorvel {

bool WriteJpeg(const QImage &image, const QString &fileName, int quality, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (image.isNull())
        return fail(QStringLiteral("There is no picture to write."));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image)) {
        file.cancelWriting();
        // A device error (a full disk) is the real reason; the writer only knows it failed.
        return fail(file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString());
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

bool Exporta(QWidget *form, const QList<QWidget *> &hidden, QWidget *owner)
{
    if (!form)
        return false;
    const QString title = keyedText("s0005", QStringLiteral("Export Strat"));
    const QString fileName = clsDialog().SaveDialog(owner, kJpegFilter, title, programFolder());
    if (fileName.isEmpty())
        return false;
    const QImage picture = CaptureFormImageWithout(form, hidden);
    QString why;
    if (WriteJpeg(picture, fileName, kJpegQuality, &why))
        return true;
    showMessage(owner,
                keyedText("export01", QStringLiteral("The picture could not be saved:"))
                    + QStringLiteral("\n") + QDir::toNativeSeparators(fileName) + QStringLiteral("\n") + why,
                QString(), MessageIcon::Critical);
    return false;
}

} // namespace quorvel
