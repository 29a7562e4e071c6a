#include "VVTFResizeParametersBox.h"

#include "NamedWidget.h"
#include "VTFFormat.h"
#include "VVTFRules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace {
constexpr int FilterCount = 29;
constexpr int DefaultFilterItem = 11; // "Mitchell"
constexpr int SizeItems = 13;         // "1" .. "4096"
constexpr int ExactMode = 3;

QComboBox *modeBox(const char *name)
{
    auto *box = namedWidget<QComboBox>(name);
    box->addItems({QStringLiteral("Nearest Power of Two"), QStringLiteral("Next Power of Two"),
                   QStringLiteral("Previous Power of Two"), QStringLiteral("Exact Power of Two")});
    return box;
}

} // namespace

QComboBox *VVTFResizeParametersBox::sizeBox(const char *name, int currentItem)
{
    auto *box = namedWidget<QComboBox>(name);
    for (int n = 0; n < SizeItems; ++n)
        box->addItem(QString::number(1 << n));
    box->setCurrentIndex(currentItem);
    return box;
}

VVTFResizeParametersBox::VVTFResizeParametersBox()
{
    setTitle(tr("Resize Parameters"));
    filterBox = new QComboBox;
    filterBox->setObjectName(QStringLiteral("filterBox"));
    for (int filter = 1; filter <= FilterCount; ++filter)
        filterBox->addItem(vtfFilterName(filter));
    filterBox->setCurrentIndex(DefaultFilterItem);
    widthModeBox = modeBox("widthModeBox");
    widthClampLabel = new QLabel(tr("Clamp Width:"));
    widthClampBox = sizeBox("widthClampBox", SizeItems - 1);
    heightModeBox = modeBox("heightModeBox");
    heightClampLabel = new QLabel(tr("Clamp Height:"));
    heightClampBox = sizeBox("heightClampBox", SizeItems - 1);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Resize Filter:")), 0, 0);
    grid->addWidget(filterBox, 0, 1);
    grid->addWidget(new QLabel(tr("Resize Width:")), 1, 0);
    grid->addWidget(widthModeBox, 1, 1);
    grid->addWidget(widthClampLabel, 2, 0);
    grid->addWidget(widthClampBox, 2, 1);
    grid->addWidget(new QLabel(tr("Resize Height:")), 3, 0);
    grid->addWidget(heightModeBox, 3, 1);
    grid->addWidget(heightClampLabel, 4, 0);
    grid->addWidget(heightClampBox, 4, 1);
    adjustSize();
    setFixedSize(size());

    connect(widthModeBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VVTFResizeParametersBox::resizeWidthChanged);
    connect(heightModeBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VVTFResizeParametersBox::resizeHeightChanged);
}

int VVTFResizeParametersBox::filter() const
{
    return filterBox->currentIndex() + 1;
}

int VVTFResizeParametersBox::resizedWidth(int sourceWidth) const
{
    return VVTFRules::resizedSide(sourceWidth, widthModeBox->currentIndex(),
                                  widthClampBox->currentIndex());
}

int VVTFResizeParametersBox::resizedHeight(int sourceHeight) const
{
    return VVTFRules::resizedSide(sourceHeight, heightModeBox->currentIndex(),
                                  heightClampBox->currentIndex());
}

void VVTFResizeParametersBox::resizeWidthChanged()
{
    widthClampLabel->setText(widthModeBox->currentIndex() == ExactMode ? tr("Exact Width:")
                                                                       : tr("Clamp Width:"));
}

void VVTFResizeParametersBox::resizeHeightChanged()
{
    heightClampLabel->setText(heightModeBox->currentIndex() == ExactMode ? tr("Exact Height:")
                                                                         : tr("Clamp Height:"));
}
