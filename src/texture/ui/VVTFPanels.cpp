#include "VVTF.h"

#include "NamedWidget.h"
#include "VTFFormat.h"
#include "VVTFParticleSheetWidget.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTreeWidget>
#include <QVBoxLayout>

// The tabbed panel beside the picture and the picture area itself.

namespace {
constexpr int TreeColumnWidth = 212;
constexpr int FlagCount = 32;
constexpr int MinorVersions = 6;

struct SliderSetup
{
    int minimum;
    int maximum;
    int start;
    int tickInterval;
};
// Key 0..8, shift -1..1, gamma 0..16, in hundredths.
constexpr SliderSetup KeySlider{0, 800, VVTF::KeyDefault, 80};
constexpr SliderSetup ShiftSlider{-100, 100, VVTF::ShiftDefault, 20};
constexpr SliderSetup GammaSlider{0, 1600, VVTF::GammaDefault, 160};

QSlider *slider(const SliderSetup &setup, const char *name)
{
    auto *s = new QSlider(Qt::Horizontal);
    s->setObjectName(QLatin1String(name));
    s->setRange(setup.minimum, setup.maximum);
    s->setValue(setup.start);
    s->setTickInterval(setup.tickInterval);
    s->setTickPosition(QSlider::TicksBelow);
    // A change arrives when the handle is let go: every change decodes again.
    s->setTracking(false);
    s->setContextMenuPolicy(Qt::CustomContextMenu);
    return s;
}

QPushButton *arrow(const char *iconName, const char *name)
{
    auto *button =
        new QPushButton(QIcon(QStringLiteral(":/resources/icons/") + QLatin1String(iconName)), {});
    button->setObjectName(QLatin1String(name));
    return button;
}

// A label and its field, side by side.
void addRow(QGridLayout *grid, int row, const QString &label, QWidget *widget)
{
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(widget, row, 1);
}

void addFormats(QComboBox *box, int first)
{
    for (int format = first; format < IMAGE_FORMAT_COUNT; ++format)
        box->addItem(vtfFormatName(VTFImageFormat(format)));
}
} // namespace

QWidget *VVTF::buildLayoutPage()
{
    imageTree = new QTreeWidget;
    imageTree->setObjectName(QStringLiteral("imageTree"));
    imageTree->setColumnCount(1);
    imageTree->setColumnWidth(0, TreeColumnWidth);
    imageTree->setHeaderHidden(true);
    imageTree->header()->setSectionsClickable(false);
    imageTree->header()->setSectionsMovable(false);
    imageTree->setContextMenuPolicy(Qt::CustomContextMenu);
    imageTree->setExpandsOnDoubleClick(false);
    imageTree->setSelectionMode(QAbstractItemView::NoSelection);
    imageTree->setSortingEnabled(false);
    imageTree->setUniformRowHeights(true);
    return imageTree;
}

