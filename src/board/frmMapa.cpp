#include "board/frmMapa.h"

#include "board/AutoSave.h"
#include "board/BoardBounds.h"
#include "board/BoardEditor.h"
#include "board/BoardLinks.h"
#include "board/BoardHost.h"
#include "board/BoardEffects.h"
#include "board/BoardPlayback.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "common/DebugLog.h"
#include "common/FileHelpers.h"
#include "common/ProgramFolder.h"
#include "document/StratFile.h"
#include "language/SetLanguageInForm.h"
#include "language/clsLanguagePack.h"
#include "platform/Named.h"
#include "platform/Prompts.h"
#include "platform/clsDialog.h"
#include "playback/PlaybackController.h"
#include "playback/PlaybackModel.h"

#include <QCloseEvent>
#include <QDir>
#include <QMouseEvent>
#include <QFileInfo>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QSlider>
#include <QStatusBar>
#include <QVBoxLayout>

namespace quorvel {

namespace {

constexpr int kViewWidthPx = 801;  // 12015 twips
constexpr int kViewHeightPx = 600; // 9000 twips
constexpr int kStripHeightPx = int(kStripTwips) / kTwipsPerPixel;

// An overview name taken from a file must be a plain file name inside the Overviews folder.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && name != QLatin1String(".")
           && name != QLatin1String("..") && !name.contains(QChar(0));
}

QLabel *stripLabel(QWidget *parent, const char *name, const QString &text, int leftTwips, int widthTwips)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(leftTwips / 15, 0, widthTwips / 15, kStripHeightPx);
    label->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    return label;
}

