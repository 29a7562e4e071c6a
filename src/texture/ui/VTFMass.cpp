// The converter window's widgets. The slots are in VTFMassSlots.cpp, the run
// in VTFMassRun.cpp.

#include "VTFMass.h"

#include "VTFFormat.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
const QStringList SourceFormats = {
    QStringLiteral("VTF"), QStringLiteral("PNG"), QStringLiteral("JPG"), QStringLiteral("TIF"),
    QStringLiteral("BMP"), QStringLiteral("GIF"), QStringLiteral("MNG"), QStringLiteral("PPM"),
    QStringLiteral("PGM"), QStringLiteral("PBM"), QStringLiteral("XPM"), QStringLiteral("XBM")};
const QStringList TargetFormats = {
    QStringLiteral("VTF"), QStringLiteral("PNG"), QStringLiteral("JPG"), QStringLiteral("TIF"),
    QStringLiteral("BMP"), QStringLiteral("PPM"), QStringLiteral("XPM"), QStringLiteral("XBM")};
const QColor FlagUnchanged(255, 255, 192);

QLabel *rightAligned(const QString &text)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QComboBox *formatList(bool withNone)
{
    auto *box = new QComboBox;
    if (withNone)
        box->addItem(vtfFormatName(IMAGE_FORMAT_NONE));
    for (int format = 0; format < IMAGE_FORMAT_COUNT; ++format)
        box->addItem(vtfFormatName(VTFImageFormat(format)));
    return box;
}

// A group box holding one widget.
QGroupBox *groupOf(const QString &title, QWidget *content)
{
    auto *group = new QGroupBox(title);
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(content);
    return group;
}

QLineEdit *fixedHeightEdit(const QString &text, QSizePolicy::Policy horizontal)
{
    auto *edit = new QLineEdit(text);
    edit->setSizePolicy(horizontal, QSizePolicy::Fixed);
    return edit;
}
} // namespace

VTFMass::VTFMass()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Mass VTF Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vtfmass2.png")));

    auto *layout = new QGridLayout(this);
    layout->addWidget(buildBasicSettings(), 0, 0);
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("pages"));
    m_pages->addWidget(buildTexturePage());
    m_pages->addWidget(buildImagePage());
    m_pages->addWidget(buildRunPage());
    layout->addWidget(m_pages, 1, 0);
    m_applyButton = new QPushButton(QStringLiteral("Apply"));
    m_applyButton->setObjectName(QStringLiteral("apply"));
    layout->addWidget(m_applyButton, 2, 0);

    m_basicSettings->setFixedHeight(m_basicSettings->sizeHint().height());
    // Wide enough for the longer titles a texture source gives the boxes.
    fromFormatComboChanged(0);
    QWidget *options = m_versionGroup->parentWidget();
    options->setFixedWidth(options->sizeHint().width());
    // The state the source "PNG" gives, set before anything is connected.
    fromFormatComboChanged(m_sourceFormatBox->currentIndex());
    connectControls();
}

VTFMass::~VTFMass() = default;

QGroupBox *VTFMass::buildBasicSettings()
{
    m_basicSettings = new QGroupBox(QStringLiteral("Basic Settings"));
    auto *rows = new QVBoxLayout(m_basicSettings);

    auto *sourceRow = new QHBoxLayout;
    m_sourceEdit = new QLineEdit;
    m_sourceEdit->setObjectName(QStringLiteral("source"));
    m_sourceBrowse = new QPushButton(QStringLiteral("Browse..."));
    sourceRow->addWidget(new QLabel(QStringLiteral("Source Directory:")));
    sourceRow->addWidget(m_sourceEdit);
    sourceRow->addWidget(m_sourceBrowse);
    rows->addLayout(sourceRow);

    auto *filterRow = new QHBoxLayout;
    m_filterEdit = new QLineEdit(QStringLiteral("*"));
    m_filterEdit->setObjectName(QStringLiteral("filter"));
    m_filterModeBox = new QComboBox;
    m_filterModeBox->setObjectName(QStringLiteral("filterMode"));
    m_filterModeBox->addItems(
        {QStringLiteral("Wildcard"), QStringLiteral("Substring"), QStringLiteral("RegEx")});
    m_sourceFormatBox = new QComboBox;
    m_sourceFormatBox->setObjectName(QStringLiteral("sourceFormat"));
    m_sourceFormatBox->addItems(SourceFormats);
    m_sourceFormatBox->setCurrentIndex(1);
    m_targetFormatBox = new QComboBox;
    m_targetFormatBox->setObjectName(QStringLiteral("targetFormat"));
    m_targetFormatBox->addItems(TargetFormats);
    m_recursiveCheck = new QCheckBox(QStringLiteral("Recursive"));
    m_recursiveCheck->setObjectName(QStringLiteral("recursive"));
    m_preserveCheck = new QCheckBox(QStringLiteral("Preserve File Structure"));
    m_preserveCheck->setObjectName(QStringLiteral("preserve"));
    m_preserveCheck->setEnabled(false);
    m_overwriteCheck = new QCheckBox(QStringLiteral("Overwrite"));
    m_overwriteCheck->setObjectName(QStringLiteral("overwrite"));
    filterRow->addWidget(new QLabel(QStringLiteral("Name Filter:")));
    filterRow->addWidget(m_filterEdit);
    filterRow->addWidget(m_filterModeBox);
    filterRow->addWidget(rightAligned(QStringLiteral("From:")));
    filterRow->addWidget(m_sourceFormatBox);
    filterRow->addWidget(rightAligned(QStringLiteral("To:")));
    filterRow->addWidget(m_targetFormatBox);
    filterRow->addWidget(m_recursiveCheck);
    filterRow->addWidget(m_preserveCheck);
    filterRow->addWidget(m_overwriteCheck);
    rows->addLayout(filterRow);

    auto *targetRow = new QHBoxLayout;
    m_targetEdit = new QLineEdit;
    m_targetEdit->setObjectName(QStringLiteral("target"));
    m_targetBrowse = new QPushButton(QStringLiteral("Browse..."));
    targetRow->addWidget(new QLabel(QStringLiteral("Target Directory:")));
    targetRow->addWidget(m_targetEdit);
    targetRow->addWidget(m_targetBrowse);
    rows->addLayout(targetRow);
    return m_basicSettings;
}

