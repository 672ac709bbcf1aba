#pragma once
// "Link": the text of a link to a site, picture or file. GO opens it; OK hands it back (the
// caller stores it), Cancel and the close box store nothing.

#include <QDialog>
#include <QUrl>

#include <cstdint>
#include <functional>

class QLineEdit;
class QPushButton;

namespace quorvel {

class frmLink : public QDialog {
    Q_OBJECT
public:
    explicit frmLink(QWidget *parent = nullptr);

    std::int16_t iLinki = 0; // the link being edited; 0 for a new one
    std::int16_t iLObj = 0;
    std::int16_t iLMov = 0;

    void cmdGO_Click();

    QLineEdit *txtLink;
    QPushButton *cmdGO;
    QPushButton *cmdOK;
    QPushButton *cmdCancelar;
};

// How a link text may be opened: at once (web and mail addresses, existing files that are
// not programs), or only after the user agreed.
enum class LinkSafety { Open, Ask, Nothing };
struct LinkTarget {
    LinkSafety safety = LinkSafety::Nothing;
    QUrl url;
};
LinkTarget classifyLink(const QString &text);

// Opens a link text with the desktop's default handler, asking first where it is not plainly
// safe. The owner parents the question.
void openLink(QWidget *owner, const QString &text);

// The desktop's opener; tests replace it to see what would have been opened.
std::function<bool(const QUrl &)> &shellOpener();

} // namespace quorvel
