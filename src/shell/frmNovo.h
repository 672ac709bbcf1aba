#pragma once
// Choosing an overview (a top-down picture of a map) from the program folder's "Overviews":
// frmNovo starts a new strat on it, frmNovo2 picks a replacement while a strat whose overview
// is missing is opened.
//
// Listed are plain files matching "*.src" (Option1(0)) or "*.jpg" (Option1(1)) whose names,
// extension included, have at most 16 characters: the name is stored in a 16-character field.

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace quorvel {

inline constexpr int kOverviewNameLength = 16;

// programFolder() + "/Overviews".
QString overviewFolder();
// The overview file names for pattern ("*.jpg", "*.src"), sorted by name.
QStringList listOverviews(const QString &pattern);
// The path of overview name inside overviewFolder(), or "" when the name is not a plain file
// name (a folder part, "..", an empty name) and could reach outside the folder.
QString overviewPath(const QString &name);

// The two forms' shared controls and behaviour.
class OverviewChoice : public QDialog {
    Q_OBJECT
public:
    QListWidget *lstOverview() const { return lstOverview_; }
    QLabel *imgOverview() const { return imgOverview_; }
    QRadioButton *option1(int index) const { return index == 0 ? option0_ : option1_; }
    QPushButton *cmdOK() const { return cmdOK_; }
    QPushButton *cmdCancel() const { return cmdCancel_; }

    // The selected name, "" when none.
    QString selectedName() const;
    // The selected overview's picture as loaded by the last list click (null when unreadable).
    const QPixmap &picture() const { return picture_; }

protected:
    OverviewChoice(QWidget *parent, const QString &formName, const QString &caption);
    // Lists the folder for the option that is selected now.
    void relist();
    // The checks shared by both OK buttons: a selection and a readable picture. Says what is
    // wrong and returns false.
    bool selectionUsable();

    virtual void cmdOK_Click() = 0;
    virtual void cmdCancel_Click() = 0;

private:
    void lstOverview_Click();

    QListWidget *lstOverview_ = nullptr;
    QLabel *imgOverview_ = nullptr;
    QRadioButton *option0_ = nullptr;
    QRadioButton *option1_ = nullptr;
    QPushButton *cmdOK_ = nullptr;
    QPushButton *cmdCancel_ = nullptr;
    QPixmap picture_;
};

// What a new board is given on OK.
struct NewStrat {
    int slot = -1;
    QString overview;     // file name as listed, at most 16 characters
    QString overviewPath; // overviewFolder() + "/" + overview
    QPixmap picture;      // the full picture, not the preview
    QString title;        // keyed text "s0008" ("Strat") followed by the slot: "Strat3"
    QString caption;      // the title padded with blanks to 32 characters, as stored
};

// "New Strat". Shown modeless by File > New; closes itself on a successful OK.
class frmNovo : public OverviewChoice {
    Q_OBJECT
public:
    // mapDefault: the "MapDefault" setting; opens on the "*.jpg" list when set. NovoMapa: the
    // main window's, which gives a free board slot (1 to 11, board shown) or -1.
    frmNovo(QWidget *parent, bool mapDefault, std::function<int()> NovoMapa);

signals:
    // The board in the slot should take the overview, title and caption.
    void setUpBoard(const quorvel::NewStrat &strat);

protected:
    void cmdOK_Click() override;

private:
    std::function<int()> NovoMapa_;
    void cmdCancel_Click() override;
};

// "Update Strat Picture". Run through Prompts::exec; sOverviewRet() is the choice.
class frmNovo2 : public OverviewChoice {
    Q_OBJECT
public:
    explicit frmNovo2(QWidget *parent = nullptr);

    // The chosen file name as listed (extension, no folder), "" for no choice.
    const QString &sOverviewRet() const { return sOverviewRet_; }

    // Shows the dialog modally and returns the choice.
    static QString chooseOverview(QWidget *owner);

protected:
    void cmdOK_Click() override;
    void cmdCancel_Click() override;

private:
    QString sOverviewRet_;
};

} // namespace quorvel
