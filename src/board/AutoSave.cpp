#include "board/AutoSave.h"

#include "board/BoardDocument.h"
#include "board/frmMapa.h"
#include "common/ProgramFolder.h"
#include "document/AutoSaveName.h"
#include "document/StratFile.h"
#include "language/clsLanguagePack.h"
#include "platform/Named.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>

namespace quorvel {

BoardAutoSave::BoardAutoSave(frmMapa &board, QLabel *panel3, QLabel *panel4,
                             const std::array<QString, 14> &keyTexts, QObject *parent)
    : QObject(parent), board_(board), panel3_(panel3), panel4_(panel4), keyTexts_(keyTexts)
{
    AutoSaveTimer = named<QTimer>("AutoSaveTimer", this);
    AutoSaveTimer->setInterval(kMinuteMs);
    connect(AutoSaveTimer, &QTimer::timeout, this, &BoardAutoSave::AutoSaveTimer_Timer);
}

BoardAutoSave::~BoardAutoSave()
{
    releaseFileName();
}

QString BoardAutoSave::folder()
{
    return writableFolder() + QStringLiteral("/AutoSaves");
}

void BoardAutoSave::boardLoaded()
{
    xCounter = 0;
    AutoSaveTimer->start();
}

void BoardAutoSave::boardClosed()
{
    AutoSaveTimer->stop();
    removeLastFile();
    releaseFileName();
}

void BoardAutoSave::removeLastFile()
{
    if (!lastFile_.isEmpty())
        QFile::remove(lastFile_);
    lastFile_.clear();
}

void BoardAutoSave::AutoSaveTimer_Timer()
{
    if (board_.imI() == 0)
        return;
    xCounter = static_cast<std::int16_t>(xCounter + 1);
    if (panel4_)
        panel4_->setText(key(33) + QString::number(kMinutesBetweenSaves - xCounter) + key(34));
    if (xCounter < kMinutesBetweenSaves)
        return;
    xCounter = 0;
    AutoSave(board_.document().title().trimmed());
}

QString BoardAutoSave::claimFileName(const QString &title)
{
    return AutoSaveNames::program().claim(this, title, folder());
}

void BoardAutoSave::releaseFileName()
{
    AutoSaveNames::program().release(this);
}

bool BoardAutoSave::AutoSave(const QString &SaveName)
{
    const QString dir = folder();
    QDir().mkpath(dir);
    const QString fileName = claimFileName(SaveName);
    const QString path = dir + u'/' + fileName;

    // The backup's own marker section may stay empty.
    const StratDocument &doc = board_.document().prepareSave(false);
    QString error;
    if (!writeStratFile(path, doc, StratSections::All, &error)) {
        if (panel3_)
            panel3_->setText(keyedText("s0045", QStringLiteral("Auto Save failed: ")) + fileName);
        return false;
    }
    AutoSaveNames::program().written(path);
    if (lastFile_ != path)
        removeLastFile();
    lastFile_ = path;
    xSaves = static_cast<std::int16_t>(xSaves + 1);
    if (panel3_)
        panel3_->setText(key(32) + fileName + QStringLiteral(" (") + QString::number(xSaves) + QStringLiteral("x)"));
    return true;
}

} // namespace quorvel
