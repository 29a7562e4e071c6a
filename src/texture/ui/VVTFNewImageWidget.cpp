#include "VVTFNewImageWidget.h"

#include "NamedWidget.h"
#include "VVTFResizeParametersBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QCheckBox *checked(const QString &text, const char *name)
{
    auto *box = namedWidget<QCheckBox>(name, text);
    box->setChecked(true);
    return box;
}
} // namespace

VVTFNewImageWidget::VVTFNewImageWidget()
{
    setWindowTitle(tr("New VTF"));

    formatBox = new QComboBox;
    formatBox->setObjectName(QStringLiteral("formatBox"));
    for (int format = 0; format < IMAGE_FORMAT_COUNT; ++format)
        formatBox->addItem(vtfFormatName(VTFImageFormat(format)));
    formatBox->setCurrentIndex(m_format);

    framesAsGroup = new QGroupBox(tr("Multiple Frames As"));
    framesAsGroup->setObjectName(QStringLiteral("framesAsGroup"));
    framesButton = namedWidget<QRadioButton>("framesButton", tr("Frames"));
    facesButton = namedWidget<QRadioButton>("facesButton", tr("Faces"));
    slicesButton = namedWidget<QRadioButton>("slicesButton", tr("Slices"));
    auto *framesAs = new QVBoxLayout(framesAsGroup);
    framesAs->addWidget(framesButton);
    framesAs->addWidget(facesButton);
    framesAs->addWidget(slicesButton);

    auto *basic = new QGroupBox(tr("Basic Settings"));
    auto *basicGrid = new QGridLayout(basic);
    basicGrid->addWidget(new QLabel(tr("Format:")), 0, 0);
    basicGrid->addWidget(formatBox, 0, 1);
    basicGrid->addWidget(framesAsGroup, 1, 0, 1, 2);
    basic->setFixedSize(basic->sizeHint());

    resizeBox = new VVTFResizeParametersBox;

    auto *automatic = new QGroupBox(tr("Automatic Operations"));
    reflectivityCheck = checked(tr("Compute Reflectivity"), "reflectivityCheck");
    mipmapsCheck = checked(tr("Generate Mipmaps"), "mipmapsCheck");
    spheremapsCheck = checked(tr("Generate Spheremaps"), "spheremapsCheck");
    auto *row = new QHBoxLayout(automatic);
    row->addWidget(reflectivityCheck, 0, Qt::AlignLeft);
    row->addWidget(mipmapsCheck, 0, Qt::AlignHCenter);
    row->addWidget(spheremapsCheck, 0, Qt::AlignRight);
    automatic->setFixedHeight(automatic->sizeHint().height());

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(1, 1, 1, 1);
    grid->addWidget(basic, 0, 0);
    grid->addWidget(resizeBox, 0, 1);
    grid->addWidget(automatic, 1, 0, 1, 2);
    adjustSize();
    setFixedSize(size());

    connect(formatBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VVTFNewImageWidget::formatChanged);
    connect(facesButton, &QRadioButton::toggled, this, &VVTFNewImageWidget::framesAsToggled);
}

void VVTFNewImageWidget::setImageCount(quint16 count)
{
    framesAsGroup->setEnabled(count > 1);
    facesButton->setEnabled(count == 6 || count == 7);
    slicesButton->setEnabled(count != 0 && (count & (count - 1)) == 0);
    spheremapsCheck->setChecked(count == 6);
    spheremapsCheck->setEnabled(facesButton->isEnabled());
}

VVTFRules::ImportLayout VVTFNewImageWidget::layout() const
{
    if (facesButton->isChecked())
        return VVTFRules::ImportLayout::Faces;
    if (slicesButton->isChecked())
        return VVTFRules::ImportLayout::Slices;
    return VVTFRules::ImportLayout::Frames;
}

void VVTFNewImageWidget::formatChanged(int index)
{
    if (index < 0 || index >= IMAGE_FORMAT_COUNT || index == IMAGE_FORMAT_P8 ||
        index == IMAGE_FORMAT_RGBA16161616F) {
        formatBox->setCurrentIndex(m_format);
        return;
    }
    m_format = index;
}

void VVTFNewImageWidget::framesAsToggled(bool faces)
{
    spheremapsCheck->setEnabled(faces);
}
