#include "shell/frmPrincipal.h"

#include "board/BoardDocument.h"
#include "board/BoardScene.h"
#include "board/frmMapa.h"
#include "common/DebugLog.h"
#include "common/FileHelpers.h"
#include "common/ProgramFolder.h"
#include "document/StratFile.h"
#include "export/VideoRecorder.h"
#include "language/LanguageChoice.h"
#include "language/SetLanguageInForm.h"
#include "language/clsLanguagePack.h"
#include "platform/Named.h"
#include "platform/Prompts.h"
#include "platform/Settings.h"
#include "platform/clsDialog.h"
#include "playback/IconPicture.h"
#include "shell/CommandPoller.h"
#include "shell/FileAssociation.h"
#include "shell/HelpCommands.h"
#include "shell/StartUp.h"
#include "shell/BoardMenus.h"
#include "shell/Toolbar.h"
#include "shell/WindowList.h"
#include "shell/frmNovo.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolBar>

namespace quorvel {

frmPrincipal::frmPrincipal(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(QStringLiteral("Quorvel"));
    mdi_ = named<QMdiArea>("mdiArea", this);
    mdi_->setBackground(QColor(38, 42, 48)); // until the picture is laid out
    // A board larger than the area scrolls into reach rather than being cut off.
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    picTile_ = QPixmap(programFolder() + QStringLiteral("/Bin/background.png"));
    mdi_->viewport()->installEventFilter(this);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &frmPrincipal::subWindowActivated);
    buildMenus();
    menus_ = new BoardMenus(*this);
    toolbar_ = new Toolbar(state_, icons_, this);
    connect(toolbar_, &Toolbar::cancelAll, this, [this] {
        for (int i = 1; i <= kMaxBoards + 1; ++i)
            if (frmMapa *b = Mapas_[std::size_t(i)]; b && b->imI() >= 1)
                b->cancelMovement();
    });
    auto *tools = addToolBar(QStringLiteral("picBotoes"));
    tools->setObjectName(QStringLiteral("tbBotoes"));
    tools->setMovable(false);
    tools->addWidget(toolbar_);
    mdi_->viewport()->installEventFilter(toolbar_);
    help_ = new HelpCommands(*this, tools);

    // A second start hands its command line over through the settings store.
    auto *poller = new CommandPoller(this);
    connect(poller, &CommandPoller::openFile, this, &frmPrincipal::openNamedFile);
    connect(poller, &CommandPoller::raise, this, &frmPrincipal::bringToFront);
    poller->start();
    resize(1100, 820);
}

frmPrincipal::~frmPrincipal()
{
    // The MDI area outlives this part of the object while QWidget tears the children down;
    // its activation signal must not reach a half-destroyed main window.
    disconnect(mdi_, nullptr, this, nullptr);
    // The boards read the state this window owns (the armed tool a lost focus resets): they
    // go while it is whole, not after it with the rest of the children.
    const QList<QMdiSubWindow *> subs = mdi_->subWindowList();
    Mapas_.fill(nullptr);
    activeBoard_ = nullptr;
    qDeleteAll(subs);
    // The toolbar filters the MDI area's events and calls back into this window.
    mdi_->viewport()->removeEventFilter(toolbar_);
    mdi_->viewport()->removeEventFilter(this);
}

bool frmPrincipal::eventFilter(QObject *watched, QEvent *event)
{
    if (mdi_ && watched == mdi_->viewport() && event->type() == QEvent::Resize)
        paintBackground();
    return QMainWindow::eventFilter(watched, event);
}

