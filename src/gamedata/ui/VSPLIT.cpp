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

// One registry key and the settings kept under it.
struct Key
{
    const char *path;
    const char *unopenable;
    int firstSetting;
    int settingCount;
};

const Key Keys[] = {{"Software\\Valve\\Hammer\\Splitter", "\"Splitter\" could not be opened.", 0,
                     VSPLIT::ViewCount},
                    {"Software\\Valve\\Hammer\\3D Views", "\"3D Views\" could not be opened.",
                     VSPLIT::ViewCount, VSPLIT::DistanceCount}};

struct Setting
{
    const char *objectName;
    const char *value;
    const char *unreadable;
    const char *unwritable;
    const char *title; // of a distance's group box
};

// The four views (top left, top right, bottom left, bottom right), then the
// three distances.
const Setting Settings[VSPLIT::ViewCount + VSPLIT::DistanceCount] = {
    {"topLeft", "DrawType0,0", "\"DrawType0,0\" could not be read.",
     "Unable to set top left viewport.", nullptr},
    {"topRight", "DrawType0,1", "\"DrawType0,1\" could not be read.",
     "Unable to set top right viewport.", nullptr},
    {"bottomLeft", "DrawType1,0", "\"DrawType1,0\" could not be read.",
     "Unable to set bottom left viewport.", nullptr},
    {"bottomRight", "DrawType1,1", "\"DrawType1,1\" could not be read.",
     "Unable to set bottom right viewport.", nullptr},
    {"drawDistance", "BackPlane", "\"BackPlane\" could not be opened.",
     "Unable to set draw distance.", "3D Draw Distance"},
    {"modelDistance", "ModelDistance", "\"ModelDistance\" could not be opened.",
     "Unable to set model draw distance.", "Model Draw Distance"},
    {"detailDistance", "DetailDistance", "\"DetailDistance\" could not be opened.",
     "Unable to set detail draw distance.", "Detail Draw Distance"}};

const Key &keyOf(int setting)
{
    return Keys[setting < VSPLIT::ViewCount ? 0 : 1];
}

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
    readKey(0);
    readKey(1);

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
    combo->setObjectName(QString::fromLatin1(Settings[view].objectName));
    combo->addItems(viewTypeNames);
    auto *centred = new QGridLayout(pane);
    centred->addWidget(combo, 0, 0, Qt::AlignCenter);
    m_views[view] = combo;
    return pane;
}

QGroupBox *VSPLIT::buildDistanceGroup(int distance)
{
    const Setting &setting = Settings[ViewCount + distance];
    auto *group = new QGroupBox(QString::fromLatin1(setting.title));
    auto *field = new QLineEdit(group);
    field->setObjectName(QString::fromLatin1(setting.objectName));
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

void VSPLIT::readKey(int keyIndex)
{
    const Key &group = Keys[keyIndex];
    const int end = group.firstSetting + group.settingCount;
    CRegistryKey key;
    if (!key.open(CRegistryKey::CurrentUser, QString::fromLatin1(group.path))) {
        for (int setting = group.firstSetting; setting < end; ++setting)
            disableSetting(setting);
        warn(QString::fromLatin1(group.unopenable));
        return;
    }
    for (int setting = group.firstSetting; setting < end; ++setting) {
        quint32 value = 0;
        if (!key.readDword(QString::fromLatin1(Settings[setting].value), &value)) {
            disableSetting(setting);
            warn(QString::fromLatin1(Settings[setting].unreadable));
        } else {
            m_stored[setting] = value;
            showStored(setting);
        }
    }
    key.close();
}

void VSPLIT::showStored(int setting)
{
    const quint32 value = m_stored[setting];
    if (setting < ViewCount) {
        // An index the list does not hold leaves no entry chosen. Setting
        // the index does not emit activated(), so nothing is written back.
        m_views[setting]->setCurrentIndex(value < quint32(ViewTypeCount) ? int(value) : -1);
    } else {
        m_distances[setting - ViewCount]->setText(QString::number(value));
    }
}

void VSPLIT::disableSetting(int setting)
{
    // A control that stands for nothing stored shows nothing either: a list's
    // first entry or an empty field would pass for a value read.
    if (setting < ViewCount) {
        m_views[setting]->setCurrentIndex(-1);
        m_views[setting]->setEnabled(false);
    } else {
        m_distances[setting - ViewCount]->clear();
        m_distances[setting - ViewCount]->setEnabled(false);
        m_cubicButtons[setting - ViewCount]->setEnabled(false);
    }
}

void VSPLIT::writeSetting(int setting, quint32 value)
{
    CRegistryKey key;
    const bool written =
        key.open(CRegistryKey::CurrentUser, QString::fromLatin1(keyOf(setting).path)) &&
        key.writeDword(QString::fromLatin1(Settings[setting].value), value);
    key.close();
    if (written) {
        m_stored[setting] = value;
        return;
    }
    // A failed write says so too: the map editor would not see the change.
    // The control goes back to what is stored, so it never shows a value
    // that only looks saved.
    warn(QString::fromLatin1(Settings[setting].unwritable));
    showStored(setting);
}

void VSPLIT::writeView(int view, int viewChoice)
{
    writeSetting(view, quint32(viewChoice));
}

void VSPLIT::writeDistance(int distance)
{
    bool ok = false;
    const quint32 value = m_distances[distance]->text().toUInt(&ok, 10);
    // An emptied field writes nothing, so it shows what is stored again.
    if (ok)
        writeSetting(ViewCount + distance, value);
    else
        showStored(ViewCount + distance);
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