QWidget *VTFMass::buildTexturePage()
{
    auto *page = new QWidget;
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(1, 1, 1, 1);
    row->addWidget(buildOptionsGroup());
    row->addWidget(buildFlagsGroup());
    row->addWidget(buildResourcesGroup());
    row->addStretch();
    return page;
}

QGroupBox *VTFMass::buildOptionsGroup()
{
    auto *options = new QGroupBox(QStringLiteral("Options"));
    auto *column = new QVBoxLayout(options);
    m_versionBox = new QComboBox;
    m_versionBox->setObjectName(QStringLiteral("version"));
    for (int minor = 0; minor <= 5; ++minor)
        m_versionBox->addItem(QStringLiteral("7.%1").arg(minor));
    m_versionBox->setCurrentIndex(3);
    m_versionGroup = groupOf(QStringLiteral("Version"), m_versionBox);
    m_thumbnailBox = formatList(true);
    m_thumbnailBox->setObjectName(QStringLiteral("thumbnailFormat"));
    m_thumbnailBox->setCurrentIndex(m_thumbnailEntry);
    m_thumbnailGroup = groupOf(QStringLiteral("Thumbnail Format"), m_thumbnailBox);
    m_formatBox = formatList(false);
    m_formatBox->setObjectName(QStringLiteral("imageFormat"));
    m_formatBox->setCurrentIndex(m_imageEntry);
    m_formatGroup = groupOf(QStringLiteral("Format"), m_formatBox);
    m_resizeButton = new QPushButton(QStringLiteral("Resize Settings"));
    m_resizeButton->setObjectName(QStringLiteral("resize"));
    column->addWidget(m_versionGroup);
    column->addWidget(m_thumbnailGroup);
    column->addWidget(m_formatGroup);
    column->addWidget(m_resizeButton);
    column->addStretch();
    return options;
}

QGroupBox *VTFMass::buildFlagsGroup()
{
    m_flagList = new QListWidget;
    m_flagList->setObjectName(QStringLiteral("flags"));
    for (int bit = 0; bit < 32; ++bit) {
        auto *item = new QListWidgetItem(vtfFlagName(quint32(1) << bit), m_flagList);
        item->setForeground(Qt::black);
        item->setBackground(FlagUnchanged);
    }
    m_flagList->setSelectionMode(QAbstractItemView::NoSelection);
    m_flagList->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::MinimumExpanding);
    m_flagList->setFixedWidth(m_flagList->sizeHintForColumn(0) + 2 * m_flagList->frameWidth() + 40);
    return groupOf(QStringLiteral("Flags"), m_flagList);
}

QWidget *VTFMass::buildResourceChoice(ResourceChoice &choice, const QString &name)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *firstGroup = new QButtonGroup(row);
    auto *secondGroup = new QButtonGroup(row);
    auto add = [&](QRadioButton *&button, const QString &text, QButtonGroup *group) {
        button = new QRadioButton(text);
        button->setObjectName(name + text);
        group->addButton(button);
        layout->addWidget(button, 0, Qt::AlignHCenter);
    };
    add(choice.skip, QStringLiteral("Skip"), firstGroup);
    add(choice.modify, QStringLiteral("Modify"), firstGroup);
    add(choice.existing, QStringLiteral("Existing"), secondGroup);
    add(choice.all, QStringLiteral("All"), secondGroup);
    return row;
}

