#include "export/JpegExport.h"

#include "common/FileHelpers.h"
#include "common/ProgramFolder.h"
#include "export/WindowCapture.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"
#include "platform/clsDialog.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>

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
    // The picture is made in memory and written by the one atomic write, which refuses a target
    // that is not a regular file and never keeps a picture cut short.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image))
        return fail(writer.errorString());
    return writeFileAtomically(fileName, buffer.data(), error);
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