void frmPrincipal::paintBackground()
{
    // The tile picture stretched over the board area; a missing (or empty) picture leaves the
    // plain colour.
    const QSize area = mdi_->viewport()->size();
    if (picTile_.isNull() || area.isEmpty())
        return;
    mdi_->setBackground(QBrush(picTile_.scaled(area, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void frmPrincipal::bringToFront()
{
    // Only a minimised window is restored, to the state it had before: a maximised one stays
    // maximised.
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void frmPrincipal::buildMenus()
{
    auto action = [this](QMenu *menu, const char *name, const QString &caption, auto slot,
                         const QKeySequence &shortcut = QKeySequence()) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(shortcut);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu *mnuTatica = menuBar()->addMenu(QStringLiteral("&Strat"));
    mnuTatica->setObjectName(QStringLiteral("mnuTatica"));
    action(mnuTatica, "mnuNovo", QStringLiteral("&New"), &frmPrincipal::mnuNovo_Click, QKeySequence(Qt::CTRL | Qt::Key_N));
    action(mnuTatica, "mnuAbrir", QStringLiteral("&Open"), &frmPrincipal::mnuAbrir_Click, QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuTatica->addSeparator()->setObjectName(QStringLiteral("sep01"));
    action(mnuTatica, "mnuSalvar", QStringLiteral("&Save"), &frmPrincipal::mnuSalvar_Click, QKeySequence(Qt::CTRL | Qt::Key_S));
    action(mnuTatica, "mnuSalvarComo", QStringLiteral("Save &As..."), &frmPrincipal::mnuSalvarComo_Click,
           QKeySequence(Qt::CTRL | Qt::Key_A));
    buildExport(mnuTatica);
    mnuTatica->addSeparator()->setObjectName(QStringLiteral("sep03"));
    action(mnuTatica, "mnuSair", QStringLiteral("E&xit"), &frmPrincipal::mnuSair_Click);

    // Tools: the options join it by finding "mnuTools".
    QMenu *mnuTools = menuBar()->addMenu(QStringLiteral("&Tools"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    action(mnuTools, "mnuConvert", QStringLiteral("Convert Old .qvl"), &frmPrincipal::mnuConvert_Click);

    mnuWindow_ = menuBar()->addMenu(QStringLiteral("&Windows"));
    mnuWindow_->setObjectName(QStringLiteral("mnuWindow"));
    windowList_ = std::make_unique<WindowList>(mnuWindow_, mdi_);
    connect(windowList_.get(), &WindowList::activate, this, [this](QWidget *w) {
        if (QMdiSubWindow *sub = subWindowOf(qobject_cast<frmMapa *>(w)))
            mdi_->setActiveSubWindow(sub);
    });
    // The menu is made from the boards themselves each time it opens.
    connect(mnuWindow_, &QMenu::aboutToShow, this, [this] {
        QList<QWidget *> open;
        for (QMdiSubWindow *sub : mdi_->subWindowList(QMdiArea::CreationOrder))
            if (auto *b = qobject_cast<frmMapa *>(sub->widget()); b && b->imI() != 0 && !sub->isHidden())
                open.append(b);
        windowList_->listBoards(open, activeBoard());
    });
    connect(windowList_.get(), &WindowList::cascade, mdi_, &QMdiArea::cascadeSubWindows);
    connect(windowList_.get(), &WindowList::tile, mdi_, &QMdiArea::tileSubWindows);
}

void frmPrincipal::SetMenuDefaults()
{
    windowList_->SetMenuDefaults();
}

void frmPrincipal::debug(const char *line)
{
    if (debugEnabled())
        GravaDebug(QLatin1String(line));
}

void frmPrincipal::MDIForm_Load(const QString &commandLine, const QString &stratPath)
{
    SetMenuDefaults();
    state_.fillPalette();
    translateWindow(this);
    state_.lFrameInc = 1;
    showMaximized(); // the main window starts maximised

    const ProgramSettings settings = readProgramSettings(settingsStore());
    programSettings() = settings;
    state_.bShowAnimations = settings.bShowAnimations;
    state_.iRoundTimer = settings.iRoundTimer;

    if (takeFirstRun(settingsStore())) {
        debug("Message 2");
        const QString question = keyedText("s0012", QStringLiteral("This is the first time that you have run Quorvel."))
                                 + QStringLiteral("\r\n\r\n")
                                 + keyedText("s0013", QStringLiteral("Would you like to open the example strat and "
                                                                     "take a look how to make a simple strat?"));
        if (Prompts::current().message(this, question, keyedText("s0014", QStringLiteral("Welcome")),
                                       MessageIcon::None, MessageButtons::YesNo)
            == MessageAnswer::Yes) {
            debug("Message 3");
            const std::int16_t slot = NovoMapa();
            if (slot == -1) {
                showMessage(this, keyedText("s0009", QStringLiteral("Too many strats open at the same time.")),
                            QString(), MessageIcon::Critical);
                debug("Message 4");
                return;
            }
            const QString examples = programFolder() + QStringLiteral("/Strats/Examples/");
            QString example = examples + QStringLiteral("example.qvl");
            if (!sIdioma().isEmpty() && ArquivoExiste(examples + QStringLiteral("example_") + sIdioma() + QStringLiteral(".qvl")))
                example = examples + QStringLiteral("example_") + sIdioma() + QStringLiteral(".qvl");
            board(slot)->AbreTatica(example);
        }
    }

    // The strat file type, until a registration has succeeded.
    if (const RegistrationResult r = registerStratFilesOnce(); !r.ok)
        qWarning("Quorvel: strat files not registered with the desktop: %s", qPrintable(r.error));

    if (debugEnabled())
        GravaDebug(commandLine);
    // A switch is never a file name, even when a file of that name exists.
    if (!commandLine.isEmpty() && !isCommandSwitch(commandLine)) {
        if (!stratPath.isEmpty())
            openNamedFile(stratPath);
    } else if (programSettings().bDicas) {
        debug("Message 5");
        help_->mnuDica_Click();
        debug("Message 6");
    }

    if (programSettings().bAutoCheck)
        help_->startUpCheck();
}

std::int16_t frmPrincipal::NovoMapa()
{
    const QString title = keyedText("s0008", QStringLiteral("Strat"));
    const int n = iNumMapas_;
    for (int i = 1; i <= n; ++i) {
        frmMapa *b = Mapas_[i];
        if (b->imI() != 0)
            continue;
        debug("Message 10");
        QMdiSubWindow *sub = subWindowOf(b);
        help_->closeAboutBox(); // a board's load closes the about box
        b->Form_Load();
        sub->show();
        b->show();
        debug("Message 11");
        b->document().setTitle(title);
        b->setImI(static_cast<std::int16_t>(i));
        b->setSArquivo(QString());
        return static_cast<std::int16_t>(i);
    }
    if (iNumMapas_ == kMaxBoards)
        return -1;

    ++iNumMapas_;
    auto *b = new frmMapa(state_, *this);
    Mapas_[iNumMapas_] = b;
    QMdiSubWindow *sub = mdi_->addSubWindow(b, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWindowIcon(icons_.marker());
    // The frame shows the title, without the blanks that pad it, and Qt's "*" for a changed
    // strat.
    connect(b, &QWidget::windowTitleChanged, sub, [sub](QString caption) {
        sub->setWindowTitle(caption.remove(QStringLiteral("[*]")).trimmed() + QStringLiteral("[*]"));
    });
    connect(&b->document(), &BoardDocument::modifiedChanged, sub, &QWidget::setWindowModified);
    help_->closeAboutBox();
    b->Form_Load();
    sub->show();
    b->document().setTitle(title + QString::number(iNumMapas_));
    b->setImI(static_cast<std::int16_t>(iNumMapas_));
    return static_cast<std::int16_t>(iNumMapas_);
}

// A new board for the existing file p, or none: a missing file says nothing, a full table of
// slots says so. Only the current format's opener marks that message in the debug log.
frmMapa *frmPrincipal::boardForFile(const QString &p, bool logged)
{
    if (!ArquivoExiste(p))
        return nullptr;
    const std::int16_t slot = NovoMapa();
    if (slot == -1) {
        if (logged)
            debug("Message 8");
        showMessage(this, keyedText("s0009", QStringLiteral("Too many strats open at the same time.")), QString(),
                    MessageIcon::Critical);
        if (logged)
            debug("Message 9");
        return nullptr;
    }
    return board(slot);
}

void frmPrincipal::openNamedFile(const QString &path)
{
    if (ArquivoExiste(path)) {
        if (frmMapa *b = boardForFile(path, true))
            b->AbreTatica(path);
        return;
    }
    const QFileInfo found(path);
    QString why;
    if (found.isDir())
        why = keyedText("open04", QStringLiteral("It is a folder, not a file."));
    else if (found.exists())
        why = keyedText("open05", QStringLiteral("It is a pipe, a socket or a device, not a regular file."));
    else if (path.contains(QChar::ReplacementCharacter)) // Qt names files in UTF-8 only
        why = keyedText("open03", QStringLiteral("Its name is not UTF-8 text, which Quorvel cannot "
                                                 "read; rename the file and open it again."));
    else
        why = keyedText("open02", QStringLiteral("No file has this name."));
    showMessage(this,
                keyedText("open01", QStringLiteral("The strat cannot be opened:")) + QStringLiteral("\n")
                    + QDir::toNativeSeparators(path) + QStringLiteral("\n") + why,
                QString(), MessageIcon::Critical);
}

void frmPrincipal::ConverteArquivo(const QString &path)
{
    const QString p = cleanStratPath(path);
    if (frmMapa *b = boardForFile(p, false))
        b->OldAbreTatica(p);
}

void frmPrincipal::applySettingsToBoards()
{
    for (int i = 1; i <= iNumMapas_; ++i)
        if (frmMapa *b = Mapas_[std::size_t(i)]; b && b->imI() != 0)
            b->applySettings();
}

frmMapa *frmPrincipal::board(int slot) const
{
    return slot >= 1 && slot <= kMaxBoards ? Mapas_[slot] : nullptr;
}

frmMapa *frmPrincipal::activeBoard() const
{
    QMdiSubWindow *sub = mdi_->activeSubWindow();
    auto *b = sub ? qobject_cast<frmMapa *>(sub->widget()) : nullptr;
    return b && b->imI() != 0 ? b : nullptr;
}

QMdiSubWindow *frmPrincipal::subWindowOf(frmMapa *b) const
{
    for (QMdiSubWindow *sub : mdi_->subWindowList())
        if (sub->widget() == b)
            return sub;
    return nullptr;
}

void frmPrincipal::subWindowActivated(QMdiSubWindow *window)
{
    auto *next = window ? qobject_cast<frmMapa *>(window->widget()) : nullptr;
    if (next == activeBoard_)
        return;
    if (activeBoard_ && activeBoard_->imI() != 0)
        activeBoard_->Form_Deactivate();
    activeBoard_ = next;
    if (activeBoard_)
        activeBoard_->Form_Activate();
}

QPixmap frmPrincipal::iconPicture(const IconPicture &picture) const
{
    return icons_.picture(picture);
}

QPixmap frmPrincipal::markerPicture() const
{
    return icons_.marker();
}

bool frmPrincipal::WindowListContains(frmMapa *b)
{
    return windowList_->WindowListContains(b);
}

void frmPrincipal::WindowListAdd(frmMapa *b)
{
    windowList_->WindowListAdd(b);
}

void frmPrincipal::WindowListCheck(frmMapa *b, const QString &action)
{
    windowList_->WindowListCheck(b, action);
}

void frmPrincipal::WindowListRemove(frmMapa *b)
{
    windowList_->WindowListRemove(b);
}

QString frmPrincipal::chooseOverview()
{
    return frmNovo2::chooseOverview(this);
}

void frmPrincipal::GravaDebug(const QString &line)
{
    quorvel::GravaDebug(line);
}

void frmPrincipal::boardClosed(frmMapa *b)
{
    if (activeBoard_ == b)
        activeBoard_ = nullptr;
    if (QMdiSubWindow *sub = subWindowOf(b); sub && !closingProgram_)
        sub->hide();
}

void frmPrincipal::showPopup(Popup which, const QPoint &globalPos)
{
    menus_->showPopup(which, globalPos);
}

QPixmap frmPrincipal::cursorPicture(int index) const
{
    return icons_.cursor(index);
}

void frmPrincipal::mnuNovo_Click()
{
    // Modeless; choosing New again while it is open brings the same dialog back.
    if (novo_) {
        novo_->raise();
        novo_->activateWindow();
        return;
    }
    auto *dialog = new frmNovo(this, programSettings().bMapDefault, [this] { return int(NovoMapa()); });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &frmNovo::setUpBoard, this, [this](const NewStrat &s) {
        frmMapa *b = board(s.slot);
        if (!b)
            return;
        b->loadOverview(s.overview);
        b->document().setOverview(s.overview);
        b->document().setTitle(s.caption);
    });
    novo_ = dialog;
    dialog->show();
}

void frmPrincipal::mnuAbrir_Click()
{
    const QString path = clsDialog().OpenDialog(this, kStratFilter, keyedText("s0021", QStringLiteral("Open Strat")),
                                                programFolder());
    if (!path.isEmpty())
        openNamedFile(path); // the dialog's name is whole: nothing to clean, and a reason when it cannot open
}

void frmPrincipal::mnuConvert_Click()
{
    const QString path = clsDialog().OpenDialog(this, kStratFilter, keyedText("s0021", QStringLiteral("Open Strat")),
                                                programFolder());
    if (!path.isEmpty())
        ConverteArquivo(path);
}

void frmPrincipal::mnuSalvar_Click()
{
    if (frmMapa *b = activeBoard())
        b->SalvaTatica(false);
}

void frmPrincipal::mnuSalvarComo_Click()
{
    if (frmMapa *b = activeBoard())
        b->SalvaTatica(true);
}

void frmPrincipal::mnuSair_Click()
{
    close();
}

void frmPrincipal::closeEvent(QCloseEvent *event)
{
    // A video being saved is asked about as a changed strat is; it stops only once nothing
    // else holds the close back.
    const bool savingVideo = recorder_ && recorder_->state() == VideoRecorder::State::Saving;
    if (savingVideo
        && Prompts::current().message(
               this,
               keyedText("export20", QStringLiteral("A video is being saved. If you close the program now, the save "
                                                    "is stopped and the recording is lost. Close anyway?")),
               QString(), MessageIcon::Warning, MessageButtons::YesNo)
               != MessageAnswer::Yes) {
        event->ignore();
        return;
    }
    // Each changed strat is offered for saving first; a Cancel keeps everything open.
    for (int i = 1; i <= iNumMapas_; ++i) {
        frmMapa *b = Mapas_[std::size_t(i)];
        if (!b || b->imI() == 0 || !b->document().isModified())
            continue;
        if (QMdiSubWindow *sub = subWindowOf(b))
            mdi_->setActiveSubWindow(sub);
        if (!b->maybeSave()) {
            event->ignore();
            return;
        }
    }
    if (savingVideo)
        recorder_->closeForExit();
    closingProgram_ = true;
    for (int i = 1; i <= iNumMapas_; ++i) {
        if (Mapas_[i] && Mapas_[i]->imI() != 0)
            Mapas_[i]->closeBoard(frmMapa::CloseReason::MainWindow);
    }
    event->accept();
}

} // namespace quorvel
