#pragma once
// "Version Check": Quorvel's version, the server's, a status line that links to the download
// and the version history. Every showing fetches afresh; the fetches run on the event loop, so
// the dialog is up and answering at once and fills in as the replies come.

#include "shell/UpdateCheck.h"

#include <QDialog>
#include "shell/ClickLabel.h"

class QLineEdit;
class QListWidget;

namespace quorvel {

class frmUpdate : public QDialog {
    Q_OBJECT
public:
    enum class Status { Checking, Newer, Current, Failed, NoServer };

    explicit frmUpdate(QWidget *parent = nullptr, const UpdateSource &source = defaultUpdateSource());

    Status status() const { return status_; }
    // The page the status line opens: the server's download address, or its forum page.
    QUrl downloadAddress() const;

    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    ClickLabel *Label3 = nullptr;
    QListWidget *List1 = nullptr;

signals:
    // Every fetch has come back (or failed).
    void checkFinished();

private:
    void fetched(const QString &path, bool ok, const QString &body);
    void setStatus(Status status);
    void Label3_Click();
    void oneDone();

    UpdateClient *Inet1 = nullptr;
    Status status_ = Status::Checking;
    QUrl where_;
    int pending_ = 0;
};

} // namespace quorvel
