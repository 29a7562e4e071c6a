#pragma once

#include "VTFFormat.h"
#include "VVTFRules.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QRadioButton;
class VVTFResizeParametersBox;

// The settings of a texture built from an image file: its format, where the
// images of a multi-image file go, how they are resized, and what is
// computed afterwards.
class VVTFNewImageWidget : public QWidget
{
    Q_OBJECT

public:
    VVTFNewImageWidget();

    // Enables the layouts that n source images allow.
    void setImageCount(quint16 count);

    VTFImageFormat format() const { return VTFImageFormat(m_format); }
    // Frames also when no layout was chosen.
    VVTFRules::ImportLayout layout() const;

    QComboBox *formatBox = nullptr;
    QGroupBox *framesAsGroup = nullptr;
    QRadioButton *framesButton = nullptr;
    QRadioButton *facesButton = nullptr;
    QRadioButton *slicesButton = nullptr;
    VVTFResizeParametersBox *resizeBox = nullptr;
    QCheckBox *reflectivityCheck = nullptr;
    QCheckBox *mipmapsCheck = nullptr;
    QCheckBox *spheremapsCheck = nullptr;

public slots:
    // Formats an image cannot be encoded into return the box to the last
    // accepted one.
    void formatChanged(int index);
    void framesAsToggled(bool faces);

private:
    int m_format = IMAGE_FORMAT_DXT5;
};