QGroupBox *VTFMass::buildResourcesGroup()
{
    m_resourcesGroup = new QGroupBox(QStringLiteral("Resources"));
    m_resourcesGroup->setObjectName(QStringLiteral("resources"));
    auto *column = new QVBoxLayout(m_resourcesGroup);

    m_lodGroup = new QGroupBox(QStringLiteral("Level Of Detail"));
    m_lodGroup->setObjectName(QStringLiteral("lod"));
    m_lodGroup->setCheckable(true);
    m_lodGroup->setChecked(false);
    auto *grid = new QGridLayout(m_lodGroup);
    grid->addWidget(new QLabel(QStringLiteral("PC")), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("X360")), 0, 2, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Clamp X:")), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Clamp Y:")), 2, 0);
    // The stored order: PC X, X360 X, PC Y, X360 Y.
    for (int i = 0; i < 4; ++i) {
        m_lodEdits[size_t(i)] = fixedHeightEdit(QStringLiteral("30"), QSizePolicy::Maximum);
        m_lodEdits[size_t(i)]->setObjectName(QStringLiteral("lod%1").arg(i));
        grid->addWidget(m_lodEdits[size_t(i)], 1 + i / 2, 1 + i % 2);
    }
    grid->addWidget(buildResourceChoice(m_lodChoice, QStringLiteral("lod")), 3, 0, 1, 3);

    m_ts0Group = new QGroupBox(QStringLiteral("Texture Settings"));
    m_ts0Group->setObjectName(QStringLiteral("ts0"));
    m_ts0Group->setCheckable(true);
    m_ts0Group->setChecked(false);
    auto *ts0Column = new QVBoxLayout(m_ts0Group);
    m_ts0Edit = fixedHeightEdit(QStringLiteral("0x00000000"), QSizePolicy::Preferred);
    m_ts0Edit->setObjectName(QStringLiteral("ts0Value"));
    ts0Column->addWidget(m_ts0Edit);
    ts0Column->addWidget(buildResourceChoice(m_ts0Choice, QStringLiteral("ts0")));

    column->addWidget(m_lodGroup);
    column->addWidget(m_ts0Group);
    column->addStretch();
    return m_resourcesGroup;
}

QWidget *VTFMass::buildImagePage()
{
    auto *toOther = new QGroupBox(QStringLiteral("To Other"));
    auto *column = new QVBoxLayout(toOther);
    auto *row = new QHBoxLayout;
    const char *titles[4] = {"All Mipmaps", "All Frames", "All Faces", "All Slices"};
    for (size_t level = 0; level < 4; ++level) {
        m_separatorEdits[level] = new QLineEdit(QStringLiteral("_"));
        m_separatorEdits[level]->setObjectName(QStringLiteral("separator%1").arg(level));
        m_exportGroups[level] =
            groupOf(QString::fromLatin1(titles[level]), m_separatorEdits[level]);
        m_exportGroups[level]->setObjectName(QStringLiteral("exportAll%1").arg(level));
        m_exportGroups[level]->setCheckable(true);
        m_exportGroups[level]->setChecked(false);
        row->addWidget(m_exportGroups[level]);
    }
    column->addLayout(row);
    column->addStretch();
    return toOther;
}

QWidget *VTFMass::buildRunPage()
{
    m_runLog = new QPlainTextEdit;
    m_runLog->setObjectName(QStringLiteral("log"));
    m_runLog->setReadOnly(true);
    m_runGroup = groupOf(QStringLiteral(".../"), m_runLog);
    m_runGroup->setObjectName(QStringLiteral("run"));
    return m_runGroup;
}

void VTFMass::connectControls()
{
    connect(m_sourceBrowse, &QPushButton::clicked, this, &VTFMass::sourcePathButtonClicked);
    connect(m_targetBrowse, &QPushButton::clicked, this, &VTFMass::destinationPathButtonClicked);
    connect(m_sourceFormatBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VTFMass::fromFormatComboChanged);
    connect(m_targetFormatBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VTFMass::toFormatComboChanged);
    connect(m_recursiveCheck, &QCheckBox::toggled, m_preserveCheck, &QCheckBox::setEnabled);
    connect(m_versionBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VTFMass::toVersionComboChanged);
    connect(m_versionGroup, &QGroupBox::toggled, this, &VTFMass::toVersionCheckToggled);
    connect(m_thumbnailBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VTFMass::toLowResFormatComboChanged);
    connect(m_formatBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VTFMass::toHighResFormatComboChanged);
    connect(m_resizeButton, &QPushButton::clicked, this, &VTFMass::resizeParametersButtonClicked);
    connect(m_flagList, &QListWidget::itemClicked, this, &VTFMass::flagItemClicked);
    for (QLineEdit *edit : m_lodEdits)
        connect(edit, &QLineEdit::editingFinished, this, &VTFMass::resourceLODChanged);
    connect(m_lodGroup, &QGroupBox::toggled, this, &VTFMass::resourceLODToggled);
    connect(m_ts0Edit, &QLineEdit::editingFinished, this, &VTFMass::resourceTS0Changed);
    connect(m_ts0Group, &QGroupBox::toggled, this, &VTFMass::resourceTS0Toggled);
    connect(m_applyButton, &QPushButton::clicked, this, &VTFMass::cycleFormatControl);
}
