#pragma once
// "Link": the text of a link to a site, picture or file. GO opens it; OK hands it back (the
// caller stores it), Cancel and the close box store nothing.

#include "platform/ShellOpen.h"

#include <QDialog>

#include <cstdint>

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

    QLineEdit *txtLink = nullptr;
    QPushButton *cmdGO = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancelar = nullptr;
};

} // namespace quorvel