QWidget *VVTF::buildImagePage()
{
    auto *group = new QGroupBox(tr("View Controls"));
    auto *grid = new QGridLayout(group);

    mipmapLeft = arrow("arrow_left.png", "mipmapLeft");
    mipmapRight = arrow("arrow_right.png", "mipmapRight");
    frameLeft = arrow("arrow_left.png", "frameLeft");
    frameRight = arrow("arrow_right.png", "frameRight");
    faceLeft = arrow("arrow_left.png", "faceLeft");
    faceRight = arrow("arrow_right.png", "faceRight");
    sliceLeft = arrow("arrow_left.png", "sliceLeft");
    sliceRight = arrow("arrow_right.png", "sliceRight");
    mipmapCounter = new QLabel;
    frameCounter = new QLabel;
    faceCounter = new QLabel;
    sliceCounter = new QLabel;

    const int side = mipmapLeft->sizeHint().height();
    mipmapCounter->setText(QStringLiteral("65536/65536"));
    const QSize counterSize = mipmapCounter->sizeHint();
    struct Row
    {
        const char *label;
        const char *counterName;
        QPushButton *left;
        QLabel *counter;
        QPushButton *right;
    };
    const Row rows[] = {{"Mipmap:", "mipmapCounter", mipmapLeft, mipmapCounter, mipmapRight},
                        {"Frame:", "frameCounter", frameLeft, frameCounter, frameRight},
                        {"Face:", "faceCounter", faceLeft, faceCounter, faceRight},
                        {"Slice:", "sliceCounter", sliceLeft, sliceCounter, sliceRight}};
    for (int row = 0; row < 4; ++row) {
        const Row &r = rows[row];
        r.left->setFixedSize(side, side);
        r.right->setFixedSize(side, side);
        r.counter->setObjectName(QLatin1String(r.counterName));
        r.counter->setAlignment(Qt::AlignCenter);
        r.counter->setFixedSize(counterSize);
        r.counter->setText(QStringLiteral("0/0"));
        grid->addWidget(new QLabel(tr(r.label)), row, 0);
        grid->addWidget(r.left, row, 1);
        grid->addWidget(r.counter, row, 2);
        grid->addWidget(r.right, row, 3);
    }
    connect(mipmapLeft, &QPushButton::clicked, this, &VVTF::vtfMipmapLeft);
    connect(mipmapRight, &QPushButton::clicked, this, &VVTF::vtfMipmapRight);
    connect(frameLeft, &QPushButton::clicked, this, &VVTF::vtfFrameLeft);
    connect(frameRight, &QPushButton::clicked, this, &VVTF::vtfFrameRight);
    connect(faceLeft, &QPushButton::clicked, this, &VVTF::vtfFaceLeft);
    connect(faceRight, &QPushButton::clicked, this, &VVTF::vtfFaceRight);
    connect(sliceLeft, &QPushButton::clicked, this, &VVTF::vtfSliceLeft);
    connect(sliceRight, &QPushButton::clicked, this, &VVTF::vtfSliceRight);

    keySlider = slider(KeySlider, "keySlider");
    shiftSlider = slider(ShiftSlider, "shiftSlider");
    gammaSlider = slider(GammaSlider, "gammaSlider");
    grid->addWidget(new QLabel(tr("Key:")), 4, 0);
    grid->addWidget(keySlider, 4, 1, 1, 3);
    grid->addWidget(new QLabel(tr("Shift:")), 5, 0);
    grid->addWidget(shiftSlider, 5, 1, 1, 3);
    grid->addWidget(new QLabel(tr("Gamma:")), 6, 0);
    grid->addWidget(gammaSlider, 6, 1, 1, 3);
    connect(keySlider, &QSlider::valueChanged, this, &VVTF::vtfKeyChanged);
    connect(shiftSlider, &QSlider::valueChanged, this, &VVTF::vtfShiftChanged);
    connect(gammaSlider, &QSlider::valueChanged, this, &VVTF::vtfGammaChanged);
    connect(keySlider, &QWidget::customContextMenuRequested, this, &VVTF::vtfKeyReset);
    connect(shiftSlider, &QWidget::customContextMenuRequested, this, &VVTF::vtfShiftReset);
    connect(gammaSlider, &QWidget::customContextMenuRequested, this, &VVTF::vtfGammaReset);

    animationButton = new QPushButton(tr("Toggle Animation"));
    animationButton->setObjectName(QStringLiteral("animationButton"));
    animationButton->setCheckable(true);
    grid->addWidget(animationButton, 7, 0, 1, 4);
    connect(animationButton, &QPushButton::toggled, this, &VVTF::vtfToggleAnimation);

    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget *VVTF::buildFlagsPage()
{
    flagList = new QListWidget;
    flagList->setObjectName(QStringLiteral("flagList"));
    flagList->setSelectionMode(QAbstractItemView::NoSelection);
    for (int bit = 0; bit < FlagCount; ++bit) {
        auto *item = new QListWidgetItem(vtfFlagName(quint32(1) << bit), flagList);
        item->setForeground(Qt::black);
    }
    return flagList;
}

QWidget *VVTF::buildInfoPage()
{
    auto *fileGroup = new QGroupBox(tr("File"));
    auto *fileGrid = new QGridLayout(fileGroup);
    versionBox = namedWidget<QComboBox>("versionBox");
    for (int minor = 0; minor < MinorVersions; ++minor)
        versionBox->addItem(QStringLiteral("7.%1").arg(minor));
    addRow(fileGrid, 0, tr("Version:"), versionBox);

    auto *thumbnailGroup = new QGroupBox(tr("Thumbnail"));
    auto *thumbnailGrid = new QGridLayout(thumbnailGroup);
    thumbnailFormatBox = namedWidget<QComboBox>("thumbnailFormatBox");
    addFormats(thumbnailFormatBox, IMAGE_FORMAT_NONE);
    addRow(thumbnailGrid, 0, tr("Format:"), thumbnailFormatBox);

    auto *imageGroup = new QGroupBox(tr("Image"));
    auto *imageGrid = new QGridLayout(imageGroup);
    imageFormatBox = namedWidget<QComboBox>("imageFormatBox");
    addFormats(imageFormatBox, IMAGE_FORMAT_RGBA8888);
    firstFrameEdit = namedWidget<QLineEdit>("firstFrameEdit");
    bumpmapEdit = namedWidget<QLineEdit>("bumpmapEdit");
    reflectivityRedEdit = namedWidget<QLineEdit>("reflectivityRedEdit");
    reflectivityGreenEdit = namedWidget<QLineEdit>("reflectivityGreenEdit");
    reflectivityBlueEdit = namedWidget<QLineEdit>("reflectivityBlueEdit");
    addRow(imageGrid, 0, tr("Format:"), imageFormatBox);
    addRow(imageGrid, 1, tr("First Frame:"), firstFrameEdit);
    addRow(imageGrid, 2, tr("Bumpmap:"), bumpmapEdit);
    addRow(imageGrid, 3, tr("Reflect. R:"), reflectivityRedEdit);
    addRow(imageGrid, 4, tr("Reflect. G:"), reflectivityGreenEdit);
    addRow(imageGrid, 5, tr("Reflect. B:"), reflectivityBlueEdit);

    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(fileGroup);
    layout->addWidget(thumbnailGroup);
    layout->addWidget(imageGroup);
    layout->addStretch();
    return page;
}

QWidget *VVTF::buildResourcesPage()
{
    crcGroup = new QGroupBox(tr("Cyclic Redundancy Check"));
    auto *crcGrid = new QGridLayout(crcGroup);
    crcStatus = new QLabel(tr("Uncalculated"));
    crcStatus->setObjectName(QStringLiteral("crcStatus"));
    addRow(crcGrid, 0, tr("Status:"), crcStatus);

    lodGroup = new QGroupBox(tr("Level Of Detail"));
    lodGroup->setObjectName(QStringLiteral("lodGroup"));
    lodGroup->setCheckable(true);
    lodGroup->setChecked(false);
    auto *lodGrid = new QGridLayout(lodGroup);
    lodClampX = namedWidget<QLineEdit>("lodClampX");
    lodClampY = namedWidget<QLineEdit>("lodClampY");
    lodXboxClampX = namedWidget<QLineEdit>("lodXboxClampX");
    lodXboxClampY = namedWidget<QLineEdit>("lodXboxClampY");
    addRow(lodGrid, 0, tr("Clamp X:"), lodClampX);
    addRow(lodGrid, 1, tr("Clamp Y:"), lodClampY);
    lodGrid->addWidget(new QLabel(tr("XBox 360")), 2, 0, 1, 2);
    addRow(lodGrid, 3, tr("Clamp X:"), lodXboxClampX);
    addRow(lodGrid, 4, tr("Clamp Y:"), lodXboxClampY);

    auto *sheetGroup = new QGroupBox(tr("Sprite Sheet"));
    auto *sheetLayout = new QVBoxLayout(sheetGroup);
    sheetButton = new QPushButton(tr("Edit (Experimental)"));
    sheetButton->setObjectName(QStringLiteral("sheetButton"));
    sheetButton->setEnabled(false);
    sheetLayout->addWidget(sheetButton);
    connect(sheetButton, &QPushButton::clicked, this, &VVTF::vtfSheetButtonClicked);

    textureSettingsGroup = new QGroupBox(tr("Texture Settings"));
    textureSettingsGroup->setObjectName(QStringLiteral("textureSettingsGroup"));
    textureSettingsGroup->setCheckable(true);
    textureSettingsGroup->setChecked(false);
    auto *settingsLayout = new QVBoxLayout(textureSettingsGroup);
    textureSettingsEdit = namedWidget<QLineEdit>("textureSettingsEdit");
    settingsLayout->addWidget(textureSettingsEdit);

    auto *keyValueGroup = new QGroupBox(tr("Keyvalue Data"));
    auto *keyValueGrid = new QGridLayout(keyValueGroup);
    keyValueStatus = new QLabel;
    keyValueStatus->setObjectName(QStringLiteral("keyValueStatus"));
    addRow(keyValueGrid, 0, tr("Status:"), keyValueStatus);

    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    for (QGroupBox *group : {crcGroup, lodGroup, sheetGroup, textureSettingsGroup, keyValueGroup})
        layout->addWidget(group);
    layout->addStretch();

    auto *scroll = new QScrollArea;
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    return scroll;
}

void VVTF::vtfSheetButtonClicked()
{
    if (m_document && VVTFParticleSheetWidget::editSheet(*m_document, this))
        setWindowModified(true);
}

void VVTF::buildImageArea()
{
    imageLabel = new QLabel;
    imageLabel->setObjectName(QStringLiteral("imageLabel"));
    imageLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imageLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    imageLabel->setMinimumSize(512, 512);
    imageLabel->resize(512, 512);

    // The picture and three copies of it, 2 x 2 without gaps; the picture
    // moves into the top-left cell while tiling is on.
    tileWidget = new QWidget(this);
    tileWidget->setObjectName(QStringLiteral("tileWidget"));
    tileWidget->hide();
    auto *grid = new QGridLayout(tileWidget);
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    const QPoint cells[] = {{1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 3; ++i) {
        tileCopies[i] = new QLabel;
        tileCopies[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        tileCopies[i]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        tileCopies[i]->setMinimumSize(1, 1);
        grid->addWidget(tileCopies[i], cells[i].y(), cells[i].x());
    }

    imageArea = new QScrollArea;
    imageArea->setObjectName(QStringLiteral("imageArea"));
    // However small the window opens, a useful part of the picture shows.
    const int frame = 2 * imageArea->frameWidth();
    imageArea->setMinimumSize(256 + frame, 256 + frame);
    imageArea->setWidget(imageLabel);
}
