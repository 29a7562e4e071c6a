#pragma once

#include <QGroupBox>

class QComboBox;
class QLabel;

// How images are resized to power-of-two sides: the resize filter, and per
// side a mode (nearest, next, previous or exact power of two) with the
// largest size (or, for the exact mode, the size itself).
class VVTFResizeParametersBox : public QGroupBox
{
    Q_OBJECT

public:
    VVTFResizeParametersBox();

    // A box of the sizes "1", "2", "4" .. "4096" (item n is 2^n).
    static QComboBox *sizeBox(const char *name, int currentItem);

    // The image library's filter number: the filter item + 1.
    int filter() const;
    // The sides a source of that size becomes (see VVTFRules::resizedSide).
    int resizedWidth(int sourceWidth) const;
    int resizedHeight(int sourceHeight) const;

    QComboBox *filterBox = nullptr;
    QComboBox *widthModeBox = nullptr;
    QLabel *widthClampLabel = nullptr;
    QComboBox *widthClampBox = nullptr;
    QComboBox *heightModeBox = nullptr;
    QLabel *heightClampLabel = nullptr;
    QComboBox *heightClampBox = nullptr;

public slots:
    void resizeWidthChanged();
    void resizeHeightChanged();
};
