#include "VSPLIT.h"

#include "CPrompt.h"
#include "CRegistryKey.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace {

const char *const SplitterKey = "Software\\Valve\\Hammer\\Splitter";
const char *const ViewsKey = "Software\\Valve\\Hammer\\3D Views";
const char *const SplitterOpenFailed = "\"Splitter\" could not be opened.";
const char *const ViewsOpenFailed = "\"3D Views\" could not be opened.";
const char *const CubicDistance = "56756";

// The index of a view type is the number the map editor stores.
const char *const ViewTypeNames[] = {"2D Top (x/y)",
                                     "2D Front (y/z)",
                                     "2D Side (x/z)",
                                     "3D Wireframe",
                                     "3D Flat",
                                     "3D Textured",
                                     "3D Lightmap Grid",
                                     "3D Smooth",
                                     "3D Ray-traced Preview",
                                     "3D Shaded Textured Polygons",
                                     "Logical (Entity Flowchart)",
                                     "3D Lighting Preview"};
const int ViewTypeCount = int(sizeof ViewTypeNames / sizeof *ViewTypeNames);

struct ViewSetting
{
    const char *objectName;
    const char *value;
    const char *unreadable;
    const char *unwritable;
};

// Top left, top right, bottom left, bottom right.
const ViewSetting Views[VSPLIT::ViewCount] = {
    {"topLeft", "DrawType0,0", "\"DrawType0,0\" could not be read.",
     "Unable to set top left viewport."},
    {"topRight", "DrawType0,1", "\"DrawType0,1\" could not be read.",
     "Unable to set top right viewport."},
    {"bottomLeft", "DrawType1,0", "\"DrawType1,0\" could not be read.",
     "Unable to set bottom left viewport."},
    {"bottomRight", "DrawType1,1", "\"DrawType1,1\" could not be read.",
     "Unable to set bottom right viewport."}};

struct DistanceSetting
{
    const char *objectName;
    const char *title;
    const char *value;
    const char *unreadable;
    const char *unwritable;
};

const DistanceSetting Distances[VSPLIT::DistanceCount] = {
    {"drawDistance", "3D Draw Distance", "BackPlane", "\"BackPlane\" could not be opened.",
     "Unable to set draw distance."},
    {"modelDistance", "Model Draw Distance", "ModelDistance",
     "\"ModelDistance\" could not be opened.", "Unable to set model draw distance."},
    {"detailDistance", "Detail Draw Distance", "DetailDistance",
     "\"DetailDistance\" could not be opened.", "Unable to set detail draw distance."}};

} // namespace

VSPLIT::VSPLIT()
{
    for (const char *name : ViewTypeNames)
        viewTypeNames << QString::fromLatin1(name);

    auto *grid = new QGridLayout;
    grid->setSpacing(1);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int view = 0; view < ViewCount; ++view)
        grid->addWidget(buildViewPane(view), view / 2, view % 2);
    connect(m_views[0], QOverload<int>::of(&QComboBox::activated), this, &VSPLIT::setTopLeft);
    connect(m_views[1], QOverload<int>::of(&QComboBox::activated), this, &VSPLIT::setTopRight);
    connect(m_views[2], QOverload<int>::of(&QComboBox::activated), this, &VSPLIT::setBottomLeft);
    connect(m_views[3], QOverload<int>::of(&QComboBox::activated), this, &VSPLIT::setBottomRight);

    auto *distanceRow = new QHBoxLayout;
    for (int distance = 0; distance < DistanceCount; ++distance)
        distanceRow->addWidget(buildDistanceGroup(distance));
    connect(m_distances[0], &QLineEdit::editingFinished, this, &VSPLIT::setDrawDistance);
    connect(m_distances[1], &QLineEdit::editingFinished, this, &VSPLIT::setModelDistance);
    connect(m_distances[2], &QLineEdit::editingFinished, this, &VSPLIT::setDetailDistance);
    connect(m_cubicButtons[0], &QPushButton::clicked, this, &VSPLIT::setCubicDrawDistance);
    connect(m_cubicButtons[1], &QPushButton::clicked, this, &VSPLIT::setCubicModelDistance);
    connect(m_cubicButtons[2], &QPushButton::clicked, this, &VSPLIT::setCubicDetailDistance);

    // Before the title is set: the warnings of a missing key carry no title.
    readViews();
    readDistances();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addLayout(grid);
    layout->addLayout(distanceRow);
    setWindowTitle(QStringLiteral("Hammer Splitter Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vsplit")));
    setAttribute(Qt::WA_DeleteOnClose);
    adjustSize();
}

VSPLIT::~VSPLIT() = default;

QWidget *VSPLIT::buildViewPane(int view)
{
    auto *pane = new QFrame;
    pane->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *combo = new QComboBox(pane);
    combo->setObjectName(QString::fromLatin1(Views[view].objectName));
    combo->addItems(viewTypeNames);
    auto *centred = new QGridLayout(pane);
    centred->addWidget(combo, 0, 0, Qt::AlignCenter);
    m_views[view] = combo;
    return pane;
}

