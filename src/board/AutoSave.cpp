#include "board/AutoSave.h"

#include "board/ProgramState.h"
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

BoardAutoSave::BoardAutoSave(frmMapa &board, ProgramState &state, QLabel *panel3, QLabel *panel4,
                             const std::array<QString, 14> &keyTexts, QObject *parent)
    : QObject(parent), board_(board), state_(state), panel3_(panel3), panel4_(panel4), keyTexts_(keyTexts)
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
    board_.AutoSaveInProgress = true;
    AutoSave(board_.titulo().trimmed());
    board_.AutoSaveInProgress = false;
    board_.finishDeferredClose();
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

    StratDocument &doc = board_.model().doc;
    makeSavePlaceholders(doc, false); // the backup's own marker section may stay empty
    const std::int16_t slot = board_.imI();
    if (slot >= 0 && slot <= kMaxBoards) {
        doc.sOverview = state_.sOverview[slot];
        doc.sNomeTatica = state_.sNomeTatica[slot];
    }
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
