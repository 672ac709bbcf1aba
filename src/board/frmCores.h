#pragma once
// "Select a Color": twenty swatches and the selection swatch picCor(20). colour() is the
// colour OK confirmed; after the close box it is the preset.

#include <QDialog>

#include <array>
#include <cstdint>

class QLabel;
class QPushButton;

namespace quorvel {

class ColourSwatch;

class frmCores : public QDialog {
    Q_OBJECT
public:
    explicit frmCores(std::int32_t lCor, QWidget *parent = nullptr);

    std::int32_t colour() const { return lCor_; }

    // The stored colour (0x00BBGGRR or a system colour) shown by swatch index.
    std::int32_t swatchColour(int index) const;
    // A click on swatch index: the selection swatch takes its colour.
    void picCor_Click(int index);

    std::array<ColourSwatch *, 21> picCor{};
    QPushButton *cmdOK = nullptr;

private:
    std::int32_t lCor_;
};

} // namespace quorvel