QGroupBox *VSPLIT::buildDistanceGroup(int distance)
{
    auto *group = new QGroupBox(QString::fromLatin1(Distances[distance].title));
    auto *field = new QLineEdit(group);
    field->setObjectName(QString::fromLatin1(Distances[distance].objectName));
    field->setValidator(new QIntValidator(0, std::numeric_limits<int>::max(), field));
    field->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *button =
        new QPushButton(QIcon(QStringLiteral(":/resources/icons/eye")), QString(), group);
    button->setObjectName(field->objectName() + QStringLiteral("Button"));
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *row = new QHBoxLayout(group);
    row->setContentsMargins(3, 0, 3, 3);
    row->addWidget(field);
    row->addWidget(button);
    m_distances[distance] = field;
    m_cubicButtons[distance] = button;
    return group;
}

void VSPLIT::warn(const QString &text)
{
    CPrompt::warning(this, windowTitle(), text, QMessageBox::Ok, QMessageBox::Ok);
}

void VSPLIT::readViews()
{
    CRegistryKey key;
    if (!key.open(CRegistryKey::CurrentUser, QString::fromLatin1(SplitterKey))) {
        for (QComboBox *combo : m_views)
            combo->setEnabled(false);
        warn(QString::fromLatin1(SplitterOpenFailed));
        return;
    }
    for (int view = 0; view < ViewCount; ++view) {
        quint32 value = 0;
        if (!key.readDword(QString::fromLatin1(Views[view].value), &value)) {
            m_views[view]->setEnabled(false);
            warn(QString::fromLatin1(Views[view].unreadable));
            continue;
        }
        // An index the list does not hold leaves no entry chosen. Setting
        // the index does not emit activated(), so nothing is written back.
        m_views[view]->setCurrentIndex(value < quint32(ViewTypeCount) ? int(value) : -1);
    }
    key.close();
}

void VSPLIT::readDistances()
{
    CRegistryKey key;
    if (!key.open(CRegistryKey::CurrentUser, QString::fromLatin1(ViewsKey))) {
        for (int distance = 0; distance < DistanceCount; ++distance) {
            m_distances[distance]->setEnabled(false);
            m_cubicButtons[distance]->setEnabled(false);
        }
        warn(QString::fromLatin1(ViewsOpenFailed));
        return;
    }
    for (int distance = 0; distance < DistanceCount; ++distance) {
        quint32 value = 0;
        if (!key.readDword(QString::fromLatin1(Distances[distance].value), &value)) {
            m_distances[distance]->setEnabled(false);
            m_cubicButtons[distance]->setEnabled(false);
            warn(QString::fromLatin1(Distances[distance].unreadable));
            continue;
        }
        m_distances[distance]->setText(QString::number(value));
    }
    key.close();
}

void VSPLIT::writeView(int view, int viewChoice)
{
    CRegistryKey key;
    // A failed write says so too: the map editor would not see the choice.
    if (!key.open(CRegistryKey::CurrentUser, QString::fromLatin1(SplitterKey)) ||
        !key.writeDword(QString::fromLatin1(Views[view].value), quint32(viewChoice)))
        warn(QString::fromLatin1(Views[view].unwritable));
    key.close();
}

void VSPLIT::writeDistance(int distance)
{
    bool ok = false;
    const quint32 value = m_distances[distance]->text().toUInt(&ok, 10);
    if (!ok)
        return;
    CRegistryKey key;
    if (!key.open(CRegistryKey::CurrentUser, QString::fromLatin1(ViewsKey)) ||
        !key.writeDword(QString::fromLatin1(Distances[distance].value), value))
        warn(QString::fromLatin1(Distances[distance].unwritable));
    key.close();
}

void VSPLIT::setCubicDistance(int distance)
{
    m_distances[distance]->setText(QString::fromLatin1(CubicDistance));
    writeDistance(distance);
}

void VSPLIT::setTopLeft(int viewChoice)
{
    writeView(0, viewChoice);
}

void VSPLIT::setTopRight(int viewChoice)
{
    writeView(1, viewChoice);
}

void VSPLIT::setBottomLeft(int viewChoice)
{
    writeView(2, viewChoice);
}

void VSPLIT::setBottomRight(int viewChoice)
{
    writeView(3, viewChoice);
}

void VSPLIT::setDrawDistance()
{
    writeDistance(0);
}

void VSPLIT::setModelDistance()
{
    writeDistance(1);
}

void VSPLIT::setDetailDistance()
{
    writeDistance(2);
}

void VSPLIT::setCubicDrawDistance()
{
    setCubicDistance(0);
}

void VSPLIT::setCubicModelDistance()
{
    setCubicDistance(1);
}

void VSPLIT::setCubicDetailDistance()
{
    setCubicDistance(2);
}