QLabel *controlButton(QWidget *parent, const char *name, const char *face, int leftTwips)
{
    auto *button = new QLabel(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(leftTwips / 15, 0, 19, 15);
    button->setPixmap(QPixmap(programFolder() + QStringLiteral("/Bin/Icons/Controls/") + QLatin1String(face)
                              + QStringLiteral(".png")));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// The status texts s0029..s0042 in key order, with their English fallbacks.
constexpr struct {
    const char *key;
    const char *english;
} kStatusTexts[] = {
    {"s0029", "Mode: "},
    {"s0030", "Stop"},
    {"s0031", "Playback Speed: "},
    {"s0032", "Auto Saved: "},
    {"s0033", "Auto Save in "},
    {"s0034", " minutes."},
    {"s0035", "Play"},
    {"s0036", "Paused"},
    {"s0037", "Slow Motion"},
    {"s0038", "Play/Edit"},
    {"s0039", "Click here to play in slow motion!"},
    {"s0040", "Click here to resume normal speed!"},
    {"s0041", "Play Edit Mode"},
    {"s0042", "Not Yet."},
};

} // namespace

frmMapa::frmMapa(ProgramState &state, BoardHost &host, QWidget *parent)
    : QWidget(parent), state_(state), host_(host)
{
    setObjectName(QStringLiteral("frmMapa"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildControls();
    scene_->attach(document_, host_);
    document_.setPalette(state_.lCores);
    connect(&document_, &BoardDocument::modifiedChanged, this, &QWidget::setWindowModified);
    // The title label and the window title follow the document's title.
    connect(&document_, &BoardDocument::titleChanged, this, [this](const QString &title) {
        lblTitulo_->setText(title);
        setWindowTitle(title + QStringLiteral("[*]"));
    });

    const PlaybackControls controls{picGO_,        Picture1_, picPause_,   picSlow_, picReverse_,
                                    lblRoundTime_, lblFrame_, lblSegs_,    lblMaxTime_, Slider1_,
                                    Slider2_,      panels_[1], panels_[2]};
    controller_ = document_.makeController(host_.clock(), this);
    playback_ = new BoardPlayback(*controller_, document_, *scene_, host_, controls, keyTexts_, this);
    autoSave_ = new BoardAutoSave(*this, panels_[3], panels_[4], keyTexts_, this);
    editor_ = new BoardEditor(ToolContext{document_, *scene_, *view_, *controller_, state_, host_, *this});
    // The strat's length is measured again after an edit while stopped, and after a removal
    // in every mode (the dry run works on copies, so a running playback is left as it is). A
    // running Play/Edit keeps the time slider's length through the edits made in it.
    connect(&document_, &BoardDocument::stratLengthChanged, this, [this](BoardDocument::LengthEdit edit) {
        if (edit == BoardDocument::LengthEdit::Removed || !controller_->playEditMode())
            controller_->updateStratLength();
    });
    // The home page label ends the row under the overview.
    if (auto *bottom = findChild<QWidget *>(QStringLiteral("picBaixo")))
        if (auto *row = qobject_cast<QHBoxLayout *>(bottom->layout())) {
            auto *links = new BoardLinks(bottom, *controller_, {panels_.begin() + 1, panels_.end()});
            row->addSpacing(12);
            row->addWidget(links->lblSite());
        }
    // After the editor: the marker balloon watches the board's mouse before the editor takes it.
    effects_ = new BoardEffects(*controller_, *view_, *scene_, document_, host_.clock(), this);
}

frmMapa::~frmMapa()
{
    // The editor and the playback filter the events of this window's widgets: they go first,
    // so that nothing reaches them while QWidget tears the children down.
    delete editor_;
    editor_ = nullptr;
    delete playback_;
    playback_ = nullptr;
    delete effects_;
    effects_ = nullptr;
    delete controller_;
    controller_ = nullptr;
    delete autoSave_;
    autoSave_ = nullptr;
}

void frmMapa::buildControls()
{
    setStyleSheet(QStringLiteral("frmMapa { background: black; }"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    scene_ = new BoardScene(this);
    view_ = named<QGraphicsView>("picMapa", scene_, this);
    view_->setFixedSize(kViewWidthPx, kViewHeightPx);
    view_->setFrameShape(QFrame::NoFrame);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view_->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    view_->setTransformationAnchor(QGraphicsView::NoAnchor);
    view_->scale(1.0 / kTwipsPerPixel, 1.0 / kTwipsPerPixel);
    view_->setSceneRect(0, 0, kBoardWidthTwips, kBoardHeightTwips);
    layout->addWidget(view_);

    // The top strip lies over the overview's top edge. Only its buttons take the mouse: the
    // rest passes it to the board beneath, so an element under the strip can still be taken.
    // The buttons stand in front of the strip rather than in it, which would take them along.
    auto *strip = named<QWidget>("picTopo", view_);
    strip->setAttribute(Qt::WA_TransparentForMouseEvents);
    strip->setGeometry(0, 0, kViewWidthPx, kStripHeightPx);
    strip->setStyleSheet(QStringLiteral("#picTopo { background: rgba(0, 0, 0, 170); }"));
    lblTitulo_ = stripLabel(strip, "lblTitulo", QStringLiteral("Strat Name"), 0, 3300);
    stripLabel(strip, "lblRoundTimerCaption", QStringLiteral("Round Timer:"), 3360, 2200);
    lblRoundTime_ = stripLabel(strip, "lblRoundTime", QStringLiteral("1:45"), 5640, 700);
    stripLabel(strip, "lblFrameCaption", QStringLiteral("Frame:"), 6360, 1500);
    lblFrame_ = stripLabel(strip, "lblFrame", QStringLiteral("0"), 7920, 950);
    lblSegs_ = stripLabel(strip, "lblSegs", QStringLiteral("00:00"), 8880, 1400);
    picSlow_ = controlButton(view_, "picSlow", "picSlow2", 10320);
    picPause_ = controlButton(view_, "picPause", "picPause", 10680);
    picGO_ = controlButton(view_, "picGO", "picplay", 11040);
    Picture1_ = controlButton(view_, "Picture1", "picPlayEdit", 11400);
    picReverse_ = controlButton(view_, "picReverse", "picReverse2", 9960);
    lblFechar_ = stripLabel(view_, "lblFechar", QStringLiteral("X"), 11760, 255);
    picSlow_->hide();
    picPause_->hide();
    picReverse_->hide();
    lblFechar_->setCursor(Qt::PointingHandCursor);
    lblFechar_->installEventFilter(this);

    // Below the overview: the time slider with its bounds, the speed slider, the status bar.
    auto *bottom = named<QWidget>("picBaixo", this);
    bottom->setStyleSheet(QStringLiteral("QLabel { color: white; }"));
    auto *row = new QHBoxLayout(bottom);
    row->setContentsMargins(6, 2, 6, 2);
    lblMinTime_ = named<QLabel>("lblMinTime", QStringLiteral("0"), bottom);
    Slider2_ = named<QSlider>("Slider2", Qt::Horizontal, bottom);
    Slider2_->setRange(0, 1);
    lblMaxTime_ = named<QLabel>("lblMaxTime", QStringLiteral("1"), bottom);
    Slider1_ = named<QSlider>("Slider1", Qt::Horizontal, bottom);
    Slider1_->setRange(1, 5);
    Slider1_->setValue(1);
    Slider1_->setFixedWidth(90);
    Slider1_->setTickPosition(QSlider::TicksBelow);
    row->addWidget(lblMinTime_);
    row->addWidget(Slider2_, 1);
    row->addWidget(lblMaxTime_);
    row->addSpacing(12);
    // The speed slider with its marks "1x" to "5x" (Label3 to Label7) under it.
    auto *speed = new QVBoxLayout;
    speed->setSpacing(0);
    speed->addWidget(Slider1_);
    auto *marks = new QHBoxLayout;
    for (int i = 1; i <= 5; ++i) {
        auto *mark = named<QLabel>(QStringLiteral("Label%1").arg(i + 2),
                                   QStringLiteral("%1x").arg(i), bottom);
        mark->setAlignment(Qt::AlignCenter);
        mark->setStyleSheet(QStringLiteral("font-size: 8pt;"));
        marks->addWidget(mark);
    }
    speed->addLayout(marks);
    row->addLayout(speed);
    layout->addWidget(bottom);

    StatusBar1_ = named<QStatusBar>("StatusBar1", this);
    StatusBar1_->setSizeGripEnabled(false);
    StatusBar1_->setStyleSheet(QStringLiteral("QStatusBar { background: palette(window); } QLabel { color: palette(window-text); }"));
    for (int panel = 1; panel <= 4; ++panel) {
        panels_[panel] = new QLabel(StatusBar1_);
        panels_[panel]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(panel));
        StatusBar1_->addWidget(panels_[panel], panel == 3 ? 2 : 1);
    }
    layout->addWidget(StatusBar1_);
    setFixedSize(kViewWidthPx, kViewHeightPx + 48 + 24);
}

void frmMapa::setStatusPanel(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 4)
        panels_[panel]->setText(text);
}

void frmMapa::Form_Load()
{
    static_assert(std::size(kStatusTexts) == std::tuple_size_v<decltype(keyTexts_)>);
    for (std::size_t k = 0; k < keyTexts_.size(); ++k)
        keyTexts_[k] = keyedText(kStatusTexts[k].key, QString::fromLatin1(kStatusTexts[k].english));
    setStatusPanel(1, keyText(29) + keyText(30));
    setStatusPanel(2, keyText(31) + QString::number(Slider1_->value()) + QStringLiteral("x"));
    setStatusPanel(3, keyText(32) + keyText(42));
    setStatusPanel(4, keyText(33) + QStringLiteral("5") + keyText(34));

    PlaybackSettings settings = model_.playback.settings;
    settings.iRoundTimer = state_.iRoundTimer;
    settings.lFrameInc = state_.lFrameInc;
    settings.bShowAnimations = state_.bShowAnimations;
    document_.setPlaybackSettings(settings);
    document_.rewindPlayback();
    lblRoundTime_->setText(formatRoundTime(std::max<int>(state_.iRoundTimer, 0)));
    lblFrame_->setText(QStringLiteral("0"));
    lblSegs_->setText(formatElapsed(0));
    document_.setFileName(QString());
    document_.setModified(false);
    closing_ = false;
    controller_->boardLoaded();
    autoSave_->boardLoaded();
    // Last, so that the pack's texts replace the designed ones the controls were given above.
    translateWindow(this);
}

void frmMapa::setImI(std::int16_t slot) { document_.setSlot(slot); }

void frmMapa::debug(const char *line)
{
    if (debugEnabled())
        host_.GravaDebug(QLatin1String(line));
}

bool frmMapa::loadOverview(const QString &fileName)
{
    QPixmap picture;
    if (isPlainFileName(fileName)) {
        const QString path = programFolder() + QStringLiteral("/Overviews/") + fileName;
        if (QFileInfo(path).isFile())
            picture.load(path);
    }
    scene_->setOverview(picture);
    return !picture.isNull();
}

bool frmMapa::takeOverview(StratDocument &doc, bool logDebug)
{
    auto log = [&](const char *line) {
        if (logDebug)
            debug(line);
    };
    const QString overview = doc.sOverview.trimmed();

    // The overview picture, or one the user picks instead of a missing one.
    if (!loadOverview(overview)) {
        QString chosen;
        for (;;) {
            log("Message 12");
            showMessage(host_.dialogOwner(),
                        overview + QStringLiteral(" could not be found. Please select a new overview image."));
            log("Message 13");
            log("Message 14");
            chosen = host_.chooseOverview();
            log("Message 15");
            if (chosen.isEmpty()) {
                log("Message 16");
                showMessage(host_.dialogOwner(), QStringLiteral("Cannot open the strat file without a map overview."));
                log("Message 17");
                closeBoard(CloseReason::Program);
                return false;
            }
            // A replacement that does not load either is not accepted as a blank board.
            if (loadOverview(chosen))
                break;
        }
        doc.sOverview = chosen;
    }
    return true;
}

void frmMapa::AbreTatica(const QString &sArq)
{
    if (sArq.isEmpty()) {
        closeBoard(CloseReason::Program);
        return;
    }
    document_.setFileName(sArq);

    StratDocument doc;
    const StratReadResult read = readStratFile(sArq, doc);
    if (!read.ok) {
        debug("Message 18");
        Prompts::current().detailedMessage(host_.dialogOwner(), QStringLiteral("An error has occured."), QString(),
                                           MessageIcon::None, stratErrorDetails(sArq, read.error));
        debug("Message 19");
        closeBoard(CloseReason::Program);
        return;
    }
    const QString stored = doc.sOverview;
    if (!takeOverview(doc, true))
        return;
    const bool replaced = doc.sOverview != stored;
    document_.load(std::move(doc));
    // An overview chosen in place of a missing one is a change to save.
    if (replaced)
        document_.setModified(true);

    if (host_.WindowListContains(this))
        host_.WindowListCheck(this, QStringLiteral("add"));
    else
        host_.WindowListAdd(this);
    controller_->updateStratLength();
    // Every step plays, but point numbers end at 32,767: what is not drawn is said once.
    if (model_.undrawnSteps > 0) {
        const QString undrawn = model_.undrawnSteps == 1
                                    ? QStringLiteral("the other one plays")
                                    : QStringLiteral("the other %1 play").arg(QLocale().toString(model_.undrawnSteps));
        showMessage(host_.dialogOwner(),
                    QStringLiteral("This strat has more path steps than the board can draw. The first %1 are "
                                   "drawn as path points; %2 without a point and cannot be edited on the board.")
                        .arg(QLocale().toString(int(model_.iPontos)), undrawn),
                    QString(), MessageIcon::Information);
    }
}

bool frmMapa::SalvaTatica(bool bComo)
{
    QString path = model_.sArquivo;
    if (bComo || path.isEmpty()) {
        // The dialog gives back the whole name with ".qvl" applied.
        path = clsDialog().SaveDialog(host_.dialogOwner(), kStratFilter,
                                      keyedText("s0004", QStringLiteral("Save Strat")), programFolder());
        if (path.isEmpty())
            return false;
    }

    QString error;
    if (!writeStratFile(path, document_.prepareSave(), StratSections::All, &error)) {
        // The old file is whole and the board keeps the name it had. The file and the reason,
        // as the video save gives them: a full disk and a read-only folder need different fixes.
        showMessage(host_.dialogOwner(),
                    QStringLiteral("There was an error writing the file.\n\n") + QDir::toNativeSeparators(path)
                        + QStringLiteral("\n") + error,
                    QString(), MessageIcon::Critical);
        return false;
    }
    document_.setFileName(path);
    document_.setModified(false);
    return true;
}

bool frmMapa::maybeSave()
{
    if (model_.imI == 0 || !document_.isModified())
        return true;
    const QString title = document_.title().trimmed();
    const QString question = keyedText("s0046", QStringLiteral("Save changes to %1?")).arg(title);
    switch (Prompts::current().message(host_.dialogOwner(), question, QString(),
                                       MessageIcon::Warning, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes: return SalvaTatica(false);
    case MessageAnswer::No: return true;
    default: return false;
    }
}

void frmMapa::applySettings()
{
    PlaybackSettings settings = model_.playback.settings;
    settings.iRoundTimer = state_.iRoundTimer;
    settings.bShowAnimations = state_.bShowAnimations;
    document_.setPlaybackSettings(settings);
    if (controller_->running())
        return;
    if (model_.playback.lFrameAtual() == 0) // the next start counts down from here
        lblRoundTime_->setText(formatRoundTime(settings.roundSeconds()));
    controller_->updateStratLength();
}

bool frmMapa::bMovimento() const { return state_.tool.armed(model_.imI) == ArmedTool::PathPoint; }

void frmMapa::cancelMovement()
{
    editor_->placingReset();
}

void frmMapa::Form_Activate()
{
    if (model_.imI == 0)
        return;
    if (!host_.WindowListContains(this))
        host_.WindowListAdd(this);
    host_.WindowListCheck(this, QStringLiteral("add"));
}

void frmMapa::Form_Deactivate()
{
    if (model_.imI != 0)
        host_.WindowListCheck(this, QStringLiteral("remove"));
}

void frmMapa::closeBoard(CloseReason reason)
{
    if (closing_)
        return;
    closing_ = true;
    controller_->boardClosing();
    autoSave_->boardClosed();
    if (reason != CloseReason::MainWindow)
        host_.WindowListRemove(this);
    state_.tool.boardClosed(model_.imI);
    document_.clear();
    scene_->clearElements();
    scene_->setOverview(QPixmap());
    host_.boardClosed(this);
    emit closed();
}

void frmMapa::closeEvent(QCloseEvent *event)
{
    if (!closing_ && !maybeSave()) {
        event->ignore();
        return;
    }
    closeBoard(CloseReason::User);
    event->accept();
}

bool frmMapa::eventFilter(QObject *watched, QEvent *event)
{
    // The "X" of the title strip closes the board as its window's close box does.
    if (watched == lblFechar_ && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (QWidget *frame = parentWidget())
            frame->close();
        else
            close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quorvel
